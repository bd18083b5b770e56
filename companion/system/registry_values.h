// Writing the companion's own per-user registry values.
#pragma once

namespace companion {

// Sets a REG_SZ value under HKEY_CURRENT_USER\subkey, creating the key when
// needed: 0 written; -2 the value could not be set; -1 the key could neither
// be opened nor created; -3 an argument is missing.
int WriteUserRegString(const wchar_t* valueName, const wchar_t* subkey, const wchar_t* text);

}  // namespace companion
