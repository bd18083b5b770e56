#include "plugins/setup/recommend_update_mgr.h"

#include <cstring>

#include "plugins/setup/recommend_checks.h"
#include "plugins/setup/recommend_config.h"
#include "plugins/setup/setup_files.h"
#include "plugins/setup/x_logger.h"

namespace {
const wchar_t kTag[] = L"RUC";
}  // namespace

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
    const std::wstring path = machine_.ConfigFilePath();
    if (path.empty()) return;
    std::vector<uint8_t> file;
    if (!ReadWholeFile(path.c_str(), kRecommendConfigMaxBytes, &file) || file.empty()) return;
    if (!cipher_.Ready()) return;
    conditions_ = ParseRecommendConditions(DecryptRecommendConfig(file, cipher_));
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
