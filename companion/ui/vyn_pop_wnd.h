// The mascot's navigation pop-up: one round button window per "vynpop"
// entry, fading in around the mascot, with a hover picture in a window of
// its own. A click starts the button's program (the settings program on one
// of its pages) and asks the mascot to close the pop-up.
//
// The windows are created once, the first time the pop-up opens, and from
// then on only hidden and shown.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "companion/ui/corvalle_skin.h"
#include "protocol/window_messages.h"
#include "companion/ui/pop_buttons.h"
#include "toolkit/bex_bitmap.h"
#include "toolkit/bex_wnd_manager.h"
#include "winlib/window.h"

namespace companion {

class CStatistics;

// The hover picture beside a button.
class CVynPopTipWnd : public winlib::Window, public toolkit::CBexWndManager {
public:
    static constexpr const wchar_t* kClassName = L"CorvalleVynPopTip";

    explicit CVynPopTipWnd(const std::wstring& picturePath);
    ~CVynPopTipWnd() override;

    using winlib::Window::PostMessage;
    using winlib::Window::SendMessage;

    // Creates the window hidden, owned by its button.
    bool Create(HWND owner);
    // Shows the picture with its top-left at (x, y) without activating;
    // nothing when the picture could not be loaded.
    void ShowAt(int x, int y);
    void Hide();
    bool HasPicture() const { return hasPicture_; }

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
    WL_END_MSG_MAP()

    // The picture reaches the screen through UpdateLayeredWindow only.
    void DrawBackground(HDC, const RECT*) override {}

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&) { return MA_NOACTIVATE; }
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);

    toolkit::CBexBitmap picture_;
    bool hasPicture_ = false;
};

class CVynPopWnd : public winlib::Window, public toolkit::CBexWndManager {
public:
    static constexpr const wchar_t* kClassName = L"CorvalleVynPop";
    static constexpr UINT_PTR kHoverTimer = 10025;
    static constexpr UINT kHoverPeriodMs = 50;
    static constexpr UINT_PTR kFadeTimer = 10026;
    static constexpr UINT kFadePeriodMs = 3;
    static constexpr int kFadeStep = 10;
    static constexpr int kStripFrames = 3;  // normal, hover, pressed

    explicit CVynPopWnd(const PopButton& button);
    ~CVynPopWnd() override;

    // Messages to this window (not the manager's routes to its host).
    using winlib::Window::PostMessage;
    using winlib::Window::SendMessage;

    // Creates the button owned by the mascot window `owner` (which also gets
    // WM_CLOSE_NAVIGATION after a click) and shows it beside the owner with
    // its fade-in. False when the window cannot be made.
    bool Create(HWND owner);
    // With `show`: puts the button at the mascot's top-left plus its offsets
    // and fades it in. Without: as HideButton.
    void ShowButton(bool show, int mascotLeft, int mascotTop);
    // Stops the hover and fade timers, lets go of a press, hides the button
    // and its hover picture.
    void HideButton();

    // The statistics object the clicks report to (the process-wide one
    // unless set; tests give one bound to a stand-in library).
    void SetStatistics(CStatistics* statistics) { statistics_ = statistics; }

    // The skin resource of the strip the picture name selects.
    static UINT StripResourceFor(const std::wstring& picturePath);

    // State, for the mascot window and for tests.
    const PopButton& Button() const { return button_; }
    CVynPopTipWnd* TipWnd() const { return tip_.get(); }
    HWND TipHwnd() const { return tip_ ? tip_->Hwnd() : nullptr; }
    bool Hovered() const { return hovered_ != 0; }
    bool HoverShown() const { return hoverShown_ != 0; }
    bool Pressed() const { return pressed_; }
    bool Fading() const { return fading_; }
    // The frame and constant alpha last put on the screen (-1: none yet).
    int LastFrame() const { return lastFrame_; }
    int LastAlpha() const { return lastAlpha_; }

    WL_BEGIN_MSG_MAP()
        // The manager takes every move that hits none of its controls, and
        // this window has none: the moves are ours first.
        WL_MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        WL_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        WL_MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        WL_MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        WL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
        WL_MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        WL_MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
        WL_MESSAGE_HANDLER(WM_MOVE_NAVIGATION, OnMoveNavigation)
        WL_MESSAGE_HANDLER(WM_SIZE, OnSize)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
    WL_END_MSG_MAP()

    void DrawBackground(HDC, const RECT*) override {}

private:
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL&) { return MA_NOACTIVATE; }
    LRESULT OnMoveNavigation(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);

    void DrawFrame(int frame, int alpha);
    void FadeStep();
    void HoverCheck();
    void ShowHover();
    void HideHover();
    void Click();
    bool CursorInside() const;
    HWND Mascot() const;

    PopButton button_;
    toolkit::CBexBitmap* strip_ = nullptr;  // of the skin set, not owned
    std::unique_ptr<CVynPopTipWnd> tip_;
    CStatistics* statistics_ = nullptr;
    int fadeAlpha_ = 0;
    BYTE hovered_ = 0;
    BYTE hoverShown_ = 0;
    bool pressed_ = false;
    bool fading_ = false;
    int lastFrame_ = -1;
    int lastAlpha_ = -1;
};

// The statistics event of a navigation click on the settings page
// `parameters`; empty for other parameters (nothing is sent).
std::wstring NavigationStatistic(const std::wstring& parameters);

}  // namespace companion
