#include "tests/support/pixel_surface.h"

#include "base/dib_section.h"

namespace testsupport {

PixelSurface::PixelSurface(int cx, int cy) : cx_(cx), cy_(cy) { Allocate(); }

PixelSurface::PixelSurface(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    cx_ = rc.right;
    cy_ = rc.bottom;
    Allocate();
    Print(hwnd);
}

void PixelSurface::Allocate() {
    void* bits = nullptr;
    bitmap_ = base::CreateTopDownDib(cx_, cy_, 32, &bits);
    bits_ = static_cast<DWORD*>(bits);
    dc_ = ::CreateCompatibleDC(nullptr);
    old_ = ::SelectObject(dc_, bitmap_.Get());
}

PixelSurface::~PixelSurface() {
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
}

void PixelSurface::Print(HWND hwnd) {
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    ::GdiFlush();
}

void PixelSurface::CopyScreen(int left, int top) {
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(dc_, 0, 0, cx_, cy_, screen, left, top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    ::GdiFlush();
}

void PixelSurface::Fill(COLORREF color) {
    RECT rc{0, 0, cx_, cy_};
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(dc_, &rc, brush);
    ::DeleteObject(brush);
    ::GdiFlush();
}

DWORD PixelSurface::Raw(int x, int y) const {
    ::GdiFlush();
    if (!bits_ || x < 0 || y < 0 || x >= cx_ || y >= cy_) return 0xFFFFFFFF;
    return bits_[y * cx_ + x];
}

uint32_t PixelSurface::Rgb(int x, int y) const {
    const DWORD p = Raw(x, y);
    return p == 0xFFFFFFFF ? p : (p & 0xFFFFFF);
}

COLORREF PixelSurface::At(int x, int y) const {
    const DWORD p = Raw(x, y);
    if (p == 0xFFFFFFFF) return p;
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ::ClientToScreen(hwnd, &pt);
    HDC screen = ::GetDC(nullptr);
    const COLORREF px = ::GetPixel(screen, pt.x, pt.y);
    ::ReleaseDC(nullptr, screen);
    return px;
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    HDC dc = ::GetDC(hwnd);
    const COLORREF px = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return px;
}

}  // namespace testsupport
