// Typed callers of the options store (47) and the download object (96) the
// setup utility and the options daemon share. A missing object, a failing
// slot or a text that does not hold up counts as "can't be read".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "protocol/bex_plugin.h"

std::optional<DWORD> OptionNumber(IBexPlugin* options, const wchar_t* key);         // slot 3
bool SetOptionNumber(IBexPlugin* options, const wchar_t* key, DWORD value);         // slot 4
// Slot 5; a text of 260 characters or more counts as missing.
std::optional<std::wstring> OptionText(IBexPlugin* options, const wchar_t* key);
bool SetOptionText(IBexPlugin* options, const wchar_t* key, const wchar_t* text);   // slot 6
// Reads the number; when it can't be read, writes `first` and returns it.
DWORD OptionNumberOr(IBexPlugin* options, const wchar_t* key, DWORD first);

// 96 slot 16: empty when there is no folder or it does not fit 260
// characters.
std::wstring DownloadFolder(IBexPlugin* downloads);
