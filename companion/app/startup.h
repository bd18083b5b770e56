// Corvalle's start-up: the command-line switches, the single instance, the
// wait for the manager's service at log-on and the uninstall clean-up.
#pragma once

#include <windows.h>

#include <string>

namespace companion {

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

}  // namespace companion
