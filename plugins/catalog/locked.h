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

}  // namespace catalog
