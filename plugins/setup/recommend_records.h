// One recommend-and-update condition as read from RUConfig.dat, and the
// fixed block handed to the host when it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

namespace setup {

constexpr size_t kRecommendTextChars = 1024;

#pragma pack(push, 1)
struct RecommendResult {
    uint32_t Size = sizeof(RecommendResult);
    uint32_t AdId = 0;
    uint32_t UpdateInterval = 7;
    uint32_t RecommendRepeat = 0;
    wchar_t RecommendUrl[kRecommendTextChars] = {};
    uint32_t RecommendSoftId = 0;
    uint32_t OneKeyInstall = 0;
    uint32_t AutoRun = 0;
    wchar_t RecommendDescription[kRecommendTextChars] = {};
    uint32_t RefSoftId = 0;
};
#pragma pack(pop)

static_assert(sizeof(wchar_t) == 2, "texts cross the border as UTF-16");
static_assert(sizeof(RecommendResult) == 4128, "the host reads a 4128-byte block");
static_assert(offsetof(RecommendResult, Size) == 0, "layout");
static_assert(offsetof(RecommendResult, AdId) == 4, "layout");
static_assert(offsetof(RecommendResult, UpdateInterval) == 8, "layout");
static_assert(offsetof(RecommendResult, RecommendRepeat) == 12, "layout");
static_assert(offsetof(RecommendResult, RecommendUrl) == 16, "layout");
static_assert(offsetof(RecommendResult, RecommendSoftId) == 2064, "layout");
static_assert(offsetof(RecommendResult, OneKeyInstall) == 2068, "layout");
static_assert(offsetof(RecommendResult, AutoRun) == 2072, "layout");
static_assert(offsetof(RecommendResult, RecommendDescription) == 2076, "layout");
static_assert(offsetof(RecommendResult, RefSoftId) == 4124, "layout");

struct RecommendCondition {
    std::set<std::wstring> SoftKeys;
    std::set<std::wstring> ExeKeys;  // upper case
    std::set<uint32_t> SoftIds;
    uint32_t Involve = 0;
    RecommendResult Result;
};

}  // namespace setup
