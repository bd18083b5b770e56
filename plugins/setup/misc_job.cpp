#include "plugins/setup/misc_job.h"

#include <cwchar>

#include "base/exception_barrier.h"
#include "plugins/setup/ad_id_file.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace {
const wchar_t kTag[] = L"RUC";
}  // namespace

LONG BEX_CALL CMiscJob::IsSupported(const wchar_t* name) noexcept {
    if (!name) return 0;
    for (const wchar_t* known :
         {L"CheckRecommendAndUpdateCondition", L"CheckRecommendAndUpdateCondition2", L"WriteAdIdToFile"}) {
        if (::wcscmp(name, known) == 0) return 1;
    }
    return 0;
}

LONG BEX_CALL CMiscJob::CheckRecommendAndUpdateCondition(void*, void*, void*, void*) noexcept { return 0; }

LONG BEX_CALL CMiscJob::CheckRecommendAndUpdateCondition2(uint32_t involveMask, const wchar_t* adIdFile,
                                                         RecommendResult* out) {
    return base::CallGuarded(L"CMiscJob::CheckRecommendAndUpdateCondition2", 0L, [&]() -> LONG {
        Logger().Log(kTag, L"CMiscJob::CheckRecommendAndUpdateCondition2(InvolveAsp[%lu], AdIdFile[%ls])",
                     static_cast<unsigned long>(involveMask), adIdFile ? adIdFile : L"");
        if (!out) return 0;
        recommend_.LoadConfig();
        std::set<uint32_t> shown;
        if (adIdFile && ::GetFileAttributesW(adIdFile) != INVALID_FILE_ATTRIBUTES) {
            const std::vector<uint32_t> ids = ReadAdIdFile(adIdFile);
            Logger().Log(kTag, L"Has Recommended Ad Id:");
            for (uint32_t id : ids) {
                Logger().Log(kTag, L"\t %lu", static_cast<unsigned long>(id));
                shown.insert(id);
            }
        }
        return recommend_.CheckConditionResult(involveMask, shown, out) ? 1 : 0;
    });
}

LONG BEX_CALL CMiscJob::WriteAdIdToFile(const wchar_t* path, uint32_t adId) {
    return base::CallGuarded(L"CMiscJob::WriteAdIdToFile", 0L,
                             [&]() -> LONG { return AppendAdIdToFile(path, adId) ? 1 : 0; });
}

}  // namespace setup
