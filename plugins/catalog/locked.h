// Holds a critical section for a scope.
#pragma once

#include <windows.h>

namespace catalog {

class Locked {
public:
    explicit Locked(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
    ~Locked() { ::LeaveCriticalSection(&cs_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

// Whether the thread `threadId` holds `cs` now.
inline bool HeldBy(const CRITICAL_SECTION& cs, DWORD threadId) noexcept {
    return reinterpret_cast<DWORD_PTR>(cs.OwningThread) == threadId;
}

}  // namespace catalog
