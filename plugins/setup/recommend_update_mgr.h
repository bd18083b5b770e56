// Loads RUConfig.dat once (again while it gave no conditions, but only once
// it changed or when the machine, not its text, failed) and finds the first
// condition that holds on this machine.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "plugins/setup/blowfish.h"
#include "plugins/setup/recommend_machine.h"
#include "plugins/setup/recommend_records.h"

class CRecommendUpdateMgr {
public:
    // `machine` outlives the manager.
    explicit CRecommendUpdateMgr(IRecommendMachine& machine);
    CRecommendUpdateMgr(const CRecommendUpdateMgr&) = delete;
    CRecommendUpdateMgr& operator=(const CRecommendUpdateMgr&) = delete;

    bool LoadConfig();
    bool CheckConditionResult(uint32_t involveMask, const std::set<uint32_t>& shownAdIds, RecommendResult* out);

    // Reads, decrypts and parses the file named by the machine.
    void ParseConfig();
    bool CollectInstalledKeys();

    size_t ConditionCount() const { return conditions_.size(); }

private:
    IRecommendMachine& machine_;
    BlowfishContext cipher_;
    std::vector<RecommendCondition> conditions_;
    std::set<std::wstring> installedKeys_;
    // The file whose text last gave no conditions, as it was then: not read
    // again while it is the same file (volume and file id) of the same size,
    // last-write and change time. A file rewritten in place or replaced gets
    // a new change time or id even when its size and last-write time are
    // put back.
    struct FileStamp {
        std::wstring Path;
        uint32_t Volume = 0;
        uint64_t Id = 0;
        uint64_t Size = 0;
        uint64_t Written = 0;
        int64_t Changed = 0;
        bool operator==(const FileStamp& o) const {
            return Path == o.Path && Volume == o.Volume && Id == o.Id && Size == o.Size && Written == o.Written &&
                   Changed == o.Changed;
        }
    };
    FileStamp failedFile_;
    // False when the file is missing or can't be looked at.
    static bool ReadStamp(FileStamp* stamp);
    // The kernel may call one object from two threads.
    std::mutex lock_;
};
