#include "settings/controls/GraphicTime.h"

namespace settings {

TGraphicTime::TGraphicTime() {
    for (TQRGBA& d : digits_) d.SetAlphaMode(amPremultiplied);
    signal_.SetAlphaMode(amPremultiplied);
    math_.SetAlphaMode(amPremultiplied);
}

bool TGraphicTime::LoadStrip(const void* data, size_t size, int itemWidth, int itemHeight) {
    list_.Clear();
    list_.LoadStrip(data, size, itemWidth, amPremultiplied, itemHeight);
    itemHeight_ = itemHeight;
    itemWidth_ = itemWidth;
    if (list_.Count() >= 11) {
        for (int n = 0; n < 9; ++n) digits_[n + 1].Assign(*list_.Items(n));
        digits_[0].Assign(*list_.Items(9));
        signal_.Assign(*list_.Items(10));
        if (list_.Count() == 12) math_.Assign(*list_.Items(11));
    }
    Layout();
    Invalidate();
    return list_.Count() >= 11;
}

const TQRGBA& TGraphicTime::GlyphFor(wchar_t c) const {
    if (c == L':') return signal_;
    if (c == L'-') return math_;
    if (c >= L'0' && c <= L'9') return digits_[c - L'0'];
    return digits_[0];
}

void TGraphicTime::SetCaption(std::wstring caption) {
    if (caption == Caption()) return;
    forms::TControl::SetCaption(std::move(caption));
    Layout();
    Invalidate();
}

void TGraphicTime::SetAutoSize(bool on) {
    autoSize_ = on;
    Layout();
}

// The size is settled whenever the text or the glyphs change, never while
// painting: a paint that resized its own control would invalidate itself.
void TGraphicTime::Layout() {
    if (Caption().empty()) return;
    int width = Width(), height = Height();
    if (autoSize_) {
        width = static_cast<int>(Caption().size()) * itemWidth_;
        height = itemHeight_;
    }
    for (wchar_t c : Caption()) {
        const TQRGBA& glyph = GlyphFor(c);
        if (!glyph.Empty()) height = glyph.Height();
    }
    if (width != Width() || height != Height()) SetBounds(Bounds().left, Bounds().top, width, height);
}

void TGraphicTime::Paint(HDC target) {
    if (Caption().empty()) return;
    TControlCanvas canvas(target, Bounds());
    int x = 0;
    for (wchar_t c : Caption()) {
        const TQRGBA& glyph = GlyphFor(c);
        if (glyph.Empty()) continue;
        DrawRGBA(canvas.Get(), x, 0, glyph);
        x += glyph.Width();
    }
}

}  // namespace settings
