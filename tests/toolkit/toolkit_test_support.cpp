#include "toolkit_test_support.h"

#include <algorithm>
#include <cstring>

#include "base/dib_section.h"

using namespace toolkit;

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
    base::Brush brush(::CreateSolidBrush(background));
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
    base::Brush brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, brush.Get());
}

bool ProbeWnd::Has(const std::string& entry) const {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

base::Bitmap SolidStrip(const std::vector<COLORREF>& frames, int frameWidth, int height, int alpha) {
    const int width = frameWidth * static_cast<int>(frames.size());
    const bool withAlpha = alpha >= 0;
    void* bits = nullptr;
    base::Bitmap bitmap = base::CreateTopDownDib(width, height, withAlpha ? 32 : 24, &bits);
    if (!bitmap) return bitmap;
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
    return bitmap;
}

}  // namespace toolkit_test
