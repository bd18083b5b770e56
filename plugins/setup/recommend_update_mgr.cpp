#include "plugins/setup/recommend_update_mgr.h"

#include <windows.h>

#include <cstring>

#include "plugins/setup/recommend_checks.h"
#include "plugins/setup/recommend_config.h"
#include "plugins/setup/setup_files.h"
#include "plugins/setup/x_logger.h"

namespace {
const wchar_t kTag[] = L"RUC";
}  // namespace

bool CRecommendUpdateMgr::ReadStamp(FileStamp* stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(stamp->Path.c_str(), GetFileExInfoStandard, &data)) return false;
    stamp->Size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    stamp->Written = uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

CRecommendUpdateMgr::CRecommendUpdateMgr(IRecommendMachine& machine) : machine_(machine) {
    if (cipher_.Allocate()) BlowfishInit(cipher_);
}

bool CRecommendUpdateMgr::LoadConfig() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!conditions_.empty()) return true;
    machine_.OpenSoftwareQuery();
    ParseConfig();
    CollectInstalledKeys();
    return true;
}

void CRecommendUpdateMgr::ParseConfig() {
    conditions_.clear();
    FileStamp stamp;
    stamp.Path = machine_.ConfigFilePath();
    if (stamp.Path.empty() || !ReadStamp(&stamp) || stamp == failedFile_ || !cipher_.Ready()) return;
    std::string text;
    {
        std::vector<uint8_t> file;
        // A file that could not be read costs nothing to try again.
        if (!ReadWholeFile(stamp.Path.c_str(), kRecommendConfigMaxBytes, &file)) return;
        text = DecryptRecommendConfig(file, cipher_);
    }
    conditions_ = ParseRecommendConditions(text);
    if (conditions_.empty()) failedFile_ = stamp;
}

bool CRecommendUpdateMgr::CollectInstalledKeys() { return machine_.CollectInstalledKeys(&installedKeys_); }

bool CRecommendUpdateMgr::CheckConditionResult(uint32_t involveMask, const std::set<uint32_t>& shownAdIds,
                                               RecommendResult* out) {
    std::lock_guard<std::mutex> hold(lock_);
    Logger().Log(kTag, L"CRecommendUpdateMgr::CheckConditionResult");
    for (size_t i = 0; i < conditions_.size(); ++i) {
        const ConditionOutcome outcome =
            CheckCondition(conditions_[i], involveMask, shownAdIds, installedKeys_, machine_);
        Logger().Log(kTag, L"%ls - %d", outcome.Holds ? L"True" : L"False", outcome.Step);
        if (outcome.Holds) {
            Logger().Log(kTag, L"Condition satisfy at [%u]", static_cast<unsigned>(i));
            if (out) std::memcpy(out, &conditions_[i].Result, sizeof(RecommendResult));
            return true;
        }
    }
    return false;
}
