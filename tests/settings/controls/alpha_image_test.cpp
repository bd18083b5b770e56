#include <gtest/gtest.h>

#include "settings/controls/QAlpha.h"
#include "settings/controls/QGraphics.h"
#include "tests/settings/skin_test_support.h"

using namespace settings;

using namespace skintest;

namespace {

// A 2 x 1 PNG: one half-transparent orange pixel, one fully transparent.
std::string TwoPixels() {
    return MakePng(2, 1, {200, 100, 50, 128, 255, 255, 255, 0});
}

TQRGBA Straight(int w, int h, uint32_t argb) {
    TQRGBA image;
    image.SetAlphaMode(amStraight);
    image.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.SetPixel(x, y, argb);
    return image;
}

TQRGBA Numbered(int w, int h, TAlphaMode mode = amPremultiplied) {
    // Every pixel tells where it came from: red = x, green = y.
    TQRGBA image;
    image.SetAlphaMode(mode);
    image.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.SetPixel(x, y, 0xFF000000u | (x << 16) | (y << 8));
    return image;
}

}  // namespace

TEST(AlphaImage, ANewImageIs24BitWithoutAlphaAndTheModeSwitchesTheFormat) {
    TQRGBA image;
    EXPECT_EQ(image.AlphaMode(), amNone);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    EXPECT_TRUE(image.Empty());
    image.SetSize(3, 2);
    image.SetPixel(1, 1, 0xFF102030);
    image.SetAlphaMode(amPremultiplied);
    EXPECT_EQ(image.BitsPerPixel(), 32);
    EXPECT_EQ(image.Pixel(1, 1), 0xFF102030u) << "colours kept, opaque";
    image.SetAlphaMode(amStraight);
    EXPECT_EQ(image.BitsPerPixel(), 32);
    image.SetAlphaMode(amNone);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    EXPECT_EQ(image.Pixel(1, 1), 0xFF102030u);
}

TEST(AlphaImage, PngWithAlphaIsPremultipliedWithIntegerDivision) {
    TQRGBA image;
    ASSERT_TRUE(image.LoadFromPngStream(TwoPixels()));
    EXPECT_EQ(image.AlphaMode(), amPremultiplied);
    ASSERT_EQ(image.Width(), 2);
    ASSERT_EQ(image.Height(), 1);
    // 200*128/255 = 100, 100*128/255 = 50, 50*128/255 = 25.
    EXPECT_EQ(image.Pixel(0, 0), 0x80643219u);
    EXPECT_EQ(image.Pixel(1, 0), 0x00000000u);
}

TEST(AlphaImage, StraightModeKeepsTheColours) {
    TPngData png;
    const std::string data = TwoPixels();
    ASSERT_TRUE(DecodePng(data.data(), data.size(), png));
    EXPECT_EQ(png.ColorType, 6);
    TQRGBA image;
    image.SetAlphaMode(amStraight);
    int changes = 0;
    image.OnChange = [&] { ++changes; };
    PngToRGBA(png, image);
    EXPECT_EQ(image.Pixel(0, 0), 0x80C86432u);
    EXPECT_EQ(changes, 1);
}

TEST(AlphaImage, PngWithoutAlphaChannelGivesAnImageWithoutAlpha) {
    TQRGBA image;
    ASSERT_TRUE(image.LoadFromPngStream(MakePng(1, 1, {10, 20, 30, 255}, true)));
    EXPECT_EQ(image.AlphaMode(), amNone);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    EXPECT_EQ(image.Pixel(0, 0), 0xFF0A141Eu);
}

TEST(AlphaImage, NoPngLeavesTheImageEmpty) {
    TQRGBA image;
    EXPECT_FALSE(image.LoadFromPngStream(std::string("not a png at all, really")));
    EXPECT_TRUE(image.Empty());
    std::string cut = TwoPixels();
    cut.resize(cut.size() / 2);
    EXPECT_FALSE(image.LoadFromPngStream(cut));
}

TEST(AlphaImage, AssignCopiesModeAndPixels) {
    TQRGBA source = Straight(2, 2, 0x40FF0000);
    TQRGBA copy;
    copy.Assign(source);
    EXPECT_EQ(copy.AlphaMode(), amStraight);
    EXPECT_EQ(copy.Pixel(1, 1), 0x40FF0000u);
    source.SetPixel(1, 1, 0);
    EXPECT_EQ(copy.Pixel(1, 1), 0x40FF0000u) << "own pixels";
}

TEST(AlphaImage, CopyFromStraightIntoPremultipliedPremultiplies) {
    TQRGBA dest;
    dest.SetAlphaMode(amPremultiplied);
    dest.SetSize(2, 2);
    dest.CopyFrom(0, 0, 2, 2, 0, 0, Straight(2, 2, 0x80C86432));
    EXPECT_EQ(dest.Pixel(1, 1), 0x80643219u);
}

TEST(AlphaImage, CopyFromPremultipliedIntoStraightUnpremultiplies) {
    TQRGBA source;
    source.SetAlphaMode(amPremultiplied);
    source.SetSize(2, 1);
    source.SetPixel(0, 0, 0x80643219);
    source.SetPixel(1, 0, 0x00000000);
    TQRGBA dest;
    dest.SetAlphaMode(amStraight);
    dest.SetSize(2, 1);
    dest.CopyFrom(0, 0, 1, 2, 0, 0, source);
    // 100*255/128 = 199, 50*255/128 = 99, 25*255/128 = 49.
    EXPECT_EQ(dest.Pixel(0, 0), 0x80C76331u);
    EXPECT_EQ(dest.Pixel(1, 0), 0x00000000u) << "nothing to recover at alpha 0";
}

TEST(AlphaImage, CopyIntoAnEmptyImageSizesItAndStartsAtTheOrigin) {
    TQRGBA dest;
    dest.SetAlphaMode(amPremultiplied);
    dest.CopyFrom(7, 9, 2, 3, 1, 2, Numbered(10, 10));
    ASSERT_EQ(dest.Width(), 3);
    ASSERT_EQ(dest.Height(), 2);
    EXPECT_EQ(Rgb(dest, 0, 0), 0x020100u);
    EXPECT_EQ(Rgb(dest, 2, 1), 0x040200u);
}

struct ClipCase {
    const char* name;
    int destX, destY, width, height, srcX, srcY;
    // expected after clipping (ok false: nothing to copy)
    bool ok;
    int eDestX, eDestY, eWidth, eHeight, eSrcX, eSrcY;
};

class ClipEdges : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipEdges, BothRectanglesAreCutToBothPictures) {
    const ClipCase& c = GetParam();
    TQRGBA dest;
    dest.SetAlphaMode(amPremultiplied);
    dest.SetSize(10, 8);
    const TQRGBA source = Numbered(6, 5);
    int dx = c.destX, dy = c.destY, w = c.width, h = c.height, sx = c.srcX, sy = c.srcY;
    ASSERT_EQ(ClipCopyRects(dx, dy, w, h, sx, sy, dest, source), c.ok);
    if (!c.ok) return;
    EXPECT_EQ(dx, c.eDestX);
    EXPECT_EQ(dy, c.eDestY);
    EXPECT_EQ(w, c.eWidth);
    EXPECT_EQ(h, c.eHeight);
    EXPECT_EQ(sx, c.eSrcX);
    EXPECT_EQ(sy, c.eSrcY);
}

INSTANTIATE_TEST_SUITE_P(
    AlphaImage, ClipEdges,
    ::testing::Values(ClipCase{"inside", 1, 1, 3, 3, 1, 1, true, 1, 1, 3, 3, 1, 1},
                      ClipCase{"destLeft", -2, 0, 4, 2, 0, 0, true, 0, 0, 2, 2, 2, 0},
                      ClipCase{"destTop", 0, -3, 2, 4, 0, 0, true, 0, 0, 2, 1, 0, 3},
                      ClipCase{"srcLeft", 3, 0, 4, 2, -1, 0, true, 4, 0, 3, 2, 0, 0},
                      ClipCase{"srcTop", 0, 2, 2, 4, 0, -2, true, 0, 4, 2, 2, 0, 0},
                      ClipCase{"destRight", 8, 0, 5, 2, 0, 0, true, 8, 0, 2, 2, 0, 0},
                      ClipCase{"destBottom", 0, 7, 2, 5, 0, 0, true, 0, 7, 2, 1, 0, 0},
                      ClipCase{"srcRight", 0, 0, 9, 2, 4, 0, true, 0, 0, 2, 2, 4, 0},
                      ClipCase{"srcBottom", 0, 0, 2, 9, 0, 3, true, 0, 0, 2, 2, 0, 3},
                      ClipCase{"outside", 12, 0, 3, 3, 0, 0, false, 0, 0, 0, 0, 0, 0},
                      ClipCase{"zeroWidth", 0, 0, 0, 3, 0, 0, false, 0, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

TEST(AlphaImage, ConvertingCopiesHonourTheClipRectangle) {
    TQRGBA dest;
    dest.SetAlphaMode(amPremultiplied);
    dest.SetSize(6, 6);
    const RECT clip{2, 2, 4, 4};
    dest.SetClipRect(&clip);
    dest.CopyFrom(0, 0, 6, 6, 0, 0, Straight(6, 6, 0xFFFFFFFF));
    EXPECT_EQ(dest.Pixel(1, 1), 0u);
    EXPECT_EQ(dest.Pixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(dest.Pixel(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(dest.Pixel(4, 4), 0u);
}

TEST(AlphaImage, SameModeCopyIsAPlainBlockCopy) {
    TQRGBA dest;
    dest.SetAlphaMode(amPremultiplied);
    dest.SetSize(4, 4);
    dest.CopyFrom(1, 1, 2, 2, 3, 4, Numbered(8, 8));
    EXPECT_EQ(dest.Pixel(1, 1), 0xFF040300u);
    EXPECT_EQ(dest.Pixel(2, 2), 0xFF050400u);
    EXPECT_EQ(dest.Pixel(0, 0), 0u);
}

// ------------------------------------------------------------------ slicing

TEST(StripSlicing, A100PixelStripAt33GivesFourFramesTheLastOneNarrow) {
    TQRGBAList list;
    EXPECT_EQ(list.SliceStrip(Numbered(100, 5), 33, 5), 4);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(0)->Width(), 33);
    EXPECT_EQ(list.Items(3)->Width(), 1);
    EXPECT_EQ(Rgb(*list.Items(1)), 33u << 16);
    EXPECT_EQ(Rgb(*list.Items(3)), 99u << 16);
    EXPECT_EQ(list.Items(2)->AlphaMode(), amPremultiplied);
    EXPECT_EQ(list.Items(4), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);
}

TEST(StripSlicing, MatchingWidthCutsTopToBottom) {
    TQRGBAList list;
    EXPECT_EQ(list.SliceStrip(Numbered(5, 40, amStraight), 5, 10), 4);
    EXPECT_EQ(list.Items(2)->Height(), 10);
    EXPECT_EQ(Rgb(*list.Items(2)), 20u << 8);
    EXPECT_EQ(list.Items(2)->AlphaMode(), amStraight);
}

TEST(StripSlicing, AStripMatchingNeitherSizeGivesNoFrames) {
    TQRGBAList list;
    EXPECT_EQ(list.SliceStrip(Numbered(20, 10), 7, 9), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST(StripSlicing, AFrameSizeOfZeroOrLessAddsNothingInsteadOfLooping) {
    TQRGBAList list;
    EXPECT_EQ(list.SliceStrip(Numbered(20, 10), 0, 10), 0);
    EXPECT_EQ(list.SliceStrip(Numbered(20, 10), -4, 10), 0);
    EXPECT_EQ(list.SliceStrip(Numbered(20, 10), 20, 0), 0);
    EXPECT_EQ(list.SliceStrip(Numbered(20, 10), 20, -1), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST(StripSlicing, LoadStripDecodesThenSlices) {
    TQRGBAList list;
    EXPECT_EQ(list.LoadStrip(SolidStrip(4, 3, {kRed, kGreen, kBlue}), 4, amPremultiplied, 3), 3);
    EXPECT_EQ(Rgb(*list.Items(0)), 0xFF0000u);
    EXPECT_EQ(Rgb(*list.Items(2)), 0x0000FFu);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.LoadStrip(std::string("junk"), 4, amPremultiplied, 3), 0);
}

// ------------------------------------------------------------------ drawing

TEST(AlphaDrawing, APremultipliedImageBlendsOverTheGround) {
    Surface surface(4, 4, RGB(255, 255, 255));
    TQRGBA image;
    ASSERT_TRUE(image.LoadFromPngStream(MakePng(1, 1, {0, 0, 0, 128})));
    ASSERT_TRUE(DrawRGBA(surface.Dc(), 1, 1, image));
    // Black at half alpha over white.
    const uint32_t px = surface.At(1, 1);
    EXPECT_NEAR(static_cast<int>(px & 0xFF), 127, 2);
    EXPECT_EQ(surface.At(0, 0), 0xFFFFFFu);
}

TEST(AlphaDrawing, AStraightImageIsPremultipliedBeforeDrawing) {
    Surface surface(2, 2, RGB(0, 0, 0));
    TQRGBA image = Straight(1, 1, 0x80FF0000);
    ASSERT_TRUE(DrawRGBA(surface.Dc(), 0, 0, image));
    EXPECT_NEAR(static_cast<int>((surface.At(0, 0) >> 16) & 0xFF), 128, 2);
}

TEST(AlphaDrawing, AnImageWithoutAlphaBlendsUniformlyOrCopiesAtFullOpacity) {
    TQRGBA image;
    image.SetSize(2, 1);
    image.SetPixel(0, 0, 0xFF000000);
    image.SetPixel(1, 0, 0xFF000000);
    Surface surface(2, 1, RGB(255, 255, 255));
    ASSERT_TRUE(DrawRGBA(surface.Dc(), 0, 0, 200, 1, 2, 0, 0, image));
    // 255 * (255 - 200) / 255 = 55 on both pixels.
    EXPECT_NEAR(static_cast<int>(surface.At(0, 0) & 0xFF), 55, 2);
    EXPECT_EQ(surface.At(0, 0), surface.At(1, 0));
    surface.Fill(RGB(255, 255, 255));
    ASSERT_TRUE(DrawRGBA(surface.Dc(), 0, 0, 300, 1, 2, 0, 0, image));
    EXPECT_EQ(surface.At(0, 0), 0u) << "alpha out of range is opaque";
    surface.Fill(RGB(255, 255, 255));
    ASSERT_TRUE(DrawRGBA(surface.Dc(), 0, 0, -5, 1, 2, 0, 0, image));
    EXPECT_EQ(surface.At(1, 0), 0u);
}

TEST(AlphaDrawing, StretchDrawingScalesThePart) {
    TQRGBA image;
    ASSERT_TRUE(image.LoadFromPngStream(SolidStrip(2, 2, {kRed, kBlue})));
    Surface surface(8, 8);
    ASSERT_TRUE(StretchDrawRGBA(surface.Dc(), 0, 0, 255, 2, 2, 0, 2, image, 8, 8));
    EXPECT_EQ(surface.At(0, 0), 0x0000FFu);
    EXPECT_EQ(surface.At(7, 7), 0x0000FFu);
}

TEST(AlphaDrawing, ASourceRectangleBeyondThePictureIsCut) {
    TQRGBA image;
    ASSERT_TRUE(image.LoadFromPngStream(SolidStrip(2, 2, {kRed})));
    Surface surface(6, 6);
    EXPECT_TRUE(DrawRGBA(surface.Dc(), 0, 0, 255, 10, 10, 0, 0, image));
    EXPECT_EQ(surface.At(1, 1), 0xFF0000u);
    EXPECT_EQ(surface.At(3, 3), 0xFFFFFFu);
    EXPECT_FALSE(DrawRGBA(surface.Dc(), 0, 0, 255, 2, 2, 5, 5, image));
    TQRGBA empty;
    EXPECT_FALSE(DrawRGBA(surface.Dc(), 0, 0, empty));
}
