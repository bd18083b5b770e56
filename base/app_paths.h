// The security product's registration: the default value of HKLM
// "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tarvisk.exe", the
// path of its main program. The kernel locator and the XML failure report
// both start from it, and so does Corvalle's own kernel binding.
#pragma once

#include <string>

namespace appaths {

// Under HKEY_LOCAL_MACHINE.
constexpr wchar_t kTarviskAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";

// The value as stored (not expanded), or empty when it is missing, not
// REG_SZ / REG_EXPAND_SZ, 260 characters or longer (with its terminator it
// would not fit the 260-character buffer the value is read into), or quoted.
std::wstring ReadTarviskAppPath();

}  // namespace appaths
