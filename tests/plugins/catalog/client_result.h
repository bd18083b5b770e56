// A client's completion object as the catalogue's managers meet it, on the
// test's stack: Complete runs `onComplete` on the manager's thread, then
// sets `done`. Each AddRef after the first `fastAddRefs` sets `inAddRef`
// and sleeps `slowAddRefMs`, as the kernel's own objects may wait for the
// kernel's lock.
#pragma once

#include <windows.h>

#include <functional>

#include "protocol/bex_plugin.h"
#include "base/handles.h"

class ClientResult final : public IBexAsyncResult {
public:
    std::function<void()> onComplete;
    DWORD slowAddRefMs = 0;
    LONG fastAddRefs = 0;
    base::Event done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    base::Event inAddRef{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    // A manager lets go of it just after completing it: not before then.
    ~ClientResult() {
        for (int i = 0; i < 1000 && count_ > 1; ++i) ::Sleep(10);
    }
    bool Completed(DWORD ms = 10000) { return ::WaitForSingleObject(done.Get(), ms) == WAIT_OBJECT_0; }

    uint32_t BEX_CALL GetClassId() override { return 8; }
    LONG BEX_CALL AddRef() override {
        if (slowAddRefMs && ::InterlockedIncrement(&addRefs_) > fastAddRefs) {
            ::SetEvent(inAddRef.Get());
            ::Sleep(slowAddRefMs);
        }
        return ::InterlockedIncrement(&count_);
    }
    LONG BEX_CALL Release() override { return ::InterlockedDecrement(&count_); }
    void* BEX_CALL GetContext() override { return nullptr; }
    LONG BEX_CALL Complete(LONG status, IBexPlugin*) override {
        status_ = status;
        if (onComplete) onComplete();
        ::SetEvent(done.Get());
        return 0;
    }
    LONG BEX_CALL GetResult(IBexPlugin** out) override {
        if (out) *out = nullptr;
        return status_;
    }

private:
    volatile LONG count_ = 1;
    volatile LONG status_ = 0;
    volatile LONG addRefs_ = 0;
};
