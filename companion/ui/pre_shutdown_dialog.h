// The small countdown in the bottom-right corner before a timed shutdown
// (mode 0) or the full-screen rest (mode 1). Its result: 0 carry the event
// out (the button, Enter, or the count running out), 1 postponed (the link,
// the close button, Esc). Postponing a rest moves the next rest on by the
// rest interval.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/bex_controls.h"
#include "toolkit/bex_dialog.h"
#include "toolkit/bex_text_wnd.h"

namespace companion {

class CPreShutdownDialog : public toolkit::CBexTemplateDialog, public toolkit::CBexWndManager {
public:
    enum Mode { kShutdown = 0, kRest = 1 };
    enum : UINT {
        kTimerCountdown = 1001,
        kIdClose = 10023,
        kIdExecute = 10024,
        kIdPostpone = 10025,
    };

    explicit CPreShutdownDialog(int mode);

    // The countdown's period; 1000 ms unless a test wants it otherwise.
    void SetTickPeriod(UINT ms) { tickMs_ = ms; }

    int Mode() const { return mode_; }
    int RemainingSeconds() const { return remaining_; }
    toolkit::CBexTextWnd& CountdownText() { return countdown_; }
    toolkit::CBexTextWnd& PostponeLink() { return postpone_; }
    toolkit::CBexButton4& ExecuteButton() { return execute_; }
    toolkit::CBexButton3& CloseButton() { return close_; }

    // The countdown line for a number of seconds.
    static std::wstring CountdownMarkup(int mode, int seconds);

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        WL_MESSAGE_HANDLER(WM_SIZE, OnSize)
        WL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
        WL_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        WL_COMMAND_ID_HANDLER(kIdExecute, OnExecute)
        WL_COMMAND_ID_HANDLER(IDOK, OnExecute)
        WL_COMMAND_ID_HANDLER(kIdClose, OnPostpone)
        WL_COMMAND_ID_HANDLER(kIdPostpone, OnPostpone)
        WL_COMMAND_RANGE_HANDLER(IDCANCEL, IDCONTINUE, OnPostpone)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    WL_END_MSG_MAP()

    void DrawBackground(HDC dc, const RECT* rect) override;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnExecute(WORD, WORD, HWND, BOOL&);
    LRESULT OnPostpone(WORD, WORD, HWND, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    void CountdownStep();
    void PlaceControls();
    void Finish(INT_PTR result);

    int mode_;
    int remaining_;
    int initialised_ = 0;
    bool ended_ = false;
    UINT tickMs_ = 1000;
    toolkit::CBexButton3 close_;
    toolkit::CBexButton4 execute_;
    toolkit::CBexTextWnd title_;
    toolkit::CBexTextWnd greeting_;
    toolkit::CBexImageWnd picture_;
    toolkit::CBexTextWnd eventLine_;
    toolkit::CBexTextWnd adviceLine_;
    toolkit::CBexTextWnd countdown_;
    toolkit::CBexTextWnd postpone_;
};

}  // namespace companion
