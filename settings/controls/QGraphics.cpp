#include "settings/controls/QGraphics.h"

#include <algorithm>

namespace settings {

TQRGBA& TQRGBAList::Add() {
    items_.push_back(std::make_unique<TQRGBA>());
    return *items_.back();
}

int TQRGBAList::SliceStrip(const TQRGBA& image, int frameWidth, int frameHeight) {
    if (image.Empty()) return 0;
    const bool across = frameHeight == image.Height();
    if (!across && frameWidth != image.Width()) return 0;
    const int step = across ? frameWidth : frameHeight;
    const int length = across ? image.Width() : image.Height();
    if (step <= 0) return 0;
    int added = 0;
    for (int at = 0; at < length; at += step) {
        const int size = std::min(step, length - at);
        TQRGBA& frame = Add();
        frame.SetAlphaMode(image.AlphaMode());
        if (across) frame.CopyFrom(0, 0, image.Height(), size, 0, at, image);
        else frame.CopyFrom(0, 0, size, image.Width(), at, 0, image);
        ++added;
    }
    return added;
}

int TQRGBAList::LoadStrip(const void* data, size_t size, int frameWidth, TAlphaMode mode, int frameHeight) {
    TPngData png;
    if (!DecodePng(data, size, png)) return 0;
    TQRGBA strip;
    strip.SetAlphaMode(mode);
    PngToRGBA(png, strip);
    return SliceStrip(strip, frameWidth, frameHeight);
}

TControlCanvas::TControlCanvas(HDC dc, const RECT& bounds) : dc_(dc), saved_(::SaveDC(dc)) {
    POINT old{};
    ::GetViewportOrgEx(dc, &old);
    ::SetViewportOrgEx(dc, old.x + bounds.left, old.y + bounds.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

TControlCanvas::~TControlCanvas() {
    if (saved_) ::RestoreDC(dc_, saved_);
}

base::Font MakeFont(const TFontSpec& shape) {
    LOGFONTW lf{};
    lf.lfHeight = shape.Height;
    lf.lfWeight = (shape.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (shape.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (shape.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (shape.Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, shape.Name.c_str(), LF_FACESIZE);
    return base::Font(::CreateFontIndirectW(&lf));
}

SIZE MeasureText(HFONT font, const std::wstring& text) {
    SIZE size{0, 0};
    base::MemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return size;
    base::SelectObjectScope select(dc.Get(), font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    if (text.empty()) {
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc.Get(), &tm);
        size.cy = tm.tmHeight;
        return size;
    }
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace settings
