#include "base/dib_section.h"

namespace base {

winlib::Bitmap CreateTopDownDib(int width, int height, WORD bitsPerPixel, void** bits) {
    if (bits) *bits = nullptr;
    // A negative height would silently turn the rows bottom-up.
    if (width <= 0 || height <= 0) return winlib::Bitmap();
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;  // rows run top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = bitsPerPixel;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    winlib::Bitmap bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) return winlib::Bitmap();
    if (bits) *bits = pixels;
    return bitmap;
}

}  // namespace base
