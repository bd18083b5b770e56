#include "base/registry_values.h"

#include <cwchar>
#include <vector>

namespace base {

namespace {

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The registry answers with a code of its own and leaves the thread's last
// error alone: a refused write puts its code there for the caller's log.
bool Written(LONG result) {
    if (result == ERROR_SUCCESS) return true;
    ::SetLastError(static_cast<DWORD>(result));
    return false;
}

}  // namespace

bool ReadRegText(HKEY key, const wchar_t* name, std::wstring& value) {
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    if (!IsText(type)) return false;
    // One spare character: a value stored without its terminator still ends.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
            ERROR_SUCCESS ||
        !IsText(type))
        return false;
    buffer.back() = L'\0';
    value = buffer.data();
    return true;
}

bool ReadRegTextBounded(HKEY key, const wchar_t* name, DWORD capacity, std::wstring& value, RegTextTypes types) {
    if (capacity == 0) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + 1, L'\0');
    DWORD type = 0;
    DWORD bytes = capacity * sizeof(wchar_t);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
            ERROR_SUCCESS ||
        !(types == RegTextTypes::PlainOnly ? type == REG_SZ : IsText(type)))
        return false;
    const size_t length = wcsnlen(buffer.data(), bytes / sizeof(wchar_t));
    if (length >= capacity) return false;
    value.assign(buffer.data(), length);
    return true;
}

bool ReadRegDword(HKEY key, const wchar_t* name, DWORD& value) {
    DWORD type = 0, bytes = sizeof(DWORD), v = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(DWORD))
        return false;
    value = v;
    return true;
}

bool WriteRegText(HKEY key, const wchar_t* name, const std::wstring& value) {
    return Written(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

bool WriteRegDword(HKEY key, const wchar_t* name, DWORD value) {
    return Written(::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)));
}

}  // namespace base
