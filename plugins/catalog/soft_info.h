// What is known about a list of software ids (class 109, release rule B).
// A client queues ids with a completion object; the query thread fetches
// the ids not cached yet from the update-information server and completes
// the query; the cache thread refreshes, once per run, ids that were
// answered from the cache. The cache lives on in the kernel's value store.
//
// Bounded by what it was asked: only the ids a query or a refresh asked are
// taken from an answer, and at most kMaxRecords records are held (the one
// used longest ago goes first). No kernel call is made under its locks but
// the details look-up, which reads each record under the cache lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugins/catalog/soft_info_cache.h"
#include "plugins/catalog/soft_info_data.h"
#include "plugins/catalog/start_stop_gate.h"
#include "plugins/catalog/update_info.h"
#include "plugins/common/plugin_object.h"
#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"
#include "base/handles.h"

namespace catalog {

struct ISoftInfo : IBexPlugin {
    virtual LONG BEX_CALL Start() = 0;                                     // 3: 1, 0 without kernel objects
    virtual LONG BEX_CALL Stop() = 0;                                      // 4: 1
    virtual LONG BEX_CALL Query(IBexPlugin* ids, IBexAsyncResult* result) = 0;  // 5: class-7 buffer of u32
    virtual LONG BEX_CALL GetInfo(uint32_t softId, ISoftInfoData** out) = 0;    // 6
};

class CSoftInfo final : public plugin::PluginObject<CSoftInfo, ISoftInfo, 109, plugin::ReleaseRule::B> {
public:
    // 21.6 MB of records.
    static constexpr size_t kMaxRecords = 1000;

    CSoftInfo() noexcept;
    ~CSoftInfo();
    // The final release. On one of the object's own threads (a client's
    // completion letting go of it), which cannot wait for itself, the
    // threads are told to end and that thread deletes the object as it ends.
    void DestroySelf() noexcept;

    LONG BEX_CALL Start() override;
    LONG BEX_CALL Stop() override;
    LONG BEX_CALL Query(IBexPlugin* ids, IBexAsyncResult* result) override;
    LONG BEX_CALL GetInfo(uint32_t softId, ISoftInfoData** out) override;

    // The steps the threads run, reachable for tests.
    LONG ProcessQuery(std::vector<uint32_t> ids);  // the completion status
    void RefreshCached();
    bool FetchUpdateInfo(const std::vector<uint32_t>& ids, UpdateInfoMap& out);
    void ApplyUpdateInfo(const UpdateInfoMap& softs);
    void FetchSoftDetails(const UpdateInfoMap& softs);
    void LoadCache();
    void SaveCache();

    // Threads ended by force since the process started (a request that
    // ignored the stop event).
    static LONG Terminations();

private:
    struct QueuedQuery {
        uint32_t flag = 0;
        std::vector<uint32_t> ids;
        protocol::PluginRef<IBexAsyncResult> result;  // may be null
    };

    static DWORD WINAPI SoftInfoQueryThread(void* self);
    static DWORD WINAPI SoftInfoCacheThread(void* self);
    bool StartThread(base::Thread& thread, DWORD& id, LPTHREAD_START_ROUTINE entry);
    void StopThreads();
    void QueryLoop();
    void CacheLoop();
    bool OnOwnThread() const noexcept;
    // The end of each thread: the object goes with it when it was let go of there.
    void ThreadEnds() noexcept;
    bool MayQuery();
    void EndThread(base::Thread& thread, DWORD& id);

    StartStopGate gate_;
    volatile LONG running_ = 0;  // the threads' loops run while it is set
    std::wstring queryTail_;
    std::wstring systemText_;
    protocol::PluginRef<protocol::kernel::String> systemTextObject_;
    protocol::PluginRef<protocol::kernel::String> queryTailObject_;
    base::Thread queryThread_;
    base::Thread cacheThread_;
    // Set before each thread runs, 0 once it was ended.
    DWORD queryThreadId_ = 0;
    DWORD cacheThreadId_ = 0;
    volatile DWORD destroyBy_ = 0;  // the own thread that deletes the object as it ends
    SoftInfoCache cache_{kMaxRecords};
    CRITICAL_SECTION queryLock_;
    CRITICAL_SECTION cacheLock_;
    std::deque<QueuedQuery> queue_;
    std::set<uint32_t> refresh_;
    std::set<uint32_t> refreshed_;
    // Manual-reset: set by Stop, it ends the idle waits and abandons every
    // fetch and details request under way.
    base::Event stop_;
    protocol::PluginRef<protocol::kernel::ValueStore> store_;
    protocol::PluginRef<protocol::kernel::Environment> environment_;
    protocol::PluginRef<protocol::kernel::Details> details_;
};

HRESULT BEX_CALL CreateSoftInfo(IBexPlugin** out);

}  // namespace catalog
