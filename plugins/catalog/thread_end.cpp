#include "plugins/catalog/thread_end.h"

#include <cwchar>

#include "base/log.h"

namespace catalog {

namespace {

constexpr DWORD kRetryMs = 10;

void Report(const wchar_t* name, unsigned times) {
    base::LogLine(name ? name : L"a thread",
                  L"holds a lock of its owner; still waiting for it to end (" + std::to_wstring(times + 1) + L")");
}

}  // namespace

bool EndStoppedThread(HANDLE thread, DWORD threadId, DWORD waitMs, DWORD exitCode, const HoldsOwnersLock& holds,
                      const wchar_t* name) {
    if (!thread) return false;
    for (unsigned times = 0;; ++times) {
        if (::WaitForSingleObject(thread, waitMs) != WAIT_TIMEOUT) return false;
        if (::SuspendThread(thread) == static_cast<DWORD>(-1)) {
            // Not suspendable: it is ending on its own.
            ::WaitForSingleObject(thread, INFINITE);
            return false;
        }
        // SuspendThread returns before the thread stops: reading its context
        // waits until it really did, so what it holds cannot change below.
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        ::GetThreadContext(thread, &context);
        if (!holds(threadId)) {
            ::TerminateThread(thread, exitCode);
            // Termination does not wait: the thread is gone only when its
            // handle says so.
            ::WaitForSingleObject(thread, INFINITE);
            return true;
        }
        ::ResumeThread(thread);
        Report(name, times);
        // Once out of the lock it is on its way: it gets the whole time again.
        while (::WaitForSingleObject(thread, kRetryMs) == WAIT_TIMEOUT)
            if (!holds(threadId)) break;
    }
}

}  // namespace catalog
