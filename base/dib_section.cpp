#include "base/dib_section.h"

namespace base {

base::Bitmap CreateTopDownDib(int width, int height, WORD bitsPerPixel, void** bits) {
    if (bits) *bits = nullptr;
    // A negative height would silently turn the rows bottom-up.
    if (width <= 0 || height <= 0) return base::Bitmap();
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;  // rows run top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = bitsPerPixel;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    base::Bitmap bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) return base::Bitmap();
    if (bits) *bits = pixels;
    return bitmap;
}

}  // namespace base
