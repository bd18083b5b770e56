// Completion objects of the kernel's background requests, and the two ways
// the catalogue's workers wait for an HTTP fetch: blocking beside an event
// of their owner, or polling in short waits from a queue.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "base/handles.h"
#include "plugins/common/plugin_object.h"
#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"

namespace catalog {

// The plug-in's own completion object (class 8, release rule A, no table
// row). It keeps a duplicate of the creator's event, so a completion that
// arrives after the creator closed its handle never sets a stranger's event.
//
// GetResult reads the held result and the status under the lock, and adds
// its reference after leaving it (no call out under a lock of ours); until
// then a Complete that replaces the result keeps the old one aside instead
// of releasing it, and the last reader to leave lets it go.
class CEventAsyncResult final
    : public plugin::PluginObject<CEventAsyncResult, IBexAsyncResult, 8, plugin::ReleaseRule::A> {
public:
    CEventAsyncResult() noexcept;
    ~CEventAsyncResult();
    void Init(HANDLE event, void* context) noexcept;

    void* BEX_CALL GetContext() noexcept override;
    LONG BEX_CALL Complete(LONG status, IBexPlugin* result) override;
    LONG BEX_CALL GetResult(IBexPlugin** out) override;

private:
    CRITICAL_SECTION lock_;  // the fields below up to the event
    protocol::PluginRef<> result_;
    LONG status_ = 0;
    int readers_ = 0;                              // GetResult calls between reading and adding
    std::vector<protocol::PluginRef<>> retired_;  // replaced while read
    base::Event event_;                            // our own duplicate
    void* context_ = nullptr;
};

// The kernel's completion object (class 406) set up with (event, context),
// else a CEventAsyncResult; null when the kernel is not bound. `kernelMade`
// tells which: the kernel's object holds the caller's event handle itself.
protocol::PluginRef<IBexAsyncResult> CreateAsyncResult(HANDLE event, void* context, bool* kernelMade = nullptr);

// The event a request's completion object sets. The kernel's own completion
// object keeps the very handle it was given: once a request with it is
// under way, the handle is left open when its owner goes unless it was set,
// rather than let the kernel set whatever handle later takes its number.
class CompletionEvent {
public:
    CompletionEvent() = default;
    // A new manual-reset event; none when it could not be made.
    static CompletionEvent Make() noexcept;
    ~CompletionEvent() { Close(); }
    CompletionEvent(CompletionEvent&& other) noexcept;
    CompletionEvent& operator=(CompletionEvent&& other) noexcept;
    CompletionEvent(const CompletionEvent&) = delete;
    CompletionEvent& operator=(const CompletionEvent&) = delete;

    HANDLE Get() const noexcept { return event_.Get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(event_); }
    // A request under way whose completion is the kernel's object.
    void GivenToKernel() noexcept { kernelHolds_ = true; }
    // It was set: the kernel sets it no more.
    void Set() noexcept { kernelHolds_ = false; }

private:
    void Close() noexcept;

    base::Event event_;
    bool kernelHolds_ = false;
};

// Gets the reply's bytes (never empty) and answers whether they were good.
using ReplyParser = std::function<bool(const BYTE* data, size_t size)>;

// The acceptance test of a completed fetch: status exactly 1 and a byte
// buffer (class 7) with data; then the parser's answer. Nothing is parsed
// otherwise.
bool AcceptReply(IBexAsyncResult* result, const ReplyParser& parse);

// Fetches `url` (at most 2047 characters are used) and waits for the reply
// or for `ownerEvent`, which abandons the request. True when the reply was
// accepted.
bool FetchAndWait(HANDLE ownerEvent, const wchar_t* url, const ReplyParser& parse);

// A fetch started without waiting (the list manager's way): the completion
// object's context is its event. Poll looks at the event for up to `waitMs`.
class PendingFetch {
public:
    enum class State { Pending, Succeeded, Failed };

    // !Started() when no request is under way (unbound, refused, not started).
    static PendingFetch Start(const wchar_t* url);
    bool Started() const { return static_cast<bool>(result_); }
    IBexAsyncResult* Result() const { return result_.Get(); }

    State Poll(const ReplyParser& parse, DWORD waitMs = 50);

private:
    // Let go of in the reverse order: the result, the fetch, the event.
    CompletionEvent event_;
    protocol::PluginRef<protocol::kernel::HttpFetch> fetch_;
    protocol::PluginRef<IBexAsyncResult> result_;
};

}  // namespace catalog
