#include "settings/controls/CheckLabelButton.h"

namespace settings {

namespace {

constexpr COLORREF kDisabledText = 0x808080;

}  // namespace

TCheckLabelButton::TCheckLabelButton() {
    for (TQRGBA* image : {&check_, &uncheck_, &face_}) image->SetAlphaMode(amPremultiplied);
    UpdateFont();
}

void TCheckLabelButton::UpdateFont() {
    TFontSpec shape = fontSpec_;
    if (underline_) shape.Style |= fsUnderline;
    font_ = MakeFont(shape);
}

void TCheckLabelButton::SetFont(const TFontSpec& font) {
    fontSpec_ = font;
    UpdateFont();
    Invalidate();
}

void TCheckLabelButton::SetCaption(std::wstring caption) {
    forms::TControl::SetCaption(std::move(caption));
    if (!AutoSize) return;
    // Measured in the plain face at the font's height, as the size has
    // always been taken.
    TFontSpec plain;
    plain.Height = fontSpec_.Height;
    const base::Font measure = MakeFont(plain);
    const SIZE text = MeasureText(measure.Get(), Caption());
    const int width = check_.Empty() ? text.cx + 25 : text.cx + check_.Width() + 10;
    SetBounds(Bounds().left, Bounds().top, width, text.cy + 4);
}

void TCheckLabelButton::SetFontColor(COLORREF color) {
    fontColor_ = color;
    if (Enabled()) textColor_ = color;
    Invalidate();
}

void TCheckLabelButton::SetUnderLine(bool underline) {
    underline_ = underline;
    UpdateFont();
    Invalidate();
}

void TCheckLabelButton::SetCheckBmp(const TQRGBA& image) {
    check_.Assign(image);
    Invalidate();
}

void TCheckLabelButton::SetUnCheckBmp(const TQRGBA& image) {
    uncheck_.Assign(image);
    Invalidate();
}

bool TCheckLabelButton::LoadStrip(const void* data, size_t size, int frameWidth, int frameHeight) {
    list_.LoadStrip(data, size, frameWidth, amPremultiplied, frameHeight);
    if (list_.Count() < 1) return false;
    face_.Assign(*list_.Items(0));
    Invalidate();
    return true;
}

const TQRGBA& TCheckLabelButton::FrameOr(int index, int needed, const TQRGBA& plain) const {
    const TQRGBA* frame = list_.Count() >= needed ? list_.Items(index) : nullptr;
    return frame ? *frame : plain;
}

const TQRGBA& TCheckLabelButton::HoverLook() const {
    return checked_ ? FrameOr(5, 6, check_) : FrameOr(1, 2, uncheck_);
}

void TCheckLabelButton::Show(const TQRGBA& image) {
    face_.Assign(image);
    Invalidate();
}

void TCheckLabelButton::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Show(checked ? FrameOr(6, 7, check_) : FrameOr(2, 3, uncheck_));
}

void TCheckLabelButton::MouseEnter() {
    hover_ = true;
    if (Enabled() && ButtonType == btCheckBox) face_.Assign(HoverLook());
    Invalidate();
    forms::TControl::MouseEnter();
}

void TCheckLabelButton::MouseLeave() {
    hover_ = false;
    if (Enabled() && ButtonType == btCheckBox) face_.Assign(checked_ ? check_ : uncheck_);
    Invalidate();
    forms::TControl::MouseLeave();
}

void TCheckLabelButton::MouseDown(POINT pt) {
    if (ButtonType == btCheckBox) {
        if (hover_) Show(HoverLook());
        else Show(checked_ ? FrameOr(6, 7, check_) : FrameOr(2, 3, uncheck_));
    }
    forms::TControl::MouseDown(pt);
}

void TCheckLabelButton::MouseUp(POINT pt) {
    if (ButtonType == btCheckBox) {
        if (hover_) Show(HoverLook());
        else Show(checked_ ? check_ : uncheck_);
    }
    forms::TControl::MouseUp(pt);
}

void TCheckLabelButton::Click() {
    const bool next = ButtonType == btRatio ? true : !checked_;
    if (next != checked_) {
        SetChecked(next);
        changedByClick_ = true;
    }
    Invalidate();
    forms::TControl::Click();
}

void TCheckLabelButton::StateChanged() {
    if (Enabled() != lastEnabled_) {
        lastEnabled_ = Enabled();
        textColor_ = lastEnabled_ ? fontColor_ : kDisabledText;
    }
    Invalidate();
}

void TCheckLabelButton::Paint(HDC target) {
    TControlCanvas canvas(target, Bounds());
    const HDC dc = canvas.Get();
    RECT text{5, 1, Width(), Height()};
    if (!face_.Empty()) {
        DrawRGBA(dc, 2, (Height() - face_.Height()) / 2, face_);
        text.left = face_.Width() + 5;
    }
    base::SelectObjectScope font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, textColor_);
    ::DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace settings
