// The program that opens web addresses: the user's choice for "http" (or
// the class "http" on old systems), its open command and the program in
// that command, read through the kernel's registry and look-up services.
#pragma once

#include <string>

namespace setup {

// Empty when no program can be found.
std::wstring GetDefaultBrowserPath();
// HKLM App Paths "IEXPLORE.EXE" default value; empty when missing.
std::wstring GetInternetExplorerPath();

}  // namespace setup
