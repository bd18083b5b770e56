// The change counter of the web-app cache, shared with the desktop
// product's processes through the named mapping "WebAppInfoCache_Memory"
// (one 32-bit word, 0 when the mapping is made).
#pragma once

#include <windows.h>

#include "base/handles.h"

namespace setup {

class FCGlobalShareMemory {
public:
    FCGlobalShareMemory();

    // Atomic across processes, so increments of several processes all
    // count. Nothing without a view.
    void Increment();
    // The counter's value; 0 without a view.
    DWORD Value() const;

private:
    volatile LONG* Counter() const noexcept { return static_cast<volatile LONG*>(view_.Get()); }

    // The view goes before the mapping.
    base::KernelHandle mapping_;
    base::MappedView view_;
};

// The process's one mapping, made at the first use.
FCGlobalShareMemory& SharedWebAppCounter();
// After a web-app folder was removed.
void IncrementWebAppCounter();

}  // namespace setup
