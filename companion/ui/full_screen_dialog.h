// The full-screen rest: a day or night picture over the whole screen, a
// panel with the rest countdown and hints, a button that plays the eye
// exercise in the middle, a clock and an exit button. The rest ends when the
// count reaches zero (after a playing movie is over), on Esc, on the exit
// button and on any session change; its end writes the next rest time.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "protocol/window_messages.h"
#include "companion/ui/flash_host.h"
#include "toolkit/bex_controls.h"
#include "toolkit/bex_dialog.h"
#include "toolkit/bex_text_wnd.h"

namespace companion {

// The rest picture of the hour, stretched to the screen. 0, or -1 when it
// is missing or cannot be made.
int MakeRestBackground(std::unique_ptr<toolkit::CBexBitmap>& bitmap);
// A white screen-sized picture for when there is no rest picture; 0 or -1.
int MakeWhiteBackground(std::unique_ptr<toolkit::CBexBitmap>& bitmap);
// Both above for a given size and picture file (the seam the two use).
int MakeStretchedBackground(const std::wstring& path, int cx, int cy, std::unique_ptr<toolkit::CBexBitmap>& bitmap);
int MakeSolidBackground(int cx, int cy, std::unique_ptr<toolkit::CBexBitmap>& bitmap);

// The rest dialog's event sink: the movie's FlashCall means it is over.
class CRestDlgSink : public CFlashEventSink {
public:
    explicit CRestDlgSink(HWND dialog) : CFlashEventSink(dialog, WM_REST_EXERCISE_DONE) {}
};

class CRestDlgSubFlash : public CFlashWindowSubclass {};

class CFullScreenDialog : public toolkit::CBexTemplateDialog, public toolkit::CBexWndManager {
public:
    enum : UINT {
        kTimerCountdown = 1001,
        kTimerClock = 1004,
        kIdExit = 10023,
        kIdPlay = 10024,
        kIdIgnored1 = 10025,
        kIdIgnored2 = 10026,
        kIdHost = 10089,
        kMovieWidth = 876,
        kMovieHeight = 408,
    };

    // `background` stays the caller's; `minutes` is the rest length.
    CFullScreenDialog(toolkit::CBexBitmap* background, int minutes);

    // Periods of the countdown and the clock (1000 and 10000 ms).
    void SetTickPeriods(UINT countdownMs, UINT clockMs) {
        countdownMs_ = countdownMs;
        clockMs_ = clockMs;
    }

    int RemainingSeconds() const { return remaining_; }
    int PanelX() const { return x0_; }
    int PanelY() const { return y0_; }
    CFlashPlayer& Player() { return player_; }
    toolkit::CBexTextWnd& CountdownText() { return countdown_; }
    toolkit::CBexTextWnd& ClockText() { return clock_; }
    toolkit::CBexButton3& PlayButton() { return play_; }
    toolkit::CBexButton3& ExitButton() { return exit_; }
    toolkit::CBexImageWnd& Picture() { return picture_; }
    bool Ended() const { return ended_; }

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        WL_MESSAGE_HANDLER(WM_SIZE, OnSize)
        WL_MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        WL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
        WL_COMMAND_ID_HANDLER(kIdPlay, OnPlay)
        WL_COMMAND_ID_HANDLER(kIdExit, OnExit)
        WL_COMMAND_ID_HANDLER(kIdIgnored1, OnIgnored)
        WL_COMMAND_ID_HANDLER(kIdIgnored2, OnIgnored)
        WL_COMMAND_ID_HANDLER(IDOK, OnIgnoredZero)
        WL_COMMAND_RANGE_HANDLER(IDCANCEL, IDCONTINUE, OnExit)
        WL_MESSAGE_HANDLER(WM_WTSSESSION_CHANGE, OnSessionChange)
        WL_MESSAGE_HANDLER(WM_REST_EXERCISE_DONE, OnMovieDone)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    WL_END_MSG_MAP()

    void DrawBackground(HDC dc, const RECT* rect) override;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnPlay(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnIgnored(WORD, WORD, HWND, BOOL&) { return 1; }
    LRESULT OnIgnoredZero(WORD, WORD, HWND, BOOL&) { return 0; }
    LRESULT OnSessionChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMovieDone(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    void CountdownStep();
    void ClockStep();
    void PlacePanelControls();
    void PlaceMovieWindow();
    void EndRest();
    void RestoreCursor();

    int BackWidth() const;
    int BackHeight() const;

    toolkit::CBexBitmap* background_;
    int minutes_;
    int x0_ = -1;
    int y0_ = -1;
    int remaining_ = 0;
    int initialised_ = 0;
    bool ended_ = false;
    bool sessionRegistered_ = false;
    bool cursorHidden_ = false;
    POINT savedCursor_{};
    UINT countdownMs_ = 1000;
    UINT clockMs_ = 10000;
    std::optional<base::ComScope> com_;
    CFlashPlayer player_;
    CRestDlgSubFlash subclass_;

    toolkit::CBexButton3 play_;
    toolkit::CBexButton3 exit_;
    toolkit::CBexImageWnd picture_;
    toolkit::CBexTextWnd invitation_;
    toolkit::CBexTextWnd escHint_;
    toolkit::CBexTextWnd countdown_;
    toolkit::CBexTextWnd hint1_;
    toolkit::CBexTextWnd hint2_;
    toolkit::CBexTextWnd clock_;
};

}  // namespace companion
