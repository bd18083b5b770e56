#include "settings/controls/TabButton.h"

#include <cmath>

namespace settings {

TTabButton::TTabButton() {
    select_.SetAlphaMode(amPremultiplied);
    CaptionColor = 0xFFFFFF;
}

void TTabButton::SetSelectBmp(const TQRGBA& image) {
    select_.Assign(image);
    Invalidate();
}

void TTabButton::SetFullBmp(const TQRGBA& image) {
    TSkinButtonBase::SetFullBmp(image);
    select_.Assign(press_);
}

void TTabButton::SetSelected(bool selected) {
    selected_ = selected;
    ShowState(selected ? select_ : normal_, false);
    Invalidate();
}

void TTabButton::MouseEnter() {
    if (Enabled()) ShowState(selected_ ? select_ : pass_);
    Invalidate();
    TSkinButtonBase::MouseEnter();
}

void TTabButton::MouseLeave() {
    if (Enabled()) {
        ShowState(selected_ ? select_ : normal_);
        Invalidate();
    }
    TSkinButtonBase::MouseLeave();
}

void TTabButton::MouseDown(POINT pt) {
    TSkinButtonBase::MouseDown(pt);
    if (!Enabled()) return;
    ShowState(selected_ ? select_ : press_);
    pressedFlag_ = true;
    Invalidate();
}

void TTabButton::MouseUp(POINT pt) {
    if (Enabled()) {
        ShowState(selected_ ? select_ : Inside(pt) ? pass_ : normal_);
        pressedFlag_ = false;
        Invalidate();
    }
    TSkinButtonBase::MouseUp(pt);
}

void TTabButton::EnabledChanged(bool enabled) {
    face_.Assign(enabled ? (selected_ ? select_ : normal_) : disable_);
}

int TTabButton::LineHeight() {
    // Measured once, with the font the tab has at its first paint.
    if (lineHeight_ < 0) lineHeight_ = MeasureText(Font(), L"中").cy;
    return lineHeight_;
}

void TTabButton::Paint(HDC target) {
    TControlCanvas canvas(target, Bounds());
    const HDC dc = canvas.Get();
    if (!face_.Empty()) {
        if (StretchDraw) StretchDrawRGBA(dc, 0, 0, 255, face_.Height(), face_.Width(), 0, 0, face_, Height(), Width());
        else DrawRGBA(dc, 0, 0, face_);
    }
    PaintGlyph(dc, *this, pressedFlag_ ? 1 : 0);
    if (!ShowCaption || Caption().empty()) return;
    const int line = LineHeight();
    const int top = CaptionAlign == caBottom ? Height() - line - 6
                                             : static_cast<int>(std::nearbyint((Height() - line) / 2.0));
    RECT r{CaptionLeftMargin(), top, Width(), top + line};
    base::SelectObjectScope font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled() ? CaptionColor : 0x808080);
    ::DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace settings
