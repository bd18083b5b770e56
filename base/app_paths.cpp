#include "base/app_paths.h"

#include <windows.h>

#include "base/path_join.h"
#include "base/handles.h"

namespace base {

namespace {

constexpr DWORD kCapacity = MAX_PATH;  // 260, with the terminator

std::wstring ReadValue(const wchar_t* name) {
    base::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTarviskAppPathsKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::wstring();
    // One character more than a value may have: one that fills it is too long.
    wchar_t stored[kCapacity + 1] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(stored);
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(stored), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    // Without its terminator the value may have been cut short.
    const size_t units = bytes / sizeof(wchar_t);
    if (bytes % sizeof(wchar_t) != 0 || units == 0 || stored[units - 1] != L'\0') return std::wstring();
    std::wstring value(stored);
    if (value.size() >= kCapacity) return std::wstring();
    if (type == REG_EXPAND_SZ) {
        wchar_t expanded[kCapacity] = {};
        const DWORD needed = ::ExpandEnvironmentStringsW(value.c_str(), expanded, kCapacity);
        if (needed == 0 || needed > kCapacity) return std::wstring();
        value = expanded;
    }
    if (value.find(L'"') != std::wstring::npos || !base::IsFullyQualified(value)) return std::wstring();
    return value;
}

}  // namespace

std::wstring ReadTarviskAppPath() { return ReadValue(nullptr); }

std::wstring ReadTarviskFolder() { return ReadValue(L"Path"); }

}  // namespace base
