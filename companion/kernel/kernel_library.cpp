#include "companion/kernel/kernel_library.h"

#include <atomic>

#include "base/path_join.h"
#include "protocol/kernel_location.h"

namespace companion {

namespace {

// Written and read by the polling thread only; the hook reads the entry once
// while the globals are built.
std::atomic<HMODULE> g_module{nullptr};
std::atomic<protocol::BexPluginFn> g_entry{nullptr};

}  // namespace

bool KernelPathFromAppPaths(std::wstring& path) {
    path = protocol::KernelBesideSecurityProduct();
    return !path.empty();
}

HRESULT InitKernel(const std::wstring& path) {
    if (!g_entry.load()) {
        if (!base::IsFullyQualified(path)) return E_FAIL;
        HMODULE module = ::LoadLibraryW(path.c_str());
        if (!module) return E_FAIL;
        auto entry = reinterpret_cast<protocol::BexPluginFn>(
            reinterpret_cast<void*>(::GetProcAddress(module, protocol::kBexPluginName)));
        if (!entry) {
            ::FreeLibrary(module);
            return E_FAIL;
        }
        g_module = module;
        g_entry = entry;
    }
    return protocol::ResultStatus(g_entry.load()(protocol::kCodeInitialize, nullptr));
}

HRESULT InitKernel() {
    std::wstring path;
    if (!KernelPathFromAppPaths(path)) return E_FAIL;
    return InitKernel(path);
}

void ShutdownKernel() {
    const protocol::BexPluginFn entry = g_entry.exchange(nullptr);
    if (entry) entry(protocol::kCodeShutdown, nullptr);
    const HMODULE module = g_module.exchange(nullptr);
    if (module) ::FreeLibrary(module);
}

protocol::BexPluginFn KernelEntry() { return g_entry.load(); }

}  // namespace companion
