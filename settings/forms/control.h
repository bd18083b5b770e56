// Controls that live on a form. Most draw themselves into the form's buffer
// and own no window: the form hit-tests them with the position carried by
// each mouse message and hands them enter, leave, down, up and click. A
// windowed control wraps a real child window (an edit box, a list) so it can
// take part in the same tab order.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "winlib/window.h"

namespace settings::forms {

class TForm;

class TControl {
public:
    TControl() = default;
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    void SetBounds(int left, int top, int width, int height);
    const RECT& Bounds() const { return bounds_; }
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }

    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
    bool TabStop() const { return tabStop_; }
    // Position in the tab order; controls start in the order they were added.
    void SetTabOrder(int order) { tabOrder_ = order; }
    int TabOrder() const { return tabOrder_; }
    // Shown as a tip while the pointer rests on the control.
    void SetHint(std::wstring hint);
    const std::wstring& Hint() const { return hint_; }
    void SetCaption(std::wstring caption);
    const std::wstring& Caption() const { return caption_; }

    bool Hovered() const { return hovered_; }
    bool Pressed() const { return pressed_; }
    bool Focused() const;
    bool CanFocus() const;

    TForm* Form() const { return form_; }
    void Invalidate() const;

    // Null for windowless controls.
    virtual HWND Handle() const { return nullptr; }
    virtual bool HitTest(POINT pt) const { return ::PtInRect(&bounds_, pt) != FALSE; }
    virtual void Paint(HDC) {}
    // Messages a child window sends its parent about itself (colours,
    // notifications) come back to the control that owns the window; true
    // when it answered them.
    virtual bool ReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    std::function<void(TControl&)> OnClick;
    std::function<void(TControl&)> OnDblClick;
    std::function<void(TControl&)> OnMouseEnter;
    std::function<void(TControl&)> OnMouseLeave;
    std::function<void(TControl&, POINT)> OnMouseDown;
    std::function<void(TControl&, POINT)> OnMouseUp;
    std::function<void(TControl&, POINT)> OnMouseMove;

protected:
    // Overridable reactions; each calls its handler when one is set.
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseDown(POINT pt);
    virtual void MouseUp(POINT pt);
    virtual void Click();
    virtual void DblClick();
    // The pointer moved over the control (or anywhere while it is pressed);
    // `pt` is in the form's client coordinates.
    virtual void MouseMove(POINT pt);
    // Called once the control belongs to a form whose window exists.
    virtual void Attached() {}
    virtual void StateChanged() { Invalidate(); }

private:
    friend class TForm;

    TForm* form_ = nullptr;
    RECT bounds_{};
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = false;
    int tabOrder_ = 0;
    bool hovered_ = false;
    bool pressed_ = false;
    std::wstring hint_;
    std::wstring caption_;
};

// A plain push button drawn by the form: caption centred, a darker face
// while hovered or pressed, a dotted frame while focused. The skinned
// buttons replace its painting.
class TSimpleButton : public TControl {
public:
    TSimpleButton() { SetTabStop(true); }
    COLORREF FaceColor = RGB(240, 240, 240);
    COLORREF HotColor = RGB(220, 230, 240);
    COLORREF DownColor = RGB(200, 212, 225);
    COLORREF TextColor = RGB(87, 94, 99);
    bool Flat = false;  // no frame
    void Paint(HDC dc) override;
};

// A text drawn on the form.
class TLabel : public TControl {
public:
    COLORREF TextColor = RGB(87, 94, 99);
    UINT Format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    void Paint(HDC dc) override;
};

// A real child window created from a window class of the system or of the
// program, placed at the control's bounds.
class TWindowedControl : public TControl {
public:
    TWindowedControl(std::wstring className, DWORD style, DWORD exStyle = 0);
    ~TWindowedControl() override;
    HWND Handle() const override { return hwnd_; }
    bool HitTest(POINT) const override { return false; }  // it gets its own mouse input

protected:
    void Attached() override;
    void StateChanged() override;

private:
    std::wstring className_;
    DWORD style_;
    DWORD exStyle_;
    HWND hwnd_ = nullptr;
};

}  // namespace settings::forms

namespace settings::forms {

// A control that is a child window of a class of its own: the object is
// both the form's control and the window's message map. The window is
// created when the control meets its form's window and follows the
// control's bounds, visibility and enabled state.
class TWinControl : public TControl, public winlib::Window {
public:
    explicit TWinControl(std::wstring className, DWORD style = 0, DWORD exStyle = 0);
    ~TWinControl() override;
    HWND Handle() const override { return Hwnd(); }
    bool HitTest(POINT) const override { return false; }

protected:
    void Attached() override;
    void StateChanged() override;
    virtual winlib::WindowClassOptions ClassOptions() const;
    // The window exists.
    virtual void Created() {}

private:
    std::wstring className_;
    DWORD style_;
    DWORD exStyle_;
};

}  // namespace settings::forms
