// The modal dialogs the main window runs: the countdown before a timed
// shutdown or a rest, the full-screen rest mode, the neck and eye exercises
// and the first-run chooser. The main window reaches them only through this
// seam, so its decisions (what is written, which shutdown runs, that the
// detect thread is released once) are tested without real dialogs.
#pragma once

#include <windows.h>

namespace companion {

// Modes of the countdown dialog.
enum CountdownMode { kCountdownBeforeShutdown = 0, kCountdownBeforeRest = 1 };

class IShowingDialogs {
public:
    // Runs the countdown modally (owner: the desktop); 0 means go ahead,
    // anything else that the user declined.
    virtual INT_PTR RunCountdown(CountdownMode mode) = 0;
    // Loads the rest background (or its fallback) and runs the full-screen
    // rest modally for `restMinutes`; `beforeShow` runs once the picture is
    // loaded, just before the dialog appears. False when no background could
    // be loaded (nothing was shown).
    virtual bool RunFullScreenRest(int restMinutes, void (*beforeShow)(void* context), void* context) = 0;
    // The exercise dialogs, modal, owner the desktop; each does nothing when
    // its dialog is already open.
    virtual void RunNeckExercise() = 0;
    virtual void RunEyeExercise() = 0;
    // The first-run chooser: hides `mainWindow`, asks, and sets up autorun and
    // the desktop shortcut as the user chose.
    virtual void RunFirstRunChooser(HWND mainWindow) = 0;

protected:
    ~IShowingDialogs() = default;
};

// The real dialogs.
IShowingDialogs& SystemShowingDialogs();

}  // namespace companion
