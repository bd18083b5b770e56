#include "plugins/common/kernel_binding.h"

#include <shlwapi.h>

#include <atomic>

#include "base/log.h"
#include "base/module_exports.h"
#include "base/module_path.h"
#include "protocol/kernel_location.h"
#include "protocol/program_names.h"

namespace plugin {

namespace {

// Set once, never cleared. Atomic because plug-in worker threads read them
// while a test may bind explicitly.
std::atomic<protocol::BexPluginFn> g_host{nullptr};
std::atomic<HMODULE> g_kernel{nullptr};

std::wstring ExecutableFolder() {
    std::wstring path = base::ModuleFilePath(nullptr, base::kLongPathCapacity);
    if (path.empty()) return path;
    ::PathRemoveFileSpecW(&path[0]);
    return path.c_str();
}

// PathCombineW wants MAX_PATH buffers.
std::wstring Combine(const std::wstring& base, const std::wstring& more) {
    if (base.empty() || base.size() >= MAX_PATH) return std::wstring();
    wchar_t out[MAX_PATH] = {};
    if (!::PathCombineW(out, base.c_str(), more.c_str())) return std::wstring();
    return out;
}

bool Exists(const std::wstring& path) { return !path.empty() && ::PathFileExistsW(path.c_str()); }

}  // namespace

protocol::BexPluginFn HostCallback() { return g_host.load(); }

std::wstring LocateKernelDll() {
    const std::wstring base = ExecutableFolder();
    const std::wstring kernel = protocol::kKernelLibrary;
    const std::wstring inManager = std::wstring(protocol::kManagerFolderName) + L"\\" + kernel;
    // The registry is read only when neither place beside the host has one.
    for (const std::wstring& candidate : {Combine(base, kernel), Combine(base, L"..\\" + kernel)})
        if (Exists(candidate)) return candidate;
    const std::wstring registered = protocol::KernelBesideSecurityProduct();
    if (Exists(registered)) return registered;
    for (const std::wstring& candidate : {Combine(base, L"..\\" + inManager), Combine(base, inManager)})
        if (Exists(candidate)) return candidate;
    return std::wstring();
}

HRESULT LoadKernelDll() {
    if (g_host.load()) return S_OK;
    const std::wstring path = LocateKernelDll();
    if (!Exists(path)) {
        base::LogLine(L"kernel", std::wstring(protocol::kKernelLibrary) + L" not found; no plug-in object is made");
        return E_FAIL;
    }
    // Never freed: plug-in objects may outlive any owner we could name.
    const HMODULE module = ::LoadLibraryW(path.c_str());
    if (!module) {
        base::LogFailedCall((L"kernel " + path).c_str(), L"LoadLibraryW");
        return E_FAIL;
    }
    g_kernel.store(module);
    const auto entry = base::Export<protocol::BexPluginFn>(module, protocol::kBexPluginName);
    if (!entry) {
        base::LogLine(L"kernel", L"no entry; not bound: " + path);
        return E_FAIL;
    }
    g_host.store(entry);
    return S_OK;
}

BOOL HandleDllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) LoadKernelDll();
    return TRUE;
}

HRESULT CallHost(int code, void* arg) {
    const protocol::BexPluginFn host = g_host.load();
    if (!host) return E_FAIL;
    return protocol::ResultStatus(host(code, arg));
}

void NotifyCreated(uint32_t classId) {
    if (const protocol::BexPluginFn host = g_host.load()) host(protocol::kCodeCreated, protocol::ClassIdArg(classId));
}

void NotifyDestroyed(uint32_t classId) {
    if (const protocol::BexPluginFn host = g_host.load()) host(protocol::kCodeDestroyed, protocol::ClassIdArg(classId));
}

}  // namespace plugin
