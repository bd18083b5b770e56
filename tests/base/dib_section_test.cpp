#include "base/dib_section.h"

#include <gtest/gtest.h>

namespace {

TEST(BaseDibSection, SizesAndDepths) {
    struct Case {
        int width, height;
        WORD bitsPerPixel;
        bool made;
        LONG stride;
    };
    const Case cases[] = {
        {3, 2, 32, true, 12},
        {3, 2, 24, true, 12},  // 9 bytes padded to 12
        {5, 1, 24, true, 16},
        {0, 4, 32, false, 0},
        {4, -1, 32, false, 0},
    };
    for (const Case& c : cases) {
        void* bits = reinterpret_cast<void*>(1);
        base::Bitmap dib = base::CreateTopDownDib(c.width, c.height, c.bitsPerPixel, &bits);
        EXPECT_EQ(c.made, static_cast<bool>(dib)) << c.width << "x" << c.height;
        EXPECT_EQ(c.made, bits != nullptr) << c.width << "x" << c.height;
        if (!c.made) continue;
        DIBSECTION section{};
        ASSERT_EQ(static_cast<int>(sizeof(section)), ::GetObjectW(dib.Get(), sizeof(section), &section));
        EXPECT_EQ(c.width, section.dsBm.bmWidth);
        EXPECT_EQ(c.height, section.dsBm.bmHeight);
        EXPECT_EQ(c.bitsPerPixel, section.dsBm.bmBitsPixel);
        EXPECT_EQ(c.stride, section.dsBm.bmWidthBytes);
        const auto* pixels = static_cast<const unsigned char*>(bits);
        for (LONG i = 0; i < c.stride * c.height; ++i) ASSERT_EQ(0, pixels[i]) << "starts zeroed";
    }
    EXPECT_TRUE(base::CreateTopDownDib(2, 2, 32));  // the pixels are not wanted
}

}  // namespace
