// Drives the display-mode controller on the real display and registry, for
// end-to-end runs in a prefix of their own (never the shared test prefix:
// what it applies changes the machine).
//
//   display_mode_tool INI show           prints the controller's state
//   display_mode_tool INI apply KIND     applies a mode, then prints the state
//   display_mode_tool INI restore        the uninstall restore, then the state
//
// The state is printed as "key=value" lines (UTF-8).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/display/SystemControl.h"
#include "tests/support/text.h"

using namespace settings;

namespace {

void Print(TSystemControl& control) {
    const TCurrentDisplayValues& cur = control.Current();
    const TSavedDisplayValues& saved = control.Saved();
    std::printf("current=%dx%d@%d dpi=%d scaling=%d\n", cur.Width, cur.Height, cur.Frequency, cur.Dpi, cur.UseDpiScaling);
    std::printf("saved=%dx%d@%d dpi=%d scaling=%d\n", saved.Width, saved.Height, saved.Frequency, saved.Dpi,
                saved.UseDpiScaling);
    std::printf("modes=%d\n", static_cast<int>(control.DisplayModes().size()));
    std::printf("lastselected=%d\n", control.LastSelected());
    const TUserModeInfo* selected = control.SelectedMode();
    std::printf("selected=%d\n", selected ? selected->Kind : -1);
    std::printf("firstbackup=%d\n", control.FirstBackup() ? 1 : 0);
    std::printf("backupstored=%d\n", control.BackupStored() ? 1 : 0);
    std::printf("restartneeded=%d\n", control.RestartNeeded() ? 1 : 0);
    std::printf("logoffsuffices=%d\n", control.LogOffSuffices() ? 1 : 0);
    std::printf("norestartpending=%d\n", control.NoRestartPending() ? 1 : 0);
    std::printf("xpfontsmoothing=%s\n", testsupport::Narrow(cur.FontSmoothing).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring ini = argv[1];
    const std::wstring command = argv[2];
    if (command == L"restore") {
        const bool restored = RestoreSavedDisplayMode(SystemDisplayApi(), ini);
        std::printf("restored=%d\n", restored ? 1 : 0);
        TSystemControl after(SystemDisplayApi(), ini, false);
        Print(after);
        return 0;
    }
    TSystemControl control(SystemDisplayApi(), ini);
    if (command == L"apply" && argc > 3) {
        const bool applied = control.ApplyMode(static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
        std::printf("applied=%d\n", applied ? 1 : 0);
    } else if (command != L"show") {
        return 2;
    }
    Print(control);
    return 0;
}
