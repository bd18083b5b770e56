#include "base/app_data_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <mutex>
#include <vector>

namespace base {

namespace {

std::wstring& Override() {
    static std::wstring folder;
    return folder;
}

std::wstring ExpandedVariable() {
    const wchar_t* variable = L"%appdata%";
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD needed = ::ExpandEnvironmentStringsW(variable, buffer.data(), MAX_PATH);
    if (needed == 0) return std::wstring();
    if (needed >= MAX_PATH) {
        buffer.assign(needed + 1, L'\0');
        needed = ::ExpandEnvironmentStringsW(variable, buffer.data(), needed + 1);
        if (needed == 0 || needed > buffer.size()) return std::wstring();
    }
    std::wstring expanded(buffer.data());
    // An unset variable comes back unexpanded; that is no folder.
    if (expanded.find(L'%') != std::wstring::npos) return std::wstring();
    return expanded;
}

std::wstring VariableValue() {
    const DWORD n = ::GetEnvironmentVariableW(L"AppData", nullptr, 0);
    if (n == 0) return std::wstring();
    std::vector<wchar_t> value(n);
    if (::GetEnvironmentVariableW(L"AppData", value.data(), n) >= n) return std::wstring();
    return value.data();
}

// The shell's folder does not move while a program runs, and each question
// costs about half a millisecond under Wine, where Corvalle asks it for every
// value it reads (some sixty times before its first frame): the first answer
// is kept. A failed question is asked again next time.
std::wstring ShellFolder() {
    static std::mutex lock;
    static std::wstring known;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!known.empty()) return known;
    }
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, buffer)) ||
        buffer[0] == L'\0')
        return std::wstring();
    std::lock_guard<std::mutex> hold(lock);
    known = buffer;
    return known;
}

}  // namespace

std::wstring AppDataFolder(AppDataFallback fallback) {
    if (!Override().empty()) return Override();
    const std::wstring shell = ShellFolder();
    if (!shell.empty()) return shell;
    return fallback == AppDataFallback::kExpandedVariable ? ExpandedVariable() : VariableValue();
}

void SetAppDataFolderOverride(const std::wstring& folder) { Override() = folder; }

}  // namespace base
