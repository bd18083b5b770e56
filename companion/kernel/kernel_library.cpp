#include "companion/kernel/kernel_library.h"

#include <atomic>
#include <cwctype>

#include "base/app_paths.h"

namespace {

constexpr DWORD kExpandCapacity = 4096;
constexpr wchar_t kKernelRelativePath[] = L"Pellor\\bexkernl.dll";

// Written and read by the polling thread only; the hook reads the entry once
// while the globals are built.
std::atomic<HMODULE> g_module{nullptr};
std::atomic<bex::BexPluginFn> g_entry{nullptr};

bool IsAbsolute(const std::wstring& path) {
    const bool drive = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
    return drive || unc;
}

}  // namespace

bool KernelPathFromAppPaths(std::wstring& path) {
    path.clear();
    const std::wstring value = base::ReadTarviskAppPath();
    const size_t cut = value.find_last_of(L'\\');
    if (cut == std::wstring::npos) return false;
    const std::wstring folder = value.substr(0, cut + 1);
    wchar_t expanded[kExpandCapacity] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(folder.c_str(), expanded, kExpandCapacity);
    if (length == 0 || length > kExpandCapacity) return false;
    std::wstring candidate = std::wstring(expanded) + kKernelRelativePath;
    if (!IsAbsolute(candidate)) return false;
    path = std::move(candidate);
    return true;
}

HRESULT InitKernel(const std::wstring& path) {
    if (!g_entry.load()) {
        if (!IsAbsolute(path)) return E_FAIL;
        HMODULE module = ::LoadLibraryW(path.c_str());
        if (!module) return E_FAIL;
        auto entry = reinterpret_cast<bex::BexPluginFn>(
            reinterpret_cast<void*>(::GetProcAddress(module, bex::kBexPluginName)));
        if (!entry) {
            ::FreeLibrary(module);
            return E_FAIL;
        }
        g_module = module;
        g_entry = entry;
    }
    return g_entry.load()(bex::kCodeInitialize, nullptr);
}

HRESULT InitKernel() {
    std::wstring path;
    if (!KernelPathFromAppPaths(path)) return E_FAIL;
    return InitKernel(path);
}

void ShutdownKernel() {
    const bex::BexPluginFn entry = g_entry.exchange(nullptr);
    if (entry) entry(bex::kCodeShutdown, nullptr);
    const HMODULE module = g_module.exchange(nullptr);
    if (module) ::FreeLibrary(module);
}

bex::BexPluginFn KernelEntry() { return g_entry.load(); }
