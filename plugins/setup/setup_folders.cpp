#include "plugins/setup/setup_folders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/app_paths.h"
#include "base/module_path.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/program_names.h"

namespace setup {

namespace {

constexpr DWORD kMaxPath = MAX_PATH;  // 260, with the terminator

bool Fits(const std::wstring& path) { return !path.empty() && path.size() < kMaxPath; }

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::wstring();
    path[MAX_PATH - 1] = L'\0';
    return path;
}

// The manager's folder as the kernel gives it (class 40), empty when it
// gives none.
std::wstring KernelManagerFolder() {
    protocol::PluginRef<protocol::kernel::Environment> environment;
    if (FAILED(plugin::CreateKernelObject(environment))) return std::wstring();
    return protocol::ManagerFolder(environment.Get()).value_or(std::wstring());
}

}  // namespace

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ManagerFolder() {
    const std::wstring folder = KernelManagerFolder();
    return Fits(folder) && base::IsFullyQualified(folder) ? folder : std::wstring();
}

std::wstring SecurityFolder() { return base::ReadTarviskFolder(); }

std::wstring ManagerFile(const wchar_t* name) {
    const std::wstring pellor = JoinPath(SecurityFolder(), protocol::kManagerFolderName);
    return pellor.empty() ? std::wstring() : JoinPath(pellor, name);
}

std::wstring AppDataFile(const wchar_t* name) { return JoinPath(SpecialFolder(CSIDL_APPDATA), name); }

std::wstring DesktopFolder() { return ShellFolder(CSIDL_DESKTOP); }

std::wstring ShellFolder(int csidl) {
    const std::wstring folder = SpecialFolder(csidl);
    return Fits(folder) && base::IsFullyQualified(folder) ? folder : std::wstring();
}

std::wstring HostFolder() {
    std::wstring path = base::ModuleFilePath();
    if (path.empty() || !::PathRemoveFileSpecW(&path[0])) return std::wstring();
    return path.c_str();
}

std::wstring ProxyProgram() {
    const std::wstring self = base::ModuleFilePath();
    if (self.empty()) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    self.copy(path, MAX_PATH - 1);
    if (!::PathRemoveFileSpecW(path) || !::PathAppendW(path, L"PellorandProxy.exe")) return std::wstring();
    return path;
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folder(path, length);
    return base::IsFullyQualified(folder) ? folder : std::wstring();
}

}  // namespace setup
