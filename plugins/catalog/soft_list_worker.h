// The list manager's request queue and the one worker thread that takes
// requests from it. The queue's lock is a leaf: held only to move a request
// in or out, never while anything is called.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "plugins/catalog/async_result.h"
#include "plugins/catalog/soft_list_state.h"
#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"
#include "base/handles.h"

namespace catalog {

// A wait on a kernel completion that the worker polls through its queue.
class PendingCompletion {
public:
    // The details service's scores of `names` (class 4 of class-3 strings).
    static PendingCompletion StartDetails(protocol::kernel::Details* details, protocol::kernel::ObjectList* names,
                                          const wchar_t* kind);
    bool Started() const { return static_cast<bool>(result_); }
    // -1 while pending, else the completion status.
    LONG Poll(DWORD waitMs);

private:
    // Let go of in the reverse order: the result, then the event.
    CompletionEvent event_;
    protocol::PluginRef<IBexAsyncResult> result_;
};

enum RequestKind {
    kCatalogFetch = 0,
    kListFetch = 1,
    kSearchFetch = 4,
    kCatalogAnswer = 5,
    kListAnswer = 6,
    kListScores = 7,
    kSearchAnswer = 8,
    kSearchScores = 9,
    kCoopFetch = 10,
    kCoopAnswer = 11,
};

// Queued by value; what it holds is let go of when it is dropped.
struct SoftListRequest {
    int kind = 0;
    int arg1 = 0;  // catalogue kind, or the caller's source number
    std::wstring text;
    int page = 1;
    int index = 0;
    int start = 0;  // partner searches
    int count = 0;
    PendingFetch fetch;         // answers 5, 6, 8 and 11
    PendingCompletion details;  // answers 7 and 9
};

class SoftListWorker {
public:
    using Handler = void (*)(void* owner, SoftListRequest& request);

    // The events live as long as the worker, so that AddRef and Release may
    // set them at any time without a lock.
    SoftListWorker() noexcept;
    ~SoftListWorker();
    SoftListWorker(const SoftListWorker&) = delete;
    SoftListWorker& operator=(const SoftListWorker&) = delete;

    bool Ready() const noexcept { return wake_ && stop_; }
    // Starts the thread, which hands each request to `handler`. The caller
    // runs Start and Stop one at a time.
    bool Start(Handler handler, void* owner);
    // Sets the stop event and waits up to `waitMs` for the thread. Only then
    // is it ended by force, and only while seen outside the state's lock,
    // the queue's and the app ids' (thread_end.h). What is queued is
    // dropped. Asked from a handler it is refused: the worker cannot wait
    // for itself.
    void Stop(DWORD waitMs, const GuardedState& state);
    // Whether the caller runs on the worker.
    bool OnOwnThread() const noexcept;
    void Queue(SoftListRequest&& request);
    // No client left: queued work is drained without a pause between passes.
    void SetIdle(bool idle) noexcept;
    HANDLE StopEvent() const noexcept { return stop_.Get(); }

    // Threads ended by force since the process started.
    static LONG Terminations() noexcept;

private:
    static DWORD WINAPI Thread(void* self);
    void Loop();
    bool Take(SoftListRequest& request);

    CRITICAL_SECTION queueLock_;
    std::deque<SoftListRequest> queue_;
    base::Event wake_;  // manual reset, set while no client holds the manager
    base::Event stop_;  // manual reset
    base::Thread thread_;
    DWORD threadId_ = 0;
    Handler handler_ = nullptr;
    void* owner_ = nullptr;
};

}  // namespace catalog
