#include "companion/kernel/debugger_hook.h"

#include <x86intrin.h>

#include <atomic>

#include "companion/kernel/kernel_library.h"

namespace companion {

namespace {

CBexDebuggerDummy g_dummy;
// Chosen while the globals are built, before WinMain.
std::atomic<IBexDebugger*> g_hook{InitDebuggerHook()};

}  // namespace

IBexDebugger* InitDebuggerHook() {
    const protocol::BexPluginFn entry = KernelEntry();
    if (entry) {
        // The kernel answers with a pointer in place of an HRESULT.
        if (IBexDebugger* kernelHook = DebuggerFromResult(entry(protocol::kCodeDebugger, nullptr)))
            return kernelHook;
    }
    return &g_dummy;
}

IBexDebugger* DebuggerHook() {
    IBexDebugger* hook = g_hook.load();
    return hook ? hook : &g_dummy;
}

IBexDebugger* SetDebuggerHookForTesting(IBexDebugger* hook) {
    return g_hook.exchange(hook ? hook : &g_dummy);
}

CTimingScope::CTimingScope(const void* kernelObject)
    : id_(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(kernelObject))), start_(__rdtsc()) {
    DebuggerHook()->Enter(id_);
}

CTimingScope::~CTimingScope() { DebuggerHook()->Leave(id_, __rdtsc() - start_); }

}  // namespace companion
