// The security product's registration under HKLM
// "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tarvisk.exe": its
// default value is the path of the product's main program, its value "Path"
// the product's folder. Libraries are loaded and programs started from what
// is built on them, so both are read by one rule: a REG_SZ, or a
// REG_EXPAND_SZ with its variables expanded, stored with its terminator,
// shorter than 260 characters (also once expanded), without quotes, and
// fully qualified (drive and "\", or UNC). Anything else counts as missing:
// a relative value would name whatever the current folder holds.
#pragma once

#include <string>

namespace base {

// Under HKEY_LOCAL_MACHINE.
constexpr wchar_t kTarviskAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";

// The default value by that rule, or empty.
std::wstring ReadTarviskAppPath();
// The value "Path" by that rule, or empty.
std::wstring ReadTarviskFolder();

}  // namespace base
