// A 32-bit top-down DIB section with its own memory DC: controls paint into
// it (directly or through WM_PRINTCLIENT) and the test reads pixels back.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/handles.h"

namespace testsupport {

class PixelSurface {
public:
    PixelSurface(int cx, int cy);
    // Sized to the client area of `hwnd`, which has painted itself into it.
    explicit PixelSurface(HWND hwnd);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return cx_; }
    int Height() const { return cy_; }
    const DWORD* Bits() const { return bits_; }

    // The window paints its client area into the surface.
    void Print(HWND hwnd);
    // What the screen shows from (left, top), the surface's size of it.
    void CopyScreen(int left, int top);
    void Fill(COLORREF color);

    // 0xAARRGGBB as stored; 0xFFFFFFFF outside the surface.
    DWORD Raw(int x, int y) const;
    // A COLORREF (RGB(), alpha dropped); 0xFFFFFFFF outside.
    COLORREF At(int x, int y) const;
    // 0x00RRGGBB, the DIB's own order (alpha dropped); 0xFFFFFFFF outside.
    uint32_t Rgb(int x, int y) const;
    int Alpha(int x, int y) const { return static_cast<int>(Raw(x, y) >> 24); }

private:
    void Allocate();

    int cx_ = 0, cy_ = 0;
    HDC dc_ = nullptr;
    base::Bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    DWORD* bits_ = nullptr;
};

// What the screen shows at a point of `hwnd`'s client area: the window's
// paint as it really reached the display.
COLORREF ScreenPixel(HWND hwnd, int x, int y);
// A pixel of `hwnd`'s client area as its own DC reads it.
COLORREF ClientPixel(HWND hwnd, int x, int y);

}  // namespace testsupport
