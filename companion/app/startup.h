// Corvalle's start-up: the command-line switches, the single instance, the
// wait for the manager's service at log-on, the uninstall clean-up and the
// installation helpers that the first run uses.
#pragma once

#include <windows.h>

#include <string>

class CMainWnd;

enum class StartSwitch { None, Uninstall, EyeGuardian, Autorun };

// Only the first switch found acts, tested in the order uninstall,
// eyeguardian, autorun, as substrings of the ASCII-lower-cased line.
StartSwitch ParseStartSwitch(const wchar_t* commandLine);

// The whole entry: returns the process exit code.
int CorvalleMain(const wchar_t* commandLine, int showCommand);

// True when a first copy already runs (its window has been brought forward).
bool IsAnotherInstanceRunning();

// At log-on the manager's service may still be starting: wait (at most
// `timeoutMs`) for a change under its key. No key, no wait.
void WaitForManagerService(DWORD timeoutMs);

// Creates the main window and runs the message loop; 0 when the window
// cannot be created.
int Run(int showCommand);

// Creates `window` as the mascot: a layered tool window of the companion's class.
HWND CreateMascotWindow(CMainWnd& window);

void UninstallCleanup();

// Starts `program` with the parameter "uninstall", hidden, elevated on
// systems that know elevation. Hands back the process handle when `process`
// is given.
void RunElevated(HANDLE* process, const wchar_t* program);

// Loads the web-identify library once per process.
void BindWebIdentify();

// 0 created (or already there); -5 an argument is missing; -4 the target does
// not exist; -1 COM could not start; -2 no shell-link object; -3 it cannot be
// filled or saved (no file is left behind).
int ShellLinkCreate(const wchar_t* target, const wchar_t* shortcut);

// Writes the log-on Run value "Corvalle" when there is none.
void EnsureAutorun();

// Path of the companion's desktop shortcut; empty when there is no desktop folder.
std::wstring DesktopShortcutPath();
