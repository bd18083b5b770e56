// A clock drawn with digit pictures: a text such as "01:25:09" or "-00:10"
// shown glyph by glyph from one strip of eleven or twelve frames.
#pragma once

#include <windows.h>

#include <string>

#include "settings/controls/QAlpha.h"
#include "settings/controls/QGraphics.h"
#include "settings/forms/control.h"

namespace settings {

class TGraphicTime : public forms::TControl {
public:
    TGraphicTime();

    // Frame order 1..9, 0, ":" and, in a strip of exactly twelve, "-".
    bool LoadStrip(const void* data, size_t size, int itemWidth, int itemHeight);
    bool LoadStrip(const std::string& data, int itemWidth, int itemHeight) {
        return LoadStrip(data.data(), data.size(), itemWidth, itemHeight);
    }
    // Repaints and sizes the clock when the text changes.
    void SetCaption(std::wstring caption);
    void SetAutoSize(bool on);
    bool AutoSize() const { return autoSize_; }

    const TQRGBA& NoBmp(int digit) const { return digits_[digit >= 0 && digit <= 9 ? digit : 0]; }
    const TQRGBA& SingnalBmp() const { return signal_; }
    const TQRGBA& MathBmp() const { return math_; }
    TQRGBA BGBmp;
    COLORREF TransparentColor = 0xFFFFFF;
    const TQRGBAList& RGBAList() const { return list_; }
    int ItemHeight() const { return itemHeight_; }
    int ItemWidth() const { return itemWidth_; }
    // The picture a character is drawn with: ":" and "-" their glyphs, a
    // digit its digit, anything else the "0".
    const TQRGBA& GlyphFor(wchar_t c) const;

    void Paint(HDC dc) override;

private:
    void Layout();

    TQRGBA digits_[10];
    TQRGBA signal_, math_;
    TQRGBAList list_;
    int itemHeight_ = 0;
    int itemWidth_ = 0;
    bool autoSize_ = false;
};

}  // namespace settings
