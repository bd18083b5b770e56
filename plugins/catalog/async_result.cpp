#include "plugins/catalog/async_result.h"

#include <cwchar>
#include <utility>

#include "base/exception_barrier.h"
#include "plugins/catalog/locked.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"
#include "base/handles.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {
constexpr size_t kUrlCapacity = 2048;

// The request URL as the kernel gets it: cut to its buffer.
void CopyUrl(wchar_t (&request)[kUrlCapacity], const wchar_t* url) {
    std::wcsncpy(request, url ? url : L"", kUrlCapacity - 1);
    request[kUrlCapacity - 1] = L'\0';
}
}  // namespace

CEventAsyncResult::CEventAsyncResult() noexcept { ::InitializeCriticalSection(&lock_); }

CEventAsyncResult::~CEventAsyncResult() { ::DeleteCriticalSection(&lock_); }

void CEventAsyncResult::Init(HANDLE event, void* context) noexcept {
    context_ = context;
    if (event)
        ::DuplicateHandle(::GetCurrentProcess(), event, ::GetCurrentProcess(), event_.Put(), 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
}

void* BEX_CALL CEventAsyncResult::GetContext() noexcept { return context_; }

LONG BEX_CALL CEventAsyncResult::Complete(LONG status, IBexPlugin* result) {
    return base::CallGuarded(L"CEventAsyncResult::Complete", 0L, [&]() -> LONG {
        {
            // Our own reference, taken while the caller's keeps the object
            // alive; given back when it is the one already held. What is
            // given back goes after the lock.
            protocol::PluginRef<> taken = protocol::PluginRef<>::AddRefed(result);
            protocol::PluginRef<> replaced;
            Locked lock(lock_);
            status_ = status;
            if (taken && taken.Get() != result_.Get()) {
                if (result_ && readers_ > 0) retired_.push_back(std::move(result_));
                else replaced = std::move(result_);
                result_ = std::move(taken);
            }
        }
        if (event_) ::SetEvent(event_.Get());
        return 0;
    });
}

LONG BEX_CALL CEventAsyncResult::GetResult(IBexPlugin** out) {
    return base::CallGuarded(L"CEventAsyncResult::GetResult", 0L, [&]() -> LONG {
        IBexPlugin* held = nullptr;
        LONG status = 0;
        {
            Locked lock(lock_);
            status = status_;
            if (out && result_) {
                held = result_.Get();
                ++readers_;
            }
        }
        if (!held) {
            if (out) *out = nullptr;
            return status;
        }
        held->AddRef();
        {
            std::vector<protocol::PluginRef<>> released;
            Locked lock(lock_);
            if (--readers_ == 0) released.swap(retired_);
        }
        *out = held;
        return status;
    });
}

protocol::PluginRef<IBexAsyncResult> CreateAsyncResult(HANDLE event, void* context, bool* kernelMade) {
    if (kernelMade) *kernelMade = false;
    if (!plugin::HostCallback()) return {};
    protocol::PluginRef<k::Completion> completion;
    if (SUCCEEDED(plugin::CreateKernelObject(completion))) {
        if (kernelMade) *kernelMade = true;
        return plugin::CompletionInit(std::move(completion), event, context);
    }
    protocol::PluginRef<CEventAsyncResult> own = plugin::NewPluginObject<CEventAsyncResult>();
    if (!own) return {};
    own->Init(event, context);
    return protocol::PluginRef<IBexAsyncResult>(own.Detach());
}

CompletionEvent CompletionEvent::Make() noexcept {
    CompletionEvent made;
    made.event_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return made;
}

CompletionEvent::CompletionEvent(CompletionEvent&& other) noexcept
    : event_(std::move(other.event_)), kernelHolds_(std::exchange(other.kernelHolds_, false)) {}

CompletionEvent& CompletionEvent::operator=(CompletionEvent&& other) noexcept {
    if (this != &other) {
        Close();
        event_ = std::move(other.event_);
        kernelHolds_ = std::exchange(other.kernelHolds_, false);
    }
    return *this;
}

void CompletionEvent::Close() noexcept {
    if (kernelHolds_) event_.Detach();
    event_.Reset();
    kernelHolds_ = false;
}

bool AcceptReply(IBexAsyncResult* result, const ReplyParser& parse) {
    if (!result) return false;
    IBexPlugin* raw = nullptr;
    const LONG status = result->GetResult(&raw);
    protocol::PluginRef<> reply(raw);
    if (status != protocol::kStatusSuccess || !reply || reply->GetClassId() != k::kByteBuffer) return false;
    const auto bytes = protocol::BufferData(k::As<k::ByteBuffer>(reply.Get()));
    if (!bytes) return false;
    // A parser that fails on the way rejects the reply.
    return base::CallGuarded(L"AcceptReply", false, [&] { return parse && parse(bytes->data, bytes->size); });
}

bool FetchAndWait(HANDLE ownerEvent, const wchar_t* url, const ReplyParser& parse) {
    CompletionEvent event = CompletionEvent::Make();
    if (!event) return false;
    bool kernelMade = false;
    const protocol::PluginRef<IBexAsyncResult> result = CreateAsyncResult(event.Get(), nullptr, &kernelMade);
    if (!result) return false;
    wchar_t request[kUrlCapacity] = {};
    CopyUrl(request, url);
    protocol::PluginRef<k::HttpFetch> fetch;
    if (FAILED(plugin::CreateKernelObject(fetch)) || !plugin::FetchStart(fetch.Get(), request, result.Get()))
        return false;
    // Abandoned, the kernel's own completion object would still set this
    // very handle.
    if (kernelMade) event.GivenToKernel();
    const HANDLE handles[2] = {ownerEvent, event.Get()};
    const DWORD waited = ownerEvent ? ::WaitForMultipleObjects(2, handles, FALSE, INFINITE)
                                    : (::WaitForSingleObject(event.Get(), INFINITE) == WAIT_OBJECT_0
                                           ? WAIT_OBJECT_0 + 1
                                           : WAIT_FAILED);
    if (waited != WAIT_OBJECT_0 + 1) return false;
    event.Set();
    return AcceptReply(result.Get(), parse);
}

PendingFetch PendingFetch::Start(const wchar_t* url) {
    PendingFetch pending;
    CompletionEvent event = CompletionEvent::Make();
    if (!event) return pending;
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result = CreateAsyncResult(event.Get(), event.Get(), &kernelMade);
    if (!result) return pending;
    wchar_t request[kUrlCapacity] = {};
    CopyUrl(request, url);
    protocol::PluginRef<k::HttpFetch> fetch;
    if (FAILED(plugin::CreateKernelObject(fetch)) || !plugin::FetchStart(fetch.Get(), request, result.Get()))
        return pending;
    if (kernelMade) event.GivenToKernel();
    pending.event_ = std::move(event);
    pending.fetch_ = std::move(fetch);
    pending.result_ = std::move(result);
    return pending;
}

PendingFetch::State PendingFetch::Poll(const ReplyParser& parse, DWORD waitMs) {
    if (!result_) return State::Failed;
    const HANDLE event = static_cast<HANDLE>(result_->GetContext());
    if (::WaitForSingleObject(event, waitMs) != WAIT_OBJECT_0) return State::Pending;
    event_.Set();
    return AcceptReply(result_.Get(), parse) ? State::Succeeded : State::Failed;
}

}  // namespace catalog
