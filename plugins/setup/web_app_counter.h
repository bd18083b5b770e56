// The change counter of the web-app cache, shared with the desktop
// product's processes through the named mapping "WebAppInfoCache_Memory"
// (one 32-bit word, 0 when the mapping is made).
#pragma once

#include <windows.h>

namespace setup {

class FCGlobalShareMemory {
public:
    FCGlobalShareMemory();
    ~FCGlobalShareMemory();
    FCGlobalShareMemory(const FCGlobalShareMemory&) = delete;
    FCGlobalShareMemory& operator=(const FCGlobalShareMemory&) = delete;

    // Atomic across processes, so increments of several processes all
    // count. Nothing without a view.
    void Increment();
    // The counter's value; 0 without a view.
    DWORD Value() const;

private:
    HANDLE mapping_ = nullptr;
    volatile LONG* view_ = nullptr;
};

// The process's one mapping, made at the first use.
FCGlobalShareMemory& SharedWebAppCounter();
// After a web-app folder was removed.
void IncrementWebAppCounter();

}  // namespace setup
