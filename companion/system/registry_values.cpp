#include "companion/system/registry_values.h"

#include <windows.h>

#include <string>

#include "base/log.h"
#include "base/registry_values.h"
#include "base/handles.h"

namespace companion {

int WriteUserRegString(const wchar_t* valueName, const wchar_t* subkey, const wchar_t* text) {
    if (!valueName || !subkey || !text) return -3;
    const std::wstring where = std::wstring(L"HKCU\\") + subkey + L" " + valueName;
    base::RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, subkey, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) {
        const LSTATUS created = ::RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
        if (created != ERROR_SUCCESS) {
            base::LogFailedCall(where.c_str(), L"RegCreateKeyExW", static_cast<DWORD>(created));
            return -1;
        }
    }
    if (!base::WriteRegText(key.Get(), valueName, text)) {
        base::LogLine(where, L"the value was refused; not written");
        return -2;
    }
    return 0;
}

}  // namespace companion
