#include "plugins/catalog/soft_list_worker.h"

#include <utility>

#include "base/exception_barrier.h"
#include "base/log.h"
#include "plugins/catalog/bex_store.h"
#include "plugins/catalog/locked.h"
#include "plugins/catalog/thread_end.h"
#include "plugins/common/kernel_calls.h"

namespace catalog {

namespace {

constexpr DWORD kPollMs = 50;

volatile LONG g_terminations = 0;

}  // namespace

// ---- PendingCompletion ----

PendingCompletion PendingCompletion::StartDetails(protocol::kernel::Details* details,
                                                  protocol::kernel::ObjectList* names, const wchar_t* kind) {
    PendingCompletion pending;
    if (!details || !names) return pending;
    CompletionEvent event = CompletionEvent::Make();
    if (!event) return pending;
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result = CreateAsyncResult(event.Get(), event.Get(), &kernelMade);
    if (!result || !plugin::DetailsStart(details, names, kind, result.Get())) return pending;
    if (kernelMade) event.GivenToKernel();
    pending.event_ = std::move(event);
    pending.result_ = std::move(result);
    return pending;
}

LONG PendingCompletion::Poll(DWORD waitMs) {
    if (!result_) return 0;
    if (::WaitForSingleObject(event_.Get(), waitMs) != WAIT_OBJECT_0) return -1;
    event_.Set();
    return result_->GetResult(nullptr);
}

// ---- SoftListWorker ----

SoftListWorker::SoftListWorker() noexcept
    : wake_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    ::InitializeCriticalSection(&queueLock_);
}

SoftListWorker::~SoftListWorker() {
    // The owner stopped the thread; should it not have, the thread still
    // ends before what it uses goes.
    if (thread_) {
        ::SetEvent(stop_.Get());
        ::WaitForSingleObject(thread_.Get(), INFINITE);
    }
    std::deque<SoftListRequest> left;
    left.swap(queue_);
    left.clear();
    ::DeleteCriticalSection(&queueLock_);
}

LONG SoftListWorker::Terminations() noexcept { return g_terminations; }

bool SoftListWorker::Start(Handler handler, void* owner) {
    if (!Ready() || thread_) return false;
    handler_ = handler;
    owner_ = owner;
    ::ResetEvent(stop_.Get());
    // Its id is known before it runs, so that it knows itself as the worker.
    thread_.Reset(::CreateThread(nullptr, 0, &Thread, this, CREATE_SUSPENDED, &threadId_));
    if (!thread_) {
        base::LogFailedCall(L"software list: not started", L"CreateThread");
        return false;
    }
    ::ResumeThread(thread_.Get());
    return true;
}

bool SoftListWorker::OnOwnThread() const noexcept { return thread_ && threadId_ == ::GetCurrentThreadId(); }

void SoftListWorker::Stop(DWORD waitMs, const GuardedState& state) {
    // From a handler: the worker cannot wait for itself. Refused.
    if (OnOwnThread()) {
        base::LogLine(L"software list", L"the CSoftListMgr worker was asked to stop itself; refused");
        return;
    }
    if (thread_) {
        ::SetEvent(stop_.Get());
        // The stop event should have ended every wait already.
        const bool forced = EndStoppedThread(
            thread_.Get(), threadId_, waitMs, 0,
            [&](DWORD threadId) {
                return state.HeldBy(threadId) || HeldBy(queueLock_, threadId) || CBexStore::HeldBy(threadId);
            },
            L"the CSoftListMgr worker");
        if (forced) ::InterlockedIncrement(&g_terminations);
        thread_.Reset();
        threadId_ = 0;
    }
    std::deque<SoftListRequest> left;
    {
        Locked lock(queueLock_);
        left.swap(queue_);
    }
}

void SoftListWorker::Queue(SoftListRequest&& request) {
    Locked lock(queueLock_);
    queue_.push_back(std::move(request));
}

void SoftListWorker::SetIdle(bool idle) noexcept {
    if (idle) ::SetEvent(wake_.Get());
    else ::ResetEvent(wake_.Get());
}

bool SoftListWorker::Take(SoftListRequest& request) {
    Locked lock(queueLock_);
    if (queue_.empty()) return false;
    request = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

DWORD WINAPI SoftListWorker::Thread(void* self) {
    return base::CallGuarded(L"CSoftListMgr worker", DWORD{0}, [self] {
        base::ComScope com;
        static_cast<SoftListWorker*>(self)->Loop();
        return DWORD{0};
    });
}

void SoftListWorker::Loop() {
    while (::WaitForSingleObject(stop_.Get(), 0) != WAIT_OBJECT_0) {
        SoftListRequest request;
        if (Take(request)) {
            // A request that failed on the way is dropped; the worker goes on.
            base::CallGuarded(L"CSoftListMgr::Handle", false, [&] {
                handler_(owner_, request);
                return true;
            });
        }
        bool more = false;
        {
            Locked lock(queueLock_);
            more = !queue_.empty();
        }
        // With no client left, queued work drains at once; an empty queue
        // always waits its pass.
        const bool drain = more && ::WaitForSingleObject(wake_.Get(), 0) == WAIT_OBJECT_0;
        if (!drain) ::WaitForSingleObject(stop_.Get(), kPollMs);
    }
}

}  // namespace catalog
