// Strips of skin pictures cut into equal frames, and the small drawing aids
// the skinned controls share: painting a windowless control in its own
// coordinates and fonts made from a name, a height and a style.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/controls/QAlpha.h"
#include "base/handles.h"

namespace settings {

class TQRGBAList {
public:
    TQRGBAList() = default;
    TQRGBAList(const TQRGBAList&) = delete;
    TQRGBAList& operator=(const TQRGBAList&) = delete;

    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0..Count-1.
    TQRGBA* Items(int index) const {
        return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
    }
    TQRGBA& Add();

    // Cuts `image` into frames appended in order: left to right when
    // `frameHeight` is the picture's height, else top to bottom when
    // `frameWidth` is its width; the last frame may be smaller. A frame size
    // of 0 or less in the cutting direction, or a picture that matches
    // neither size, adds nothing. Returns the number of frames added.
    int SliceStrip(const TQRGBA& image, int frameWidth, int frameHeight);
    // Decodes PNG data into a picture of `mode` and slices it.
    int LoadStrip(const void* data, size_t size, int frameWidth, TAlphaMode mode, int frameHeight);
    int LoadStrip(const std::string& data, int frameWidth, TAlphaMode mode, int frameHeight) {
        return LoadStrip(data.data(), data.size(), frameWidth, mode, frameHeight);
    }

private:
    std::vector<std::unique_ptr<TQRGBA>> items_;
};

// Paints in a control's own coordinates inside the form's buffer: the
// origin moves to the control's top-left corner and drawing is clipped to
// its bounds until the object goes.
class TControlCanvas {
public:
    TControlCanvas(HDC dc, const RECT& bounds);
    ~TControlCanvas();
    TControlCanvas(const TControlCanvas&) = delete;
    TControlCanvas& operator=(const TControlCanvas&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    int saved_;
};

enum TFontStyle : unsigned { fsNone = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFontSpec {
    std::wstring Name = L"Tahoma";
    int Height = -13;
    unsigned Style = fsNone;
    COLORREF Color = 0;
};

base::Font MakeFont(const TFontSpec& shape);
// Width and height of `text` on one line in `font`.
SIZE MeasureText(HFONT font, const std::wstring& text);

}  // namespace settings
