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

CEventAsyncResult::~CEventAsyncResult() {
    if (result_) result_->Release();
    for (IBexPlugin* old : retired_) old->Release();
    if (event_) ::CloseHandle(event_);
    ::DeleteCriticalSection(&lock_);
}

void CEventAsyncResult::Init(HANDLE event, void* context) noexcept {
    context_ = context;
    if (event)
        ::DuplicateHandle(::GetCurrentProcess(), event, ::GetCurrentProcess(), &event_, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
}

void* BEX_CALL CEventAsyncResult::GetContext() noexcept { return context_; }

LONG BEX_CALL CEventAsyncResult::Complete(LONG status, IBexPlugin* result) {
    return base::CallGuarded(L"CEventAsyncResult::Complete", 0L, [&]() -> LONG {
        // Our own reference, taken while the caller's keeps the object alive;
        // given back below when it is the one already held.
        if (result) result->AddRef();
        IBexPlugin* drop = result;
        {
            Locked lock(lock_);
            status_ = status;
            if (result && result != result_) {
                drop = nullptr;
                if (result_ && readers_ > 0) retired_.push_back(result_);
                else drop = result_;
                result_ = result;
            }
        }
        if (drop) drop->Release();
        if (event_) ::SetEvent(event_);
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
                held = result_;
                ++readers_;
            }
        }
        if (!held) {
            if (out) *out = nullptr;
            return status;
        }
        held->AddRef();
        std::vector<IBexPlugin*> released;
        {
            Locked lock(lock_);
            if (--readers_ == 0) released.swap(retired_);
        }
        for (IBexPlugin* old : released) old->Release();
        *out = held;
        return status;
    });
}

IBexAsyncResult* CreateAsyncResult(HANDLE event, void* context, bool* kernelMade) {
    if (kernelMade) *kernelMade = false;
    if (!plugin::HostCallback()) return nullptr;
    protocol::PluginRef<k::Completion> completion;
    if (SUCCEEDED(plugin::CreateKernelObject(completion))) {
        if (kernelMade) *kernelMade = true;
        return plugin::CompletionInit(std::move(completion), event, context).Detach();
    }
    IBexPlugin* own = nullptr;
    if (FAILED(plugin::CreatePluginObject<CEventAsyncResult>(&own))) return nullptr;
    auto* result = static_cast<CEventAsyncResult*>(own);
    result->Init(event, context);
    return result;
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
    base::Event event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return false;
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result(CreateAsyncResult(event.Get(), nullptr, &kernelMade));
    if (!result) return false;
    wchar_t request[kUrlCapacity] = {};
    CopyUrl(request, url);
    protocol::PluginRef<k::HttpFetch> fetch;
    bool accepted = false;
    bool kernelMayStillSet = false;
    if (SUCCEEDED(plugin::CreateKernelObject(fetch)) &&
        plugin::FetchStart(fetch.Get(), request, result.Get())) {
        const HANDLE handles[2] = {ownerEvent, event.Get()};
        const DWORD waited = ownerEvent ? ::WaitForMultipleObjects(2, handles, FALSE, INFINITE)
                                        : (::WaitForSingleObject(event.Get(), INFINITE) == WAIT_OBJECT_0
                                               ? WAIT_OBJECT_0 + 1
                                               : WAIT_FAILED);
        if (waited == WAIT_OBJECT_0 + 1) {
            accepted = AcceptReply(result.Get(), parse);
        } else {
            // Abandoned: the kernel's own completion object would still set
            // this very handle; leave it open rather than let it hit a
            // handle that was reused.
            kernelMayStillSet = kernelMade;
        }
    }
    if (kernelMayStillSet) event.Detach();
    return accepted;
}

PendingFetch::~PendingFetch() { Close(); }

PendingFetch::PendingFetch(PendingFetch&& other) noexcept
    : result_(std::move(other.result_)),
      fetch_(std::move(other.fetch_)),
      event_(std::exchange(other.event_, nullptr)),
      kernelMade_(other.kernelMade_),
      signalled_(other.signalled_) {}

PendingFetch& PendingFetch::operator=(PendingFetch&& other) noexcept {
    if (this != &other) {
        Close();
        result_ = std::move(other.result_);
        fetch_ = std::move(other.fetch_);
        event_ = std::exchange(other.event_, nullptr);
        kernelMade_ = other.kernelMade_;
        signalled_ = other.signalled_;
    }
    return *this;
}

void PendingFetch::Close() noexcept {
    result_.Reset();
    fetch_.Reset();
    if (event_ && (signalled_ || !kernelMade_)) ::CloseHandle(event_);
    event_ = nullptr;
}

PendingFetch PendingFetch::Start(const wchar_t* url) {
    PendingFetch pending;
    base::Event event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return pending;
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result(CreateAsyncResult(event.Get(), event.Get(), &kernelMade));
    if (!result) return pending;
    wchar_t request[kUrlCapacity] = {};
    CopyUrl(request, url);
    protocol::PluginRef<k::HttpFetch> fetch;
    if (FAILED(plugin::CreateKernelObject(fetch)) ||
        !plugin::FetchStart(fetch.Get(), request, result.Get()))
        return pending;
    pending.result_ = std::move(result);
    pending.fetch_ = std::move(fetch);
    pending.event_ = event.Detach();
    pending.kernelMade_ = kernelMade;
    return pending;
}

PendingFetch::State PendingFetch::Poll(const ReplyParser& parse, DWORD waitMs) {
    if (!result_) return State::Failed;
    const HANDLE event = static_cast<HANDLE>(result_->GetContext());
    if (::WaitForSingleObject(event, waitMs) != WAIT_OBJECT_0) return State::Pending;
    signalled_ = true;
    return AcceptReply(result_.Get(), parse) ? State::Succeeded : State::Failed;
}

}  // namespace catalog
