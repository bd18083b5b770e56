#include "companion/kernel/kernel_library.h"

#include <atomic>
#include <utility>

#include "base/handles.h"
#include "base/log.h"
#include "base/module_exports.h"
#include "base/path_join.h"
#include "protocol/kernel_location.h"

namespace companion {

namespace {

// The module is loaded, bound and freed by the polling thread only; the
// hook reads the entry once while the globals are built.
base::Library& KernelModule() {
    static base::Library module;
    return module;
}
std::atomic<protocol::BexPluginFn> g_entry{nullptr};

}  // namespace

bool KernelPathFromAppPaths(std::wstring& path) {
    path = protocol::KernelBesideSecurityProduct();
    return !path.empty();
}

HRESULT InitKernel(const std::wstring& path) {
    if (!g_entry.load()) {
        if (!base::IsFullyQualified(path)) {
            base::LogLine(L"kernel", L"not a full path; not loaded: " + path);
            return E_FAIL;
        }
        base::Library module(::LoadLibraryW(path.c_str()));
        if (!module) {
            base::LogFailedCall((L"kernel " + path).c_str(), L"LoadLibraryW");
            return E_FAIL;
        }
        const auto entry = base::Export<protocol::BexPluginFn>(module.Get(), protocol::kBexPluginName);
        if (!entry) {
            base::LogLine(L"kernel", L"no entry; not bound: " + path);
            return E_FAIL;
        }
        KernelModule() = std::move(module);
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
    KernelModule().Reset();
}

protocol::BexPluginFn KernelEntry() { return g_entry.load(); }

}  // namespace companion
