#include "settings/controls/ButtonImage.h"

namespace settings {

namespace {

constexpr COLORREF kDisabledText = 0x808080;

}  // namespace

TSkinButtonBase::TSkinButtonBase() {
    for (TQRGBA* image : {&normal_, &pass_, &press_, &disable_, &face_, &full_}) image->SetAlphaMode(amPremultiplied);
    font_ = MakeFont(fontSpec_);
}

void TSkinButtonBase::SetNormalBmp(const TQRGBA& image) {
    normal_.Assign(image);
    Invalidate();
}
void TSkinButtonBase::SetPassBmp(const TQRGBA& image) {
    pass_.Assign(image);
    Invalidate();
}
void TSkinButtonBase::SetPressBmp(const TQRGBA& image) {
    press_.Assign(image);
    Invalidate();
}
void TSkinButtonBase::SetDisableBmp(const TQRGBA& image) {
    disable_.Assign(image);
    Invalidate();
}

void TSkinButtonBase::SetFullBmp(const TQRGBA& image) {
    full_.Assign(image);
    SliceFullBmp(4);
}

void TSkinButtonBase::SliceFullBmp(int frameCount) {
    if (full_.Empty() || frameCount <= 0) return;
    const int width = StretchDraw ? full_.Width() / frameCount : Width();
    const int height = StretchDraw ? full_.Height() : Height();
    if (width <= 0 || height <= 0) return;
    TQRGBA* states[] = {&normal_, &pass_, &press_, &disable_};
    for (int n = 0; n < 4 && n < frameCount; ++n) {
        states[n]->SetAlphaMode(full_.AlphaMode());
        states[n]->SetSize(width, height);
        states[n]->CopyFrom(0, 0, height, width, 0, n * width, full_);
    }
    face_.Assign(normal_);
    Invalidate();
}

bool TSkinButtonBase::LoadStrip(const void* data, size_t size, int frameWidth, int frameHeight) {
    if (ClearsListOnLoad()) list_.Clear();
    list_.LoadStrip(data, size, frameWidth, amPremultiplied, frameHeight);
    if (list_.Count() < 1) return false;
    face_.Assign(*list_.Items(0));
    Invalidate();
    return true;
}

void TSkinButtonBase::SetCaptionLeftMargin(int margin) {
    captionLeftMargin_ = margin;
    Invalidate();
}

void TSkinButtonBase::SetCaptionTopMargin(int margin) {
    captionTopMargin_ = margin;
    Invalidate();
}

void TSkinButtonBase::SetFont(const TFontSpec& font) {
    fontSpec_ = font;
    font_ = MakeFont(font);
    Invalidate();
}

void TSkinButtonBase::ClearFace(COLORREF color) {
    switch (BlendKind) {
    case bkAlpha:
        face_.Fill(0, 0);
        break;
    case bkTransparent:
        if (color != clNone) face_.Fill(color, 255);
        break;
    case bkCopy:
        if (BackgroundColor != clNone) face_.Fill(BackgroundColor, 255);
        else if (color != clNone) face_.Fill(color, 255);
        break;
    }
}

void TSkinButtonBase::ShowState(const TQRGBA& state, bool clearFirst) {
    if (state.Empty()) return;
    if (face_.Width() != state.Width() || face_.Height() != state.Height()) {
        face_.SetAlphaMode(amPremultiplied);
        face_.SetSize(state.Width(), state.Height());
    }
    if (clearFirst) ClearFace(clNone);
    TImageDc dc(face_);
    if (dc) DrawRGBA(dc.Get(), 0, 0, state);
}

void TSkinButtonBase::StateChanged() {
    if (Enabled() != lastEnabled_) {
        lastEnabled_ = Enabled();
        EnabledChanged(lastEnabled_);
    }
    Invalidate();
}

void TSkinButtonBase::Click() {
    forms::TControl::Click();
    if (Action) Action();
}

bool TSkinButtonBase::Inside(POINT formPoint) const {
    const int x = formPoint.x - Bounds().left, y = formPoint.y - Bounds().top;
    return x > 0 && x < Width() && y > 0 && y < Height();
}

int PaintGlyph(HDC dc, const TSkinButtonBase& button, int dy) {
    const TQRGBA& glyph = button.BtnPicture;
    if (glyph.Empty()) return 0;
    const int y = (button.Height() - glyph.Height()) / 2 + dy;
    if (button.LayOut == blGlyphLeft) DrawRGBA(dc, 5, y, glyph);
    else if (button.LayOut == blGlyphRight) DrawRGBA(dc, button.Width() - glyph.Width() - 5, y, glyph);
    return glyph.Width();
}

// ------------------------------------------------------------ TButtonImage

void TButtonImage::SetStateOn(bool on) {
    if (!UseOnOff || on == stateOn_) return;
    stateOn_ = on;
    face_.Assign(on ? press_ : normal_);
    Invalidate();
}

void TButtonImage::MouseEnter() {
    if (Enabled()) ShowState(pass_);
    Invalidate();
    TSkinButtonBase::MouseEnter();
}

void TButtonImage::MouseLeave() {
    if (Enabled()) {
        ClearFace(clNone);
        if (UseOnOff && stateOn_) face_.Assign(press_);
        else ShowState(normal_);
        Invalidate();
    }
    TSkinButtonBase::MouseLeave();
}

void TButtonImage::MouseDown(POINT pt) {
    TSkinButtonBase::MouseDown(pt);
    if (!Enabled()) return;
    ShowState(press_);
    pressedFlag_ = true;
    Invalidate();
}

void TButtonImage::MouseUp(POINT pt) {
    if (Enabled()) {
        ShowState(Inside(pt) ? pass_ : normal_);
        Invalidate();
        pressedFlag_ = false;
    }
    TSkinButtonBase::MouseUp(pt);
}

void TButtonImage::EnabledChanged(bool enabled) {
    face_.Assign(enabled ? normal_ : disable_);
}

void TButtonImage::Paint(HDC target) {
    TControlCanvas canvas(target, Bounds());
    const HDC dc = canvas.Get();
    if (!face_.Empty()) {
        if (StretchDraw) StretchDrawRGBA(dc, 0, 0, 255, face_.Height(), face_.Width(), 0, 0, face_, Height(), Width());
        else DrawRGBA(dc, 0, 0, face_);
    }
    const int glyphWidth = PaintGlyph(dc, *this, 0);
    if (!ShowCaption || Caption().empty()) return;
    base::SelectObjectScope font(dc, Font());
    SIZE text{};
    ::GetTextExtentPoint32W(dc, Caption().c_str(), static_cast<int>(Caption().size()), &text);
    const int x = BtnPicture.Empty() ? (Width() - text.cx) / 2 : (glyphWidth + Width() - text.cx) / 2;
    RECT r{x, 0, Width(), Height()};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled() ? CaptionColor : kDisabledText);
    ::DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace settings
