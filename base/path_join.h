// The one way a path is built that something is started, deleted or
// replaced by: only from a folder that names one place whatever the current
// folder and drive, so that a failed look-up can never reach the current
// folder instead.
#pragma once

#include <string>

namespace base {

// "X:\..." or "\\server\share..."; never the device namespace ("\\?\...",
// "\\.\...").
bool IsFullyQualified(const std::wstring& path);

// folder + "\" + name (one separator); empty when the folder is not fully
// qualified, the name is missing or empty, or the result would not fit 260
// characters.
std::wstring JoinPath(const std::wstring& folder, const wchar_t* name);

}  // namespace base
