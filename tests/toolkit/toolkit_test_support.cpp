#include "toolkit_test_support.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace toolkit_test {

bool TestHost::Open(int cx, int cy, int x, int y) {
    RECT rc{x, y, x + cx, y + cy};
    winlib::WindowClassOptions options;
    options.style = CS_DBLCLKS;
    return Create(L"BexToolkitTestHost", nullptr, &rc, L"toolkit test", WS_POPUP | WS_VISIBLE,
                  WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, options) != nullptr;
}

void TestHost::DrawBackground(HDC dc, const RECT* rect) {
    RECT area{};
    if (rect) {
        area = *rect;
    } else {
        ::GetClipBox(dc, &area);
    }
    winlib::Brush brush(::CreateSolidBrush(background));
    ::FillRect(dc, &area, brush.Get());
}

void ProbeWnd::Paint(HDC dc, int, int) {
    ++paints;
    RECT rc{0, 0, Width(), Height()};
    if (squareOnly) {
        rc.left = (Width() - squareOnly) / 2;
        rc.top = (Height() - squareOnly) / 2;
        rc.right = rc.left + squareOnly;
        rc.bottom = rc.top + squareOnly;
    }
    winlib::Brush brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, brush.Get());
}

bool ProbeWnd::Has(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

winlib::Bitmap SolidStrip(const std::vector<COLORREF>& frames, int frameWidth, int height, int alpha) {
    const int width = frameWidth * static_cast<int>(frames.size());
    const bool withAlpha = alpha >= 0;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = withAlpha ? 32 : 24;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return winlib::Bitmap();
    auto* bytes = static_cast<unsigned char*>(bits);
    const int stride = withAlpha ? width * 4 : (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = frames[x / frameWidth];
            unsigned char* p = bytes + y * stride + x * (withAlpha ? 4 : 3);
            const int a = withAlpha ? alpha : 255;
            p[0] = static_cast<unsigned char>(GetBValue(c) * a / 255);
            p[1] = static_cast<unsigned char>(GetGValue(c) * a / 255);
            p[2] = static_cast<unsigned char>(GetRValue(c) * a / 255);
            if (withAlpha) p[3] = static_cast<unsigned char>(a);
        }
    }
    return winlib::Bitmap(bitmap);
}

namespace {

void WriteToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void NoFlush(png_structp) {}

}  // namespace

std::string EncodePng(const PngSpec& shape) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, &WriteToString, &NoFlush);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bitDepth, shape.colorType,
                 shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < shape.palette.size(); i += 3)
        palette.push_back(png_color{shape.palette[i], shape.palette[i + 1], shape.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!shape.trnsAlpha.empty())
        png_set_tRNS(png, info, const_cast<png_bytep>(shape.trnsAlpha.data()),
                     static_cast<int>(shape.trnsAlpha.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(shape.height);
    for (int y = 0; y < shape.height; ++y)
        rows[y] = const_cast<png_bytep>(shape.samples.data()) + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace toolkit_test
