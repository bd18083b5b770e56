#include "plugins/setup/recommend_update_mgr.h"

#include <windows.h>

#include <cstring>

#include "base/exception_barrier.h"
#include "plugins/setup/recommend_checks.h"
#include "plugins/setup/recommend_config.h"
#include "plugins/setup/setup_files.h"
#include "plugins/setup/x_logger.h"
#include "base/handles.h"

namespace setup {

namespace {
const wchar_t kTag[] = L"RUC";
}  // namespace

bool CRecommendUpdateMgr::ReadStamp(FileStamp* stamp) {
    base::FileHandle file(::CreateFileW(stamp->Path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (!file || !::GetFileInformationByHandle(file.Get(), &info) ||
        !::GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof(basic)))
        return false;
    stamp->Volume = info.dwVolumeSerialNumber;
    stamp->Id = uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    stamp->Size = uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    stamp->Written = uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime;
    stamp->Changed = basic.ChangeTime.QuadPart;
    return true;
}

CRecommendUpdateMgr::CRecommendUpdateMgr(IRecommendMachine& machine)
    : machine_(machine), loaded_(std::make_shared<const Loaded>()) {
    if (cipher_.Allocate()) BlowfishInit(cipher_);
}

std::shared_ptr<const CRecommendUpdateMgr::Loaded> CRecommendUpdateMgr::Current() {
    std::lock_guard<std::mutex> hold(lock_);
    return loaded_;
}

size_t CRecommendUpdateMgr::ConditionCount() { return Current()->conditions.size(); }

bool CRecommendUpdateMgr::LoadConfig() {
    {
        std::unique_lock<std::mutex> hold(lock_);
        loadEnded_.wait(hold, [this] { return !loading_; });
        if (!loaded_->conditions.empty()) return true;
        loading_ = true;
    }
    // Whatever happens below, the next caller may load.
    struct LoadTurn {
        CRecommendUpdateMgr& self;
        std::shared_ptr<const Loaded> found;
        ~LoadTurn() {
            {
                std::lock_guard<std::mutex> hold(self.lock_);
                if (found) self.loaded_ = std::move(found);
                self.loading_ = false;
            }
            self.loadEnded_.notify_all();
        }
    } turn{*this, nullptr};
    auto fresh = std::make_shared<Loaded>();
    machine_.OpenSoftwareQuery();
    fresh->conditions = ParseConfig();
    machine_.CollectInstalledKeys(&fresh->installedKeys);
    turn.found = std::move(fresh);
    return true;
}

std::vector<RecommendCondition> CRecommendUpdateMgr::ParseConfig() {
    std::vector<RecommendCondition> conditions;
    FileStamp stamp;
    stamp.Path = machine_.ConfigFilePath();
    if (stamp.Path.empty() || !ReadStamp(&stamp) || stamp == failedFile_ || !cipher_.Ready()) return conditions;
    // Only the text's own faults (grammar, limits, nothing to read in it)
    // are remembered: a read that failed or memory that ran out says nothing
    // about the file, and the next check tries again.
    const bool judged = base::CallGuarded(L"CRecommendUpdateMgr::ParseConfig", false, [&] {
        std::string text;
        {
            std::vector<uint8_t> file;
            if (!ReadWholeFile(stamp.Path.c_str(), kRecommendConfigMaxBytes, &file)) return false;
            text = DecryptRecommendConfig(file, cipher_);
        }
        conditions = ParseRecommendConditions(text);
        return true;
    });
    if (judged && conditions.empty()) failedFile_ = stamp;
    return conditions;
}

bool CRecommendUpdateMgr::CheckConditionResult(uint32_t involveMask, const std::set<uint32_t>& shownAdIds,
                                               RecommendResult* out) {
    const std::shared_ptr<const Loaded> loaded = Current();
    Logger().Log(kTag, L"CRecommendUpdateMgr::CheckConditionResult");
    const std::vector<RecommendCondition>& conditions = loaded->conditions;
    for (size_t i = 0; i < conditions.size(); ++i) {
        const ConditionOutcome outcome =
            CheckCondition(conditions[i], involveMask, shownAdIds, loaded->installedKeys, machine_);
        Logger().Log(kTag, L"%ls - %d", outcome.Holds ? L"True" : L"False", outcome.Step);
        if (outcome.Holds) {
            Logger().Log(kTag, L"Condition satisfy at [%u]", static_cast<unsigned>(i));
            if (out) std::memcpy(out, &conditions[i].Result, sizeof(RecommendResult));
            return true;
        }
    }
    return false;
}

}  // namespace setup
