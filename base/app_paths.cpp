#include "base/app_paths.h"

#include <windows.h>

#include <cwchar>

#include "winlib/handles.h"

namespace appaths {

namespace {
constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";
constexpr DWORD kCapacity = 260;
}  // namespace

std::wstring ReadTarviskAppPath() {
    winlib::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::wstring();
    // One spare character so an unterminated value of full size still ends.
    wchar_t buffer[kCapacity + 1] = {};
    DWORD type = 0;
    DWORD bytes = kCapacity * sizeof(wchar_t);
    if (::RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
        ERROR_SUCCESS)
        return std::wstring();
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring();
    size_t length = bytes / sizeof(wchar_t);
    while (length > 0 && buffer[length - 1] == L'\0') --length;
    std::wstring value(buffer, length);
    value.resize(wcsnlen(value.c_str(), length));
    if (value.size() >= kCapacity) return std::wstring();
    if (value.find(L'"') != std::wstring::npos) return std::wstring();
    return value;
}

}  // namespace appaths
