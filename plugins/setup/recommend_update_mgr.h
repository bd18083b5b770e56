// Loads RUConfig.dat once (again while it gave no conditions, but only once
// it changed or when the machine, not its text, failed) and finds the first
// condition that holds on this machine.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "plugins/setup/blowfish.h"
#include "plugins/setup/recommend_machine.h"
#include "plugins/setup/recommend_records.h"

namespace setup {

class CRecommendUpdateMgr {
public:
    // `machine` outlives the manager.
    explicit CRecommendUpdateMgr(IRecommendMachine& machine);
    CRecommendUpdateMgr(const CRecommendUpdateMgr&) = delete;
    CRecommendUpdateMgr& operator=(const CRecommendUpdateMgr&) = delete;

    bool LoadConfig();
    bool CheckConditionResult(uint32_t involveMask, const std::set<uint32_t>& shownAdIds, RecommendResult* out);

    size_t ConditionCount();

private:
    // What one load found. Published whole under the lock and never changed
    // after: the checks read it, and ask the machine, with no lock held.
    struct Loaded {
        std::vector<RecommendCondition> conditions;
        std::set<std::wstring> installedKeys;
    };
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

    // Reads, decrypts and parses the file named by the machine; the loader's
    // alone.
    std::vector<RecommendCondition> ParseConfig();
    // False when the file is missing or can't be looked at.
    static bool ReadStamp(FileStamp* stamp);
    std::shared_ptr<const Loaded> Current();

    IRecommendMachine& machine_;
    BlowfishContext cipher_;
    FileStamp failedFile_;  // the loader's
    // The kernel may call one object from two threads. The lock guards
    // `loaded_` and `loading_` only; one load runs at a time (a second
    // caller waits for its result instead of asking the machine again), and
    // the machine is asked outside the lock. The machine's software query is
    // renewed only by a load, and a load runs only while no conditions are
    // published, so no check is asking it about software meanwhile.
    std::mutex lock_;
    std::condition_variable loadEnded_;
    bool loading_ = false;
    std::shared_ptr<const Loaded> loaded_;
};

}  // namespace setup
