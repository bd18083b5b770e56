// Recommendations: the record handed out (class 302, rule A), the manager
// with its request queue and worker (class 301, rule B) and its two
// wrappers (147, 148) that add request kinds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "plugins/catalog/live_objects.h"
#include "plugins/catalog/recommend_classes.h"
#include "plugins/catalog/start_stop_gate.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/common/plugin_object.h"
#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"
#include "base/handles.h"

namespace catalog {

struct ISoftReCmdData : IBexPlugin {
    virtual uint32_t BEX_CALL GetPickId() = 0;                 // 3
    virtual uint32_t BEX_CALL GetSoftId() = 0;                 // 4
    virtual const wchar_t* BEX_CALL GetDesp() = 0;             // 5
    virtual const wchar_t* BEX_CALL GetText6() = 0;            // 6 to 10: empty
    virtual const wchar_t* BEX_CALL GetText7() = 0;
    virtual const wchar_t* BEX_CALL GetText8() = 0;
    virtual const wchar_t* BEX_CALL GetText9() = 0;
    virtual const wchar_t* BEX_CALL GetText10() = 0;
    virtual const wchar_t* BEX_CALL GetClassBaike() = 0;       // 11: class name "_" baike name
    virtual const wchar_t* BEX_CALL GetAlias() = 0;            // 12
    virtual const wchar_t* BEX_CALL GetText13() = 0;           // 13: empty
    virtual LONG BEX_CALL GetTags(IBexPlugin** out) = 0;       // 14: class-4 list of strings
    virtual const wchar_t* BEX_CALL GetZanName() = 0;          // 15
};

class CSoftReCmdData final
    : public plugin::PluginObject<CSoftReCmdData, ISoftReCmdData, 302, plugin::ReleaseRule::A> {
public:
    CSoftReCmdData() noexcept;
    // This library's record behind `object` while it lives, else null.
    static CSoftReCmdData* FromPlugin(IBexPlugin* object) noexcept;
    // The choice's values; the tag list is made of kernel strings.
    void Fill(const ReCmdChoice& choice);

    uint32_t BEX_CALL GetPickId() noexcept override { return pickId_; }
    uint32_t BEX_CALL GetSoftId() noexcept override { return softId_; }
    const wchar_t* BEX_CALL GetDesp() noexcept override { return desp_.c_str(); }
    const wchar_t* BEX_CALL GetText6() noexcept override { return L""; }
    const wchar_t* BEX_CALL GetText7() noexcept override { return L""; }
    const wchar_t* BEX_CALL GetText8() noexcept override { return L""; }
    const wchar_t* BEX_CALL GetText9() noexcept override { return L""; }
    const wchar_t* BEX_CALL GetText10() noexcept override { return L""; }
    const wchar_t* BEX_CALL GetClassBaike() noexcept override { return classBaike_.c_str(); }
    const wchar_t* BEX_CALL GetAlias() noexcept override { return alias_.c_str(); }
    const wchar_t* BEX_CALL GetText13() noexcept override { return L""; }
    LONG BEX_CALL GetTags(IBexPlugin** out) override;
    const wchar_t* BEX_CALL GetZanName() noexcept override { return zanName_.c_str(); }

private:
    uint32_t pickId_ = 0;
    uint32_t softId_ = 0;
    std::wstring desp_;
    std::wstring classBaike_;
    std::wstring alias_;
    std::wstring zanName_;
    protocol::PluginRef<protocol::kernel::ObjectList> tags_;
    LiveObjects<CSoftReCmdData>::Entry live_{this};
};

struct ISoftReCommend : IBexPlugin {
    virtual LONG BEX_CALL Start() = 0;     // 3
    virtual LONG BEX_CALL GetCount() = 0;  // 4
    virtual LONG BEX_CALL Request(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                                  IBexAsyncResult* result) = 0;  // 5
    virtual LONG BEX_CALL RequestOnce(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                                      IBexAsyncResult* result) = 0;  // 6
    virtual LONG BEX_CALL SaveUpdateTime() = 0;                      // 7
};

struct ISoftReCommend2 : ISoftReCommend {
    virtual LONG BEX_CALL RequestList(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                                      IBexAsyncResult* result) = 0;  // 8
};

struct ISoftReCommend3 : ISoftReCommend2 {
    virtual LONG BEX_CALL RequestFirst(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                                       IBexAsyncResult* result) = 0;  // 9
    virtual LONG BEX_CALL ClearRequests() = 0;                        // 10
    virtual LONG BEX_CALL IsReady(void* a, void* b, void* c) = 0;     // 11
};

class CSoftReCommend final
    : public plugin::PluginObject<CSoftReCommend, ISoftReCommend, 301, plugin::ReleaseRule::B> {
public:
    enum Kind { kSingle = 1, kList = 2 };

    CSoftReCommend() noexcept;
    ~CSoftReCommend();
    // The final release. On the worker (a client's completion letting go
    // of the object), which cannot wait for itself, the worker is told to
    // end and deletes the object as it ends.
    void DestroySelf() noexcept;
    // This library's manager behind `object` while it lives, else null.
    static CSoftReCommend* FromPlugin(IBexPlugin* object) noexcept;
    // Threads ended by force since the process started.
    static LONG Terminations();

    LONG BEX_CALL Start() override;
    LONG BEX_CALL GetCount() noexcept override;
    LONG BEX_CALL Request(IBexPlugin* owned, IBexPlugin* excluded, void* unused, IBexAsyncResult* result) override;
    LONG BEX_CALL RequestOnce(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                              IBexAsyncResult* result) override;
    LONG BEX_CALL SaveUpdateTime() override;

    // 1 queued; 0 without kernel buffers or without a result. The slots
    // that queue run it inside their barrier.
    LONG Queue(int kind, bool once, bool front, IBexPlugin* owned, IBexPlugin* excluded, IBexAsyncResult* result);
    void ClearRequests();

private:
    struct ReCmdRequest {
        int kind = kSingle;
        bool once = false;
        protocol::PluginRef<protocol::kernel::ByteBuffer> owned;
        protocol::PluginRef<protocol::kernel::ByteBuffer> excluded;
        protocol::PluginRef<IBexAsyncResult> result;
    };

    static DWORD WINAPI ReCommendThread(void* self);
    void WorkerLoop();
    void LoadReCommendData();
    void LoadCounts();
    void AgeCounts();
    // `result` is the request's, held in inFlight_ while it is served.
    void ServeSingle(ReCmdRequest& request, IBexAsyncResult* result);
    void ServeList(ReCmdRequest& request, IBexAsyncResult* result);
    // A record of this library's from the kernel; null for any other.
    protocol::PluginRef<CSoftReCmdData> NewRecord();
    std::vector<uint32_t> StoredIds(int type, uint32_t key);

    CRITICAL_SECTION lock_;  // the queue, the request being served and the recommended set
    std::deque<ReCmdRequest> queue_;
    // The result of the request the worker serves (its one reference), until
    // it is answered.
    protocol::PluginRef<IBexAsyncResult> inFlight_;
    std::set<uint32_t> recommended_;
    ReCmdSelector selector_;  // the worker's
    CountMap counts_;         // the worker's
    volatile LONG classCount_ = 0;
    StartStopGate gate_;
    bool loaded_ = false;
    base::Event stop_;
    base::Thread worker_;
    DWORD workerId_ = 0;            // set before the worker runs
    volatile DWORD destroyBy_ = 0;  // the worker, when it deletes the object as it ends
    protocol::PluginRef<protocol::kernel::NumberedStore> numbered_;
    protocol::PluginRef<protocol::kernel::Options> options_;
    LiveObjects<CSoftReCommend>::Entry live_{this};
};

// Wrappers: the slots of 301 forwarded to the inner object, plus their own.
class CSoftReCommend2 final
    : public plugin::PluginObject<CSoftReCommend2, ISoftReCommend2, 147, plugin::ReleaseRule::B> {
public:
    LONG BEX_CALL Start() override;
    LONG BEX_CALL GetCount() override;
    LONG BEX_CALL Request(IBexPlugin* owned, IBexPlugin* excluded, void* unused, IBexAsyncResult* result) override;
    LONG BEX_CALL RequestOnce(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                              IBexAsyncResult* result) override;
    LONG BEX_CALL SaveUpdateTime() override;
    LONG BEX_CALL RequestList(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                              IBexAsyncResult* result) override;

private:
    // Asked of the kernel when made; null when it gives none.
    protocol::PluginRef<> inner_ = plugin::CreateByClassId(CSoftReCommend::kClassId);
};

class CSoftReCommend3 final
    : public plugin::PluginObject<CSoftReCommend3, ISoftReCommend3, 148, plugin::ReleaseRule::B> {
public:
    LONG BEX_CALL Start() override;
    LONG BEX_CALL GetCount() override;
    LONG BEX_CALL Request(IBexPlugin* owned, IBexPlugin* excluded, void* unused, IBexAsyncResult* result) override;
    LONG BEX_CALL RequestOnce(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                              IBexAsyncResult* result) override;
    LONG BEX_CALL SaveUpdateTime() override;
    LONG BEX_CALL RequestList(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                              IBexAsyncResult* result) override;
    LONG BEX_CALL RequestFirst(IBexPlugin* owned, IBexPlugin* excluded, void* unused,
                               IBexAsyncResult* result) override;
    LONG BEX_CALL ClearRequests() override;
    LONG BEX_CALL IsReady(void* a, void* b, void* c) override;

private:
    // Asked of the kernel when made; null when it gives none.
    protocol::PluginRef<> inner_ = plugin::CreateByClassId(CSoftReCommend::kClassId);
};

}  // namespace catalog
