// PNG pictures held in memory, decoded once for every program and plug-in.
// Skins and icons come from files anyone can replace, so a picture whose
// decoded pixels would take more than kPngMaxDecodedBytes is refused before
// anything is allocated for it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/handles.h"

namespace base {

constexpr uint64_t kPngMaxDecodedBytes = 64ull << 20;
// Neither side may be longer than a DIB section of ours can be drawn.
constexpr uint32_t kPngMaxSide = 0x7FFF;

// True when a picture of this size, decoded at `bytesPerPixel`, stays
// within the limits above (and is not empty).
bool PngSizeAllowed(uint32_t width, uint32_t height, uint32_t bytesPerPixel);

// Pixels as blue, green, red, alpha bytes, rows top-down, alpha not
// multiplied in; 16-bit samples count as linear light and are brought to
// 8-bit sRGB.
struct PngPixels {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // an alpha channel or a transparency chunk
    std::vector<uint8_t> bgra;
};
bool DecodePngPixels(const void* data, size_t size, PngPixels& out);

// A top-down DIB section: 24 bits per pixel for an opaque picture, 32 bits
// with the colours premultiplied (c * a / 255, truncated) when it has an
// alpha channel or a transparency chunk, so AlphaBlend can take it as it is.
// 16-bit samples keep their high byte. Empty when the data is no PNG,
// broken or too large.
base::Bitmap DecodePngToDib(const void* data, size_t size);

}  // namespace base
