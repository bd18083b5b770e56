#include "plugins/common/kernel_binding.h"

#include <shlwapi.h>

#include <atomic>
#include <vector>

#include "base/app_paths.h"
#include "base/module_path.h"
#include "base/path_join.h"

namespace plugin {

namespace {

constexpr wchar_t kKernelName[] = L"bexkernl.dll";
constexpr DWORD kExpandCapacity = 4096;

// Set once, never cleared. Atomic because plug-in worker threads read them
// while a test may bind explicitly.
std::atomic<bex::BexPluginFn> g_host{nullptr};
std::atomic<HMODULE> g_kernel{nullptr};

std::wstring ExecutableFolder() {
    std::wstring path = base::ModuleFilePath(nullptr, base::kLongPathCapacity);
    if (path.empty()) return path;
    ::PathRemoveFileSpecW(&path[0]);
    return path.c_str();
}

// PathCombineW wants MAX_PATH buffers.
std::wstring Combine(const std::wstring& base, const wchar_t* more) {
    if (base.empty() || base.size() >= MAX_PATH) return std::wstring();
    wchar_t out[MAX_PATH] = {};
    if (!::PathCombineW(out, base.c_str(), more)) return std::wstring();
    return out;
}

// The security product's folder (App Paths value less its file name),
// expanded, + "Pellor\bexkernl.dll"; empty when any step fails or the
// folder is not fully qualified.
std::wstring AppPathsCandidate() {
    std::wstring value = base::ReadTarviskAppPath();
    if (value.empty()) return std::wstring();
    std::vector<wchar_t> folder(value.begin(), value.end());
    folder.push_back(L'\0');
    ::PathRemoveFileSpecW(folder.data());
    std::vector<wchar_t> expanded(kExpandCapacity, L'\0');
    const DWORD len = ::ExpandEnvironmentStringsW(folder.data(), expanded.data(), kExpandCapacity);
    if (len == 0 || len > kExpandCapacity) return std::wstring();
    return base::JoinPath(expanded.data(), L"Pellor\\bexkernl.dll");
}

bool Exists(const std::wstring& path) { return !path.empty() && ::PathFileExistsW(path.c_str()); }

}  // namespace

bex::BexPluginFn HostCallback() { return g_host.load(); }

std::wstring LocateKernelDll() {
    const std::wstring base = ExecutableFolder();
    std::wstring candidate = Combine(base, kKernelName);
    if (Exists(candidate)) return candidate;
    candidate = Combine(base, L"..\\bexkernl.dll");
    if (Exists(candidate)) return candidate;
    candidate = AppPathsCandidate();
    if (Exists(candidate)) return candidate;
    candidate = Combine(base, L"..\\Pellor\\bexkernl.dll");
    if (Exists(candidate)) return candidate;
    candidate = Combine(base, L"Pellor\\bexkernl.dll");
    if (Exists(candidate)) return candidate;
    return std::wstring();
}

HRESULT LoadKernelDll() {
    if (g_host.load()) return S_OK;
    const std::wstring path = LocateKernelDll();
    if (!Exists(path)) return E_FAIL;
    // Never freed: plug-in objects may outlive any owner we could name.
    const HMODULE module = ::LoadLibraryW(path.c_str());
    if (!module) return E_FAIL;
    g_kernel.store(module);
    const auto entry = reinterpret_cast<bex::BexPluginFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, bex::kBexPluginName)));
    if (!entry) return E_FAIL;
    g_host.store(entry);
    return S_OK;
}

BOOL HandleDllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) LoadKernelDll();
    return TRUE;
}

HRESULT CallHost(int code, void* arg) {
    const bex::BexPluginFn host = g_host.load();
    if (!host) return E_FAIL;
    return host(code, arg);
}

void NotifyCreated(uint32_t classId) {
    if (const bex::BexPluginFn host = g_host.load()) host(bex::kCodeCreated, bex::ClassIdArg(classId));
}

void NotifyDestroyed(uint32_t classId) {
    if (const bex::BexPluginFn host = g_host.load()) host(bex::kCodeDestroyed, bex::ClassIdArg(classId));
}

}  // namespace plugin
