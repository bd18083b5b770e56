#include "base/app_paths.h"

#include <windows.h>

#include "base/registry_values.h"
#include "winlib/handles.h"

namespace appaths {

namespace {
constexpr DWORD kCapacity = 260;
}  // namespace

std::wstring ReadTarviskAppPath() {
    winlib::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTarviskAppPathsKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::wstring();
    std::wstring value;
    if (!base::ReadRegTextBounded(key.Get(), nullptr, kCapacity, value)) return std::wstring();
    if (value.find(L'"') != std::wstring::npos) return std::wstring();
    return value;
}

}  // namespace appaths
