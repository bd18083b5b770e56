#include "plugins/setup/dock_button.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "winlib/handles.h"

namespace {

constexpr DWORD kMaxKeys = 50;
constexpr DWORD kMaxClassChars = 260;

bool IsManagerButton(HKEY dock, const wchar_t* name) {
    winlib::RegKey key;
    if (::RegOpenKeyExW(dock, name, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    wchar_t text[kMaxClassChars + 1] = {};
    DWORD bytes = kMaxClassChars * sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key.Get(), L"ButtonClassName", nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    const size_t stored = bytes / sizeof(wchar_t);
    return std::wcscmp(std::wstring(text, wcsnlen(text, stored)).c_str(), L"QZubTaskBtn") == 0;
}

}  // namespace

int RemoveDockButton(HKEY root, const wchar_t* dockKey) {
    winlib::RegKey dock;
    if (::RegOpenKeyExW(root, dockKey, 0, KEY_ALL_ACCESS, dock.Put()) != ERROR_SUCCESS) return 0;
    std::vector<std::wstring> matching;
    for (DWORD index = 0; index < kMaxKeys; ++index) {
        wchar_t name[MAX_PATH] = {};
        const LONG status = ::RegEnumKeyW(dock.Get(), index, name, MAX_PATH);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        if (IsManagerButton(dock.Get(), name)) matching.emplace_back(name);
    }
    int deleted = 0;
    for (const std::wstring& name : matching)
        if (::SHDeleteKeyW(dock.Get(), name.c_str()) == ERROR_SUCCESS) ++deleted;
    return deleted;
}
