#include "toolkit/bex_controls.h"

#include <algorithm>

namespace toolkit {

namespace {

// Text of the buttons and check boxes is in font 3 of the table.
HFONT ControlFont() { return BexFont(3); }

}  // namespace

// ---------------------------------------------------------------------------
// CBexImageWnd

void CBexImageWnd::ApplyBitmapTraits() {
    if (!bitmap_) return;
    bitmap_->Load();
    if (IsAutoSize() && Owner()) Owner()->SetWndSize(this, bitmap_->FrameWidth(), bitmap_->Height());
    SetFlag(kBexTransparent, bitmap_->HasAlpha());
}

void CBexImageWnd::SetBitmap(CBexBitmap* bitmap) {
    frame_ = 0;
    bitmap_ = bitmap;
    ApplyBitmapTraits();
    Redraw();
}

void CBexImageWnd::SetFrame(int frame) {
    if (frame_ == frame) return;
    frame_ = frame;
    Redraw();
}

void CBexImageWnd::OnCreate() { ApplyBitmapTraits(); }

void CBexImageWnd::Paint(HDC dc, int, int) { DrawImageFrame(bitmap_, dc, 0, 0, frame_); }

// ---------------------------------------------------------------------------
// Buttons

int CBexButtonBase::StateFrame() const {
    if (IsDisabled()) return 3;
    if (hover_ && pressed_) return 2;
    if (hover_) return 1;
    return 0;
}

LRESULT CBexButtonBase::OnLButtonDown(POINT) {
    if (!pressed_) {
        pressed_ = 1;
        Redraw();
        if (Owner()) Owner()->SetCapture(this);
    }
    return 1;
}

LRESULT CBexButtonBase::OnLButtonUp(POINT) {
    if (pressed_ && Owner()) Owner()->ReleaseCapture(this);
    return 1;
}

void CBexButtonBase::OnCaptureLost() {
    if (!pressed_) return;
    pressed_ = 0;
    Redraw();
    if (hover_ && Owner()) Owner()->SendCommand(this, 0, static_cast<WORD>(Id()));
}

void CBexButtonBase::OnMouseEnter(POINT) {
    if (hover_) return;
    hover_ = 1;
    Redraw();
}

void CBexButtonBase::OnMouseLeave() {
    if (!hover_) return;
    hover_ = 0;
    Redraw();
}

void CBexButton3::OnCreate() {
    SetFlag(kBexTransparent, true);
    hover_ = pressed_ = 0;
    if (strip_ && strip_->FrameWidth() && IsAutoSize() && Owner())
        Owner()->SetWndSize(this, strip_->FrameWidth(), strip_->Height());
}

void CBexButton3::SetStrip(CBexBitmap* strip) {
    strip_ = strip;
    if (strip_ && strip_->FrameWidth() && IsAutoSize() && Owner())
        Owner()->SetWndSize(this, strip_->FrameWidth(), strip_->Height());
    Redraw();
}

void CBexButton3::SetIcon(CBexBitmap* icon, int frame) {
    icon_ = icon;
    iconFrame_ = frame;
    Redraw();
}

void CBexButton3::Paint(HDC dc, int, int) {
    DrawImageFrame(strip_, dc, 0, 0, StateFrame());
    if (icon_) {
        const int x = (Width() - icon_->FrameWidth()) / 2;
        const int y = (Height() - icon_->Height()) / 2;
        DrawImageFrame(icon_, dc, x, y, iconFrame_);
    }
}

void CBexButton4::OnCreate() {
    SetFlag(kBexTransparent, true);
    hover_ = pressed_ = 0;
}

void CBexButton4::SetText(const wchar_t* text) {
    text_ = text ? text : L"";
    RecalcLayout();
}

void CBexButton4::SetIcon(CBexBitmap* icon, int frame) {
    icon_ = icon;
    iconFrame_ = frame;
    RecalcLayout();
}

void CBexButton4::SetBackground(CBexBitmap* background) {
    background_ = background;
    RecalcLayout();
}

void CBexButton4::RecalcLayout() {
    int content = 0;
    if (icon_) content += icon_->FrameWidth();
    if (!text_.empty()) content += MeasureText(ControlFont(), -1, text_.c_str(), nullptr);
    if (icon_ && !text_.empty()) content += 5;
    if (IsAutoSize() && background_) {
        const int width = std::max(content + 20, background_->FrameWidth());
        if (Owner()) Owner()->SetWndSize(this, width, background_->Height());
        contentOffset_ = (width - content) / 2;
    } else {
        contentOffset_ = (Width() - content) / 2;
    }
    Redraw();
}

void CBexButton4::Paint(HDC dc, int, int) {
    const int frame = StateFrame();
    int backgroundHeight = Height();
    if (background_) {
        background_->DrawFixed(dc, 0, 0, Width(), frame);
        backgroundHeight = background_->Height();
    }
    int x = contentOffset_;
    if (icon_) {
        DrawImageFrame(icon_, dc, x, (Height() - icon_->Height()) / 2, iconFrame_);
        x += icon_->FrameWidth() + 5;
    }
    if (text_.empty()) return;
    SIZE size{};
    MeasureText(ControlFont(), -1, text_.c_str(), &size);
    int y = (backgroundHeight - size.cy) / 2 - 1;
    if (pressed_) y += 1;
    base::SelectObjectScope font(dc, ControlFont());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, IsDisabled() ? RGB(0x66, 0x66, 0x66) : RGB(0, 0, 0));
    ::TextOutW(dc, x, y, text_.c_str(), static_cast<int>(text_.size()));
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

// ---------------------------------------------------------------------------
// CBexCheckBox

void CBexCheckBox::OnCreate() {
    hover_ = checked_ = pressed_ = 0;
    Layout();
}

void CBexCheckBox::SetStrip(CBexBitmap* strip) {
    strip_ = strip;
    Layout();
}

void CBexCheckBox::SetText(const wchar_t* text) {
    text_ = text ? text : L"";
    Layout();
}

void CBexCheckBox::Layout() {
    int width = strip_ ? strip_->FrameWidth() : 0;
    int height = strip_ ? strip_->Height() : 0;
    if (!text_.empty()) {
        SetFlag(kBexTransparent, true);
        SIZE size{};
        MeasureText(ControlFont(), -1, text_.c_str(), &size);
        width += size.cx + 5;
        height = std::max<int>(size.cy, height);
    } else {
        SetFlag(kBexTransparent, false);
    }
    if (IsAutoSize() && Owner()) Owner()->SetWndSize(this, width, height);
    Redraw();
}

void CBexCheckBox::SetCheck(int checked) {
    mixed_ = 0;
    checked_ = checked;
    Redraw();
}

void CBexCheckBox::SetMixed(int mixed) {
    mixed_ = mixed;
    Redraw();
}

int CBexCheckBox::StateFrame() const {
    if (mixed_ && !radio_) return 8;
    if (IsDisabled()) return checked_ ? 7 : 3;
    if (hover_) {
        if (checked_) return pressed_ ? 6 : 5;
        return pressed_ ? 2 : 1;
    }
    return checked_ ? 4 : 0;
}

void CBexCheckBox::Paint(HDC dc, int, int) {
    const int frame = StateFrame();
    if (text_.empty()) {
        DrawImageFrame(strip_, dc, 0, 0, frame);
        return;
    }
    const int stripWidth = strip_ ? strip_->FrameWidth() : 0;
    base::SelectObjectScope font(dc, ControlFont());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::TextOutW(dc, stripWidth + 5, 0, text_.c_str(), static_cast<int>(text_.size()));
    ::SetBkMode(dc, oldMode);
    DrawImageFrame(strip_, dc, 0, 1, frame);
}

LRESULT CBexCheckBox::OnLButtonDown(POINT) {
    if (!pressed_) {
        pressed_ = 1;
        Redraw();
        if (Owner()) Owner()->SetCapture(this);
    }
    return 1;
}

LRESULT CBexCheckBox::OnLButtonUp(POINT) {
    if (pressed_ && Owner()) Owner()->ReleaseCapture(this);
    return 1;
}

void CBexCheckBox::OnCaptureLost() {
    if (!pressed_) return;
    pressed_ = 0;
    if (hover_) {
        if (radio_) {
            checked_ = 1;
        } else if (mixed_) {
            checked_ = 1;
            mixed_ = 0;
        } else {
            checked_ = !checked_;
        }
    }
    Redraw();
    if (hover_ && Owner()) Owner()->SendCommand(this, 0, static_cast<WORD>(Id()));
}

void CBexCheckBox::OnMouseEnter(POINT) {
    if (hover_) return;
    hover_ = 1;
    Redraw();
}

void CBexCheckBox::OnMouseLeave() {
    if (!hover_) return;
    hover_ = 0;
    Redraw();
}

}  // namespace toolkit
