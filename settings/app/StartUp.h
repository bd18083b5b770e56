// Mirelo's command line, its one-instance-per-argument rule and the main
// block of the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "protocol/program_names.h"
#include "settings/pages/page_host.h"

namespace settings {

constexpr const wchar_t* kOptionMutexPrefix = protocol::kSettingsMutexPrefix;

// One word, case-insensitive; the first "-", then the first "/", then the
// first "\" are removed wherever they stand.
void ParsePage(const std::wstring& argument, OptionPage& page, bool& uninstall);
// The title suffix of a page; empty for 6, 7 and anything else.
std::wstring PageTitle(int page);
// The first argument of a whole command line (program name first), or empty.
std::wstring FirstArgument(const wchar_t* commandLine);

// EnumWindows callback of a second copy: sends WM_SHOW_PAGE with the page in
// `lParam` to every settings window, waiting for each up to
// kShowPageTimeoutMs. A window that does not answer in time ends the
// enumeration (FALSE).
constexpr UINT kShowPageTimeoutMs = 3000;
BOOL CALLBACK ActivateRunningInstance(HWND window, LPARAM lParam);

// The whole program; returns the exit code.
int ProgramMain(const wchar_t* commandLine);

}  // namespace settings
