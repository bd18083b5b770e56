#include "plugins/setup/dock_button.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "base/registry_values.h"
#include "base/handles.h"

namespace setup {

namespace {

constexpr DWORD kMaxKeys = 50;
constexpr DWORD kMaxClassChars = 260;

bool IsManagerButton(HKEY dock, const wchar_t* name) {
    base::RegKey key;
    if (::RegOpenKeyExW(dock, name, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    std::wstring text;
    return base::ReadRegTextBounded(key.Get(), L"ButtonClassName", kMaxClassChars, text,
                                    base::RegTextTypes::PlainOnly) &&
           text == L"QZubTaskBtn";
}

}  // namespace

int RemoveDockButton(HKEY root, const wchar_t* dockKey) {
    base::RegKey dock;
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

}  // namespace setup
