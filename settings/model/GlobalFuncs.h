// The settings program's process-wide values and the small free functions
// every other unit of it leans on: platform tests, the 64-bit registry and
// file-system views, date and time texts, file tests, privileges, shutdown
// and the program's message box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/power.h"
#include "base/shutdown.h"
#include "settings/model/DateTime.h"

namespace settings {

// Set once, on first use, before any window exists.
const std::wstring& ExeFolder();  // with a trailing backslash
bool IsWow64();
bool IsVistaOrLater();
bool IsWin7();
bool IsWin8();
const std::wstring& UiFontName();  // "微软雅黑" from Vista on, else "Tahoma"

void SetRoundWindowRegion(HWND window, int width, int height, int corner);
// Left is the text before the first `separator`, right the text after it;
// without one, left is the whole text and right is empty.
void SplitAt(const std::wstring& text, const std::wstring& separator, std::wstring& right, std::wstring& left);
int ShowInfo(HWND owner, const std::wstring& text);

bool CheckWow64();
bool CheckVersion();
REGSAM RegAccess(REGSAM access);

TDateTime ParseDate8(const std::wstring& text);
TDateTime ParseTime(const std::wstring& text);
std::wstring FormatHHNN(const TDateTime& time);
std::wstring FormatDate8(const std::wstring& yyyymmdd);
std::wstring FormatYYYYMMDD(const TDateTime& date);
std::wstring FormatSeconds(int64_t seconds);
bool TimeOfDayBefore(const TDateTime& a, const TDateTime& b);
int DaysInMonth(int month, int year);

// The roaming application-data folder as the system reports it (no trailing
// backslash is added here).
std::wstring GetAppDataDir();

// True for an empty path; otherwise the file must exist and its whole
// extension (with the dot) must be one of the ";"-separated items, in any
// letter case.
bool FileHasExtension(const std::wstring& path, const std::wstring& extensions);
bool DisableFsRedirection(void** cookie);
bool RevertFsRedirection(void* cookie);
bool FileExistsAnyView(const std::wstring& path);
bool FileExistsByAttributes(const std::wstring& path);

void SetComboDropWidth(HWND combo, int minWidth);
void OpenFile(const std::wstring& path);
using base::EnablePrivilege;
// Ends this process with exit code 1.
bool TerminateSelf();

// Everything that can end the session or the machine, behind the shared
// power seam: under a test nothing of it may run for real.
base::IPower& SystemShutdownApi();

// True only when the request was carried out (or, for power and session
// requests, accepted by the system).
bool DoShutdown(base::ShutdownKind kind, bool force, base::IPower& api = SystemShutdownApi());
// The same for a request by its number (a base::ShutdownKind's); any other
// number is refused.
bool DoShutdown(int style, bool force, base::IPower& api = SystemShutdownApi());

}  // namespace settings
