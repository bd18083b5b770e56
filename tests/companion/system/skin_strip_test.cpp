// Frames of a strip compared by their pixels: the mascot does not push a
// frame again when it shows what is already on the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "companion/system/skin_strip.h"
#include "base/dib_section.h"
#include "base/handles.h"

using namespace companion;

namespace {

// A top-down DIB strip of `frames` frames of cx x cy at `bits` per pixel,
// every pixel of frame f set to the byte value values[f].
base::Bitmap MakeStrip(int frames, int cx, int cy, WORD bits, const std::vector<BYTE>& values) {
    void* pixels = nullptr;
    base::Bitmap strip = base::CreateTopDownDib(cx * frames, cy, bits, &pixels);
    if (!strip) return strip;
    const size_t pixelBytes = bits / 8;
    const size_t stride = ((static_cast<size_t>(cx) * frames * bits + 31) / 32) * 4;
    for (int y = 0; y < cy; ++y)
        for (int f = 0; f < frames; ++f)
            std::memset(static_cast<BYTE*>(pixels) + y * stride + f * cx * pixelBytes, values[f], cx * pixelBytes);
    return strip;
}

struct Case {
    const char* name;
    WORD bits;
    int first, second, cy;
    bool equal;
};

}  // namespace

TEST(StripFramesEqual, ComparesTheFramesPixels) {
    // Frames 0 and 2 alike, frame 1 not; 3 x 2 frames, so 24-bit rows carry padding.
    const Case cases[] = {
        {"alike frames", 32, 0, 2, 2, true},
        {"different frames", 32, 0, 1, 2, false},
        {"one frame with itself", 32, 1, 1, 2, true},
        {"alike frames, padded rows", 24, 2, 0, 2, true},
        {"different frames, padded rows", 24, 1, 2, 2, false},
        {"a frame past the strip", 32, 2, 3, 2, false},
        {"a negative frame", 32, -1, 0, 2, false},
        {"taller than the strip", 32, 0, 2, 3, false},
    };
    for (const Case& c : cases) {
        base::Bitmap strip = MakeStrip(3, 3, 2, c.bits, {0x40, 0x41, 0x40});
        ASSERT_TRUE(strip) << c.name;
        EXPECT_EQ(c.equal, StripFramesEqual(strip.Get(), c.first, c.second, 3, c.cy)) << c.name;
    }
}

TEST(StripFramesEqual, NeedsADibSection) {
    const BYTE pixels[16] = {};
    base::Bitmap plain(::CreateBitmap(2, 2, 1, 32, pixels));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(StripFramesEqual(plain.Get(), 0, 1, 1, 2));
    EXPECT_FALSE(StripFramesEqual(nullptr, 0, 0, 1, 1));
}
