// A top-level form of the settings program: a window of an exact, given
// class name that owns windowless controls, paints through an off-screen
// buffer, keeps timers by id, moves the focus with the dialog keys and can
// run modally.
//
//   class TFormX : public forms::TForm {
//   public:
//       TFormX() : TForm(Params()) {}
//       WL_BEGIN_MSG_MAP()
//           WL_MESSAGE_HANDLER(WM_MY_MESSAGE, OnMine)
//           WL_CHAIN_MSG_MAP(forms::TForm)
//       WL_END_MSG_MAP()
//   protected:
//       void FormCreate() override {
//           auto& ok = Add<forms::TSimpleButton>(10, 10, 60, 23);
//           ok.OnClick = [this](forms::TControl&) { SetModalResult(IDOK); };
//           SetTimer(1, 500, [this] { Tick(); });
//       }
//   };
//   TFormX form; form.CreateForm(owner); form.ShowModal();
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "settings/forms/control.h"
#include "winlib/app_module.h"
#include "base/handles.h"
#include "winlib/window.h"

namespace settings::forms {

struct FormParams {
    std::wstring ClassName;
    std::wstring Caption;
    int ClientWidth = 320;
    int ClientHeight = 240;
    // Borderless by default: these forms draw their own frame.
    DWORD Style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    DWORD ExStyle = 0;
    bool CenterOnScreen = true;
    COLORREF Color = RGB(255, 255, 255);
    int FontHeight = -12;
    std::wstring FontName;  // empty: the interface font
};

class TForm : public winlib::Window {
public:
    explicit TForm(FormParams params);
    ~TForm() override;

    // Creates the window hidden, owned by `owner` (the application window
    // for the main form, so the form itself gets no taskbar button).
    bool CreateForm(HWND owner);
    void Show();
    void Hide();
    // A modal form ends its loop with IDCANCEL; any other form is destroyed
    // when CloseQuery agrees.
    void Close();

    // Runs until SetModalResult gets a nonzero value or the form is closed;
    // every other window of the thread is disabled meanwhile. Returns the
    // result, IDCANCEL when the loop saw WM_QUIT (which it passes on), -1
    // when the form has no window.
    int ShowModal();
    void SetModalResult(int result) { modalResult_ = result; }

    template <typename T, typename... Args>
    T& Add(int left, int top, int width, int height, Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *control;
        control->SetBounds(left, top, width, height);
        AddControl(std::move(control));
        return ref;
    }
    TControl& AddControl(std::unique_ptr<TControl> control);
    const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }
    // The topmost visible windowless control under `pt` (client coordinates).
    TControl* ControlAt(POINT pt) const;

    // Timers by id; setting an id again replaces its interval and handler.
    bool SetTimer(UINT_PTR id, UINT intervalMs, std::function<void()> handler);
    void KillTimer(UINT_PTR id);
    bool TimerActive(UINT_PTR id) const { return timers_.count(id) != 0; }

    // The form's one tip window: it shows the hint of the control under the
    // pointer and follows a hint that changes meanwhile.
    HWND Tooltip() const { return tooltip_; }
    void HintChanged(TControl& control);

    TControl* FocusedControl() const;
    void FocusControl(TControl* control);
    // Moves the focus to the next (or previous) focusable control in tab
    // order, wrapping around; false when there is none.
    bool SelectNext(bool forward);

    HFONT Font() const { return font_.Get(); }
    COLORREF Color() const { return params_.Color; }
    void SetClientSize(int width, int height);
    const FormParams& Params() const { return params_; }

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
        WL_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        WL_MESSAGE_HANDLER(WM_PAINT, OnPaint)
        WL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
        WL_MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        WL_MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        WL_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        WL_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        WL_MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        WL_MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        WL_MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChange)
        WL_MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChange)
        WL_MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        WL_MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnReflect)
        WL_MESSAGE_HANDLER(WM_CTLCOLORLISTBOX, OnReflect)
        WL_MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnReflect)
        WL_MESSAGE_HANDLER(WM_COMMAND, OnReflect)
    WL_END_MSG_MAP()

protected:
    // The window exists; add the controls here.
    virtual void FormCreate() {}
    virtual void FormDestroy() {}
    // Draws the background into the buffer; controls are drawn on top.
    virtual void FormPaint(HDC dc, const RECT& client);
    virtual bool CloseQuery() { return true; }
    // A left button press on no control.
    virtual void FormMouseDown(POINT) {}
    // Sees every key press meant for the form or one of its children before
    // it is translated; true swallows it. Tab and Shift+Tab move the focus,
    // Enter and Space click a focused windowless control, Escape ends a
    // modal form. A form that wants a key for one of its controls (a Tab
    // inside a text box) takes it out here.
    virtual bool DialogKey(UINT key, bool shift);

private:
    class DialogKeyFilter : public winlib::IMessageFilter {
    public:
        explicit DialogKeyFilter(TForm& form) : form_(form) {}
        bool PreTranslateMessage(MSG* msg) override;

    private:
        TForm& form_;
    };

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTALLKEYS; }
    LRESULT OnReflect(UINT, WPARAM, LPARAM, BOOL&);

    void SetHovered(TControl* control);
    void ReleasePressed();
    std::vector<TControl*> TabOrderList() const;
    void CreateFont();
    void CreateTooltip();
    // The tool of a windowed control, or (null) the one tool that follows
    // the hovered windowless control.
    void SetTool(TControl* windowed, UINT message);

    FormParams params_;
    std::vector<std::unique_ptr<TControl>> controls_;
    std::map<UINT_PTR, std::function<void()>> timers_;
    TControl* hovered_ = nullptr;
    TControl* pressed_ = nullptr;
    TControl* focused_ = nullptr;
    bool trackingLeave_ = false;
    bool filtering_ = false;
    bool modal_ = false;
    int modalResult_ = 0;
    base::Font font_;
    HWND tooltip_ = nullptr;  // owned by the form's window, destroyed with it
    DialogKeyFilter filter_{*this};
};

}  // namespace settings::forms
