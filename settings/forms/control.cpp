#include "settings/forms/control.h"

#include "settings/forms/form.h"
#include "winlib/app_module.h"

namespace settings::forms {

void TControl::SetBounds(int left, int top, int width, int height) {
    Invalidate();
    bounds_ = RECT{left, top, left + width, top + height};
    StateChanged();
}

void TControl::SetVisible(bool visible) {
    if (visible_ == visible) return;
    Invalidate();
    visible_ = visible;
    StateChanged();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    StateChanged();
}

void TControl::SetHint(std::wstring hint) {
    if (hint == hint_) return;
    hint_ = std::move(hint);
    if (form_) form_->HintChanged(*this);
}

void TControl::SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    StateChanged();
}

bool TControl::Focused() const {
    return form_ && form_->FocusedControl() == this;
}

bool TControl::CanFocus() const {
    if (!form_ || !visible_ || !enabled_ || !tabStop_) return false;
    if (HWND h = Handle()) return ::IsWindowVisible(h) && ::IsWindowEnabled(h);
    return true;
}

void TControl::Invalidate() const {
    if (form_ && form_->Hwnd() && !Handle()) ::InvalidateRect(form_->Hwnd(), &bounds_, FALSE);
}

void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(*this);
}
void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(*this);
}
void TControl::MouseDown(POINT pt) {
    if (OnMouseDown) OnMouseDown(*this, pt);
}
void TControl::MouseUp(POINT pt) {
    if (OnMouseUp) OnMouseUp(*this, pt);
}
void TControl::Click() {
    if (OnClick) OnClick(*this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}
void TControl::MouseMove(POINT pt) {
    if (OnMouseMove) OnMouseMove(*this, pt);
}

void TSimpleButton::Paint(HDC dc) {
    const RECT& r = Bounds();
    const COLORREF face = !Enabled() ? FaceColor : Pressed() ? DownColor : Hovered() ? HotColor : FaceColor;
    base::Brush brush(::CreateSolidBrush(face));
    ::FillRect(dc, &r, brush.Get());
    if (!Flat) {
        base::Brush frame(::CreateSolidBrush(RGB(184, 194, 200)));
        ::FrameRect(dc, &r, frame.Get());
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled() ? TextColor : RGB(128, 128, 128));
    RECT text = r;
    ::DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (Focused()) {
        RECT focus = r;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
}

void TLabel::Paint(HDC dc) {
    RECT r = Bounds();
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled() ? TextColor : RGB(128, 128, 128));
    ::DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &r, Format);
}

TWindowedControl::TWindowedControl(std::wstring className, DWORD style, DWORD exStyle)
    : className_(std::move(className)), style_(style), exStyle_(exStyle) {}

TWindowedControl::~TWindowedControl() {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

void TWindowedControl::Attached() {
    if (hwnd_ || !Form() || !Form()->Hwnd()) return;
    const RECT& r = Bounds();
    const DWORD style = style_ | WS_CHILD | (Visible() ? WS_VISIBLE : 0) | (TabStop() ? WS_TABSTOP : 0) |
                        (Enabled() ? 0 : WS_DISABLED);
    hwnd_ = ::CreateWindowExW(exStyle_, className_.c_str(), Caption().c_str(), style, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, Form()->Hwnd(), nullptr,
                              winlib::Module().Instance(), nullptr);
    if (hwnd_ && Form()->Font()) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Form()->Font()), FALSE);
}

void TWindowedControl::StateChanged() {
    if (!hwnd_ || !::IsWindow(hwnd_)) return;
    const RECT& r = Bounds();
    ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ::EnableWindow(hwnd_, Enabled());
    ::ShowWindow(hwnd_, Visible() ? SW_SHOWNA : SW_HIDE);
}

}  // namespace settings::forms

namespace settings::forms {

TWinControl::TWinControl(std::wstring className, DWORD style, DWORD exStyle)
    : className_(std::move(className)), style_(style), exStyle_(exStyle) {}

TWinControl::~TWinControl() {
    if (IsWindow()) DestroyWindow();
}

winlib::WindowClassOptions TWinControl::ClassOptions() const {
    return winlib::WindowClassOptions();
}

void TWinControl::Attached() {
    if (Hwnd() || !Form() || !Form()->Hwnd()) return;
    const RECT r = Bounds();
    const DWORD style = style_ | WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0) |
                        (TabStop() ? WS_TABSTOP : 0) | (Enabled() ? 0 : WS_DISABLED);
    if (!Create(className_.c_str(), Form()->Hwnd(), &r, L"", style, exStyle_, nullptr, ClassOptions())) return;
    if (Form()->Font()) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(Form()->Font()), FALSE);
    Created();
}

void TWinControl::StateChanged() {
    if (!IsWindow()) return;
    const RECT& r = Bounds();
    RECT now{};
    ::GetWindowRect(Hwnd(), &now);
    ::MapWindowPoints(nullptr, ::GetParent(Hwnd()), reinterpret_cast<POINT*>(&now), 2);
    if (!::EqualRect(&now, &r)) ::MoveWindow(Hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    if ((::IsWindowEnabled(Hwnd()) != FALSE) != Enabled()) ::EnableWindow(Hwnd(), Enabled());
    if (((::GetWindowLongW(Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0) != Visible()) ShowWindow(Visible() ? SW_SHOWNA : SW_HIDE);
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

}  // namespace settings::forms
