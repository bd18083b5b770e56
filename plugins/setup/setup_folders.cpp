#include "plugins/setup/setup_folders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

#include "base/module_path.h"
#include "plugins/common/kernel_calls.h"
#include "winlib/handles.h"

namespace {

constexpr DWORD kMaxPath = MAX_PATH;  // 260, with the terminator

bool Fits(const std::wstring& path) { return !path.empty() && path.size() < kMaxPath; }

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::wstring();
    path[MAX_PATH - 1] = L'\0';
    return path;
}

}  // namespace

std::wstring KernelManagerFolder() {
    bex::PluginRef<> environment;
    if (FAILED(plugin::CreateKernelObject(bex::kernel::kEnvironment, environment))) return std::wstring();
    return bex::ManagerFolder(environment.Get()).value_or(std::wstring());
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ManagerFolder() {
    const std::wstring folder = KernelManagerFolder();
    if (!Fits(folder) || ::PathIsRelativeW(folder.c_str())) return std::wstring();
    return folder;
}

std::wstring SecurityFolder() {
    winlib::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe", 0,
                        KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::wstring();
    // One spare character: a full, unterminated value still ends here and
    // is then refused as too long.
    wchar_t buffer[kMaxPath + 1] = {};
    DWORD type = 0;
    DWORD bytes = kMaxPath * sizeof(wchar_t);
    if (::RegQueryValueExW(key.Get(), L"Path", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    const size_t stored = bytes / sizeof(wchar_t);
    const size_t length = wcsnlen(buffer, stored);
    if (length == stored) return std::wstring();  // no terminator in the stored text
    std::wstring folder(buffer, length);
    if (!Fits(folder) || ::PathIsRelativeW(folder.c_str())) return std::wstring();
    return folder;
}

std::wstring ManagerFile(const wchar_t* name) {
    const std::wstring pellor = JoinPath(SecurityFolder(), L"Pellor");
    return pellor.empty() ? std::wstring() : JoinPath(pellor, name);
}

std::wstring AppDataFile(const wchar_t* name) { return JoinPath(SpecialFolder(CSIDL_APPDATA), name); }

std::wstring DesktopFolder() {
    const std::wstring folder = SpecialFolder(CSIDL_DESKTOP);
    return Fits(folder) && !::PathIsRelativeW(folder.c_str()) ? folder : std::wstring();
}

std::wstring ShellFolder(int csidl) {
    const std::wstring folder = SpecialFolder(csidl);
    return Fits(folder) && !::PathIsRelativeW(folder.c_str()) ? folder : std::wstring();
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
    return ::PathIsRelativeW(folder.c_str()) ? std::wstring() : folder;
}
