// What is known about a list of software ids (class 109, release rule B).
// A client queues ids with a completion object; the query thread fetches
// the ids not cached yet from the update-information server and completes
// the query; the cache thread refreshes, once per run, ids that were
// answered from the cache. The cache lives on in the kernel's value store.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugins/catalog/soft_info_data.h"
#include "plugins/catalog/start_stop_gate.h"
#include "plugins/catalog/update_info.h"
#include "plugins/common/plugin_object.h"
#include "protocol/plugin_ref.h"
#include "winlib/handles.h"

namespace catalog {

struct ISoftInfo : IBexPlugin {
    virtual LONG BEX_CALL Start() = 0;                                     // 3: 1, 0 without kernel objects
    virtual LONG BEX_CALL Stop() = 0;                                      // 4: 1
    virtual LONG BEX_CALL Query(IBexPlugin* ids, IBexAsyncResult* result) = 0;  // 5: class-7 buffer of u32
    virtual LONG BEX_CALL GetInfo(uint32_t softId, ISoftInfoData** out) = 0;    // 6
};

class CSoftInfo final : public plugin::PluginObject<CSoftInfo, ISoftInfo, 109, plugin::ReleaseRule::B> {
public:
    CSoftInfo() noexcept;
    ~CSoftInfo();

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
        IBexAsyncResult* result = nullptr;  // one reference held; may be null
    };

    static DWORD WINAPI SoftInfoQueryThread(void* self);
    static DWORD WINAPI SoftInfoCacheThread(void* self);
    void StopThreads();
    void QueryLoop();
    void CacheLoop();
    bool MayQuery();
    void EndThread(winlib::Thread& thread);
    void PutRecord(uint32_t softId, CSoftInfoData* record);  // under the cache lock

    StartStopGate gate_;
    volatile LONG running_ = 0;  // the threads' loops run while it is set
    std::wstring queryTail_;
    std::wstring systemText_;
    protocol::PluginRef<> systemTextObject_;
    protocol::PluginRef<> queryTailObject_;
    winlib::Thread queryThread_;
    winlib::Thread cacheThread_;
    std::map<uint32_t, CSoftInfoData*> cache_;
    CRITICAL_SECTION queryLock_;
    CRITICAL_SECTION cacheLock_;
    std::deque<QueuedQuery> queue_;
    std::set<uint32_t> refresh_;
    std::set<uint32_t> refreshed_;
    // Manual-reset: set by Stop, it ends the idle waits and abandons every
    // fetch and details request under way.
    winlib::Event stop_;
    protocol::PluginRef<> store_;
    protocol::PluginRef<> environment_;
    protocol::PluginRef<> details_;
};

HRESULT BEX_CALL CreateSoftInfo(IBexPlugin** out);

}  // namespace catalog
