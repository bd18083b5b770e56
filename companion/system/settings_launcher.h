// Starting the settings program (and the navigation's other programs)
// through the shell.
#pragma once

#include <windows.h>

#include <string>

namespace companion {

// The shell verb for a program started with `parameters` on a system whose
// GetVersion() result is `version`: the general and eye pages change
// machine-wide state, so from major version 6 on (NT only) they ask for
// elevation with "runas"; everything else is "open".
const wchar_t* LaunchVerb(const std::wstring& parameters, DWORD version);

// Starts `program` with `parameters` through ShellExecuteExW with the verb
// above for the running system; false when the shell refuses.
bool StartProgramForPage(const std::wstring& program, const std::wstring& parameters);

// "Mirelo.exe" in the folder of Corvalle.exe.
std::wstring SettingsProgramPath();

// Opens the settings program on `page` ("general", "eye", "timealert",
// "timeshutdown"); false when its folder is unknown or the start fails.
bool StartSettingsProgram(const wchar_t* page);

}  // namespace companion
