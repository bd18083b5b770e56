// The timing hook around every call Corvalle makes into a kernel object.
// The hook is chosen once, while the program's globals are built; at that
// time no kernel library is bound, so in this program it is the do-nothing
// object. Tests may put a recording hook in its place.
#pragma once

#include <cstdint>

#include "protocol/bex_debugger.h"

namespace companion {

// The kernel's debugger when a kernel entry is bound and hands out a non-null
// one, else the static do-nothing object.
IBexDebugger* InitDebuggerHook();
// The hook the timing scopes report to.
IBexDebugger* DebuggerHook();
// Tests only: puts `hook` (null: the do-nothing object) in place; returns the
// previous hook.
IBexDebugger* SetDebuggerHookForTesting(IBexDebugger* hook);

// Brackets one call into a kernel object: Enter(id) now, Leave(id, elapsed
// processor ticks) when the scope ends. The id is the object's address.
class CTimingScope {
public:
    explicit CTimingScope(const void* kernelObject);
    ~CTimingScope();
    CTimingScope(const CTimingScope&) = delete;
    CTimingScope& operator=(const CTimingScope&) = delete;

private:
    uint32_t id_;
    uint64_t start_;
};

}  // namespace companion
