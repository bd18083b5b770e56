// Lumvex's own rules over the options store (class 47) and the download
// object (96); the plain calls are protocol/kernel_calls.h's.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "protocol/bex_kernel.h"

namespace setup {

// A path kept as an option's text: one of 260 characters or more counts as
// missing.
std::optional<std::wstring> OptionPath(protocol::kernel::Options* options, const wchar_t* key);
// Reads the number; when it can't be read, writes `first` and returns it.
DWORD OptionNumberOr(protocol::kernel::Options* options, const wchar_t* key, DWORD first);

// 96 slot 16: empty when there is no folder or it does not fit 260
// characters.
std::wstring DownloadFolder(protocol::kernel::Downloads* downloads);

}  // namespace setup
