// The eye-exercise movie: the skin's "eye.swf" played once in the player
// control, centred on the work area. The movie ends the dialog by calling
// out when it is over; without a player the user is told where to get one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "protocol/window_messages.h"
#include "companion/ui/flash_host.h"
#include "toolkit/bex_dialog.h"

namespace companion {

// The eye dialog's event sink: the movie's FlashCall ends the exercise.
class CSink : public CFlashEventSink {
public:
    explicit CSink(HWND dialog) : CFlashEventSink(dialog, WM_EXERCISE_DONE) {}
};

// The eye dialog's subclass of the player window (no context menu).
class CSubFlash : public CFlashWindowSubclass {};

class CEyeProtection : public toolkit::CBexTemplateDialog {
public:
    enum : UINT { kTimerStart = 1001, kIdHost = 10088, kWidth = 876, kHeight = 408 };

    CEyeProtection();

    // The movie file; the skin's eye.swf unless a test sets another.
    void SetMoviePath(const std::wstring& path) { moviePath_ = path; }
    std::wstring MoviePath() const;

    CFlashPlayer& Player() { return player_; }
    bool MovieStarted() const { return started_; }

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        WL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
        WL_MESSAGE_HANDLER(WM_EXERCISE_DONE, OnExerciseDone)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
        WL_MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    WL_END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnExerciseDone(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    void Finish();

    std::wstring moviePath_;
    std::optional<base::ComScope> com_;
    CFlashPlayer player_;
    CSubFlash subclass_;
    bool started_ = false;
};

}  // namespace companion
