// Helpers of the skinned-control tests: PNG data made in memory, strips of
// frames in distinct colours, a plain form to put controls on, and reading
// back what a control painted.
#pragma once

#include <windows.h>

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "settings/controls/QAlpha.h"
#include "settings/forms/form.h"
#include "tests/settings/test_support.h"
#include "tests/support/pixel_surface.h"

namespace skintest {

using namespace settings;

// RGBA bytes (straight alpha) to a PNG of colour type 6, or type 2 when
// `opaque` (the alpha bytes are then dropped).
inline std::string MakePng(int width, int height, const std::vector<uint8_t>& rgba, bool opaque = false) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels = rgba;
    if (opaque) {
        image.format = PNG_FORMAT_RGB;
        pixels.clear();
        for (size_t i = 0; i + 3 < rgba.size(); i += 4) pixels.insert(pixels.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return std::string();
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&image, &out[0], &size, 0, pixels.data(), 0, nullptr)) return std::string();
    out.resize(size);
    return out;
}

struct Rgba {
    uint8_t r, g, b, a;
};

// Frames of `frameWidth` x `height` side by side, each filled with its colour.
inline std::string SolidStrip(int frameWidth, int height, const std::vector<Rgba>& colors) {
    const int width = frameWidth * static_cast<int>(colors.size());
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgba& c = colors[static_cast<size_t>(x / frameWidth)];
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    return MakePng(width, height, rgba);
}

// Normal, hover, pressed, disabled, selected/more: easy to tell apart.
const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kGrey{128, 128, 128, 255},
    kYellow{255, 255, 0, 255}, kCyan{0, 255, 255, 255}, kMagenta{255, 0, 255, 255}, kWhite{255, 255, 255, 255},
    kBlack{0, 0, 0, 255};

// 0xRRGGBB of a premultiplied picture's pixel, alpha dropped.
inline uint32_t Rgb(const TQRGBA& image, int x = 0, int y = 0) {
    return image.Pixel(x, y) & 0xFFFFFF;
}

// A plain white form of a class name of its own.
class PlainForm : public forms::TForm {
public:
    explicit PlainForm(const wchar_t* className, int width = 300, int height = 200)
        : TForm([=] {
              forms::FormParams p;
              p.ClassName = className;
              p.ClientWidth = width;
              p.ClientHeight = height;
              p.CenterOnScreen = false;
              return p;
          }()) {}
    int backgroundPresses = 0;

protected:
    void FormMouseDown(POINT) override { ++backgroundPresses; }
};

inline void Post(HWND hwnd, UINT msg, WPARAM wParam, int x, int y) {
    ::PostMessageW(hwnd, msg, wParam, MAKELPARAM(x, y));
    settingstest::Pump(15);
}

// A 32-bit top-down DIB to paint controls into and read back (0xRRGGBB).
class Surface : public testsupport::PixelSurface {
public:
    Surface(int width, int height, COLORREF ground = RGB(255, 255, 255)) : PixelSurface(width, height) {
        Fill(ground);
    }
    uint32_t At(int x, int y) const { return Rgb(x, y); }
};

}  // namespace skintest
