// Decoding, strips, nine-part and three-part drawing, fonts and the skin set
// a program registers (here a set of the tests' own: the toolkit knows no
// program's pictures).
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>

#include "toolkit/bex_bitmap.h"
#include "base/png_decoder.h"
#include "base/whole_file.h"
#include "toolkit_test_support.h"

using namespace toolkit;

using namespace toolkit_test;

using base::DecodePngToDib;

namespace {

struct DibInfo {
    int width = 0, height = 0, bits = 0;
    const unsigned char* data = nullptr;
    int stride = 0;
};

DibInfo Inspect(HBITMAP bitmap) {
    DIBSECTION ds{};
    DibInfo info;
    if (::GetObjectW(bitmap, sizeof(ds), &ds) != sizeof(ds)) return info;
    info.width = ds.dsBm.bmWidth;
    info.height = ds.dsBm.bmHeight;
    info.bits = ds.dsBm.bmBitsPixel;
    info.data = static_cast<const unsigned char*>(ds.dsBm.bmBits);
    info.stride = ds.dsBm.bmWidthBytes;
    return info;
}

base::Bitmap Decode(const std::string& bytes) { return DecodePngToDib(bytes.data(), bytes.size()); }

}  // namespace

TEST(PngDecoding, OpaqueRgbBecomes24BitBgr) {
    PngSpec shape;
    shape.width = 3;
    shape.height = 1;
    shape.samples = {255, 0, 0, 0, 255, 0, 10, 20, 30};
    auto bitmap = Decode(EncodePng(shape));
    ASSERT_TRUE(bitmap);
    DibInfo d = Inspect(bitmap.Get());
    EXPECT_EQ(24, d.bits);
    EXPECT_EQ(12, d.stride);  // 9 bytes padded to 4
    const unsigned char* p = d.data;
    EXPECT_EQ(0, p[0]); EXPECT_EQ(0, p[1]); EXPECT_EQ(255, p[2]);
    EXPECT_EQ(30, p[6]); EXPECT_EQ(20, p[7]); EXPECT_EQ(10, p[8]);
}

TEST(PngDecoding, RgbaIsPremultipliedAndTruncated) {
    PngSpec shape;
    shape.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    shape.width = 2;
    shape.height = 1;
    shape.samples = {200, 100, 51, 128, 255, 255, 255, 0};
    auto bitmap = Decode(EncodePng(shape));
    ASSERT_TRUE(bitmap);
    DibInfo d = Inspect(bitmap.Get());
    ASSERT_EQ(32, d.bits);
    EXPECT_EQ(51 * 128 / 255, d.data[0]);
    EXPECT_EQ(100 * 128 / 255, d.data[1]);
    EXPECT_EQ(200 * 128 / 255, d.data[2]);
    EXPECT_EQ(128, d.data[3]);
    EXPECT_EQ(0, d.data[4] | d.data[5] | d.data[6] | d.data[7]);
}

TEST(PngDecoding, PaletteWithTransparencyGivesAlpha) {
    PngSpec shape;
    shape.colorType = PNG_COLOR_TYPE_PALETTE;
    shape.width = 2;
    shape.height = 1;
    shape.palette = {255, 0, 0, 0, 0, 255};
    shape.trnsAlpha = {255, 0};
    shape.samples = {0, 1};
    auto bitmap = Decode(EncodePng(shape));
    ASSERT_TRUE(bitmap);
    DibInfo d = Inspect(bitmap.Get());
    ASSERT_EQ(32, d.bits);
    EXPECT_EQ(255, d.data[2]);
    EXPECT_EQ(255, d.data[3]);
    EXPECT_EQ(0, d.data[4] | d.data[5] | d.data[6] | d.data[7]);  // transparent blue premultiplies to 0
}

TEST(PngDecoding, GreyLowDepthAndSixteenBitAndInterlaced) {
    PngSpec grey;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 2;
    grey.width = 4;
    grey.height = 1;
    grey.samples = {0x1B};  // 0, 1, 2, 3
    auto g = Decode(EncodePng(grey));
    ASSERT_TRUE(g);
    DibInfo d = Inspect(g.Get());
    EXPECT_EQ(24, d.bits);
    EXPECT_EQ(0, d.data[0]);
    EXPECT_EQ(0x55, d.data[3]);
    EXPECT_EQ(0x55, d.data[5]);
    EXPECT_EQ(0xFF, d.data[9]);

    PngSpec wide;
    wide.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    wide.bitDepth = 16;
    wide.width = 1;
    wide.height = 1;
    wide.samples = {0xC8, 0x00, 0xFF, 0xFF};  // grey 200, opaque
    auto w = Decode(EncodePng(wide));
    ASSERT_TRUE(w);
    d = Inspect(w.Get());
    ASSERT_EQ(32, d.bits);
    EXPECT_EQ(200, d.data[0]);
    EXPECT_EQ(200, d.data[2]);
    EXPECT_EQ(255, d.data[3]);

    PngSpec inter;
    inter.interlaced = true;
    inter.width = 9;
    inter.height = 9;
    for (int i = 0; i < 81; ++i) {
        inter.samples.push_back(static_cast<unsigned char>(i));
        inter.samples.push_back(static_cast<unsigned char>(255 - i));
        inter.samples.push_back(7);
    }
    auto in = Decode(EncodePng(inter));
    ASSERT_TRUE(in);
    d = Inspect(in.Get());
    EXPECT_EQ(9, d.width);
    EXPECT_EQ(9, d.height);
    // Pixel (5, 7) = index 68: every pass has landed where it belongs, and
    // the rows run top-down.
    const unsigned char* p = d.data + 7 * d.stride + 5 * 3;
    EXPECT_EQ(7, p[0]);
    EXPECT_EQ(255 - 68, p[1]);
    EXPECT_EQ(68, p[2]);
}

TEST(PngDecoding, BrokenInputGivesNoBitmap) {
    PngSpec shape;
    shape.samples.assign(2 * 2 * 3, 0x40);
    std::string good = EncodePng(shape);
    EXPECT_FALSE(DecodePngToDib("not a png at all", 16));
    EXPECT_FALSE(DecodePngToDib(good.data(), 7));
    EXPECT_FALSE(DecodePngToDib(good.data(), good.size() / 2));  // cut inside the data
    std::string bad = good;
    bad[1] = 'Q';
    EXPECT_FALSE(Decode(bad));
    EXPECT_FALSE(DecodePngToDib(nullptr, 100));
}

TEST(BexBitmap, FileKindsAndFailures) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring pngPath = std::wstring(dir) + L"bex_strip_test.png";
    PngSpec shape;
    shape.width = 300;
    shape.height = 2;
    shape.samples.assign(300 * 2 * 3, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 150; x < 225; ++x) shape.samples[(y * 300 + x) * 3 + 1] = 255;  // frame 2 green
    std::string bytes = EncodePng(shape);
    FILE* f = _wfopen(pngPath.c_str(), L"wb");
    ASSERT_TRUE(f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);

    std::wstring temporary = pngPath;
    CBexBitmap strip(temporary.c_str(), kBexKindPng, 4);
    temporary.assign(temporary.size(), L'x');  // the bitmap keeps its own copy of the name
    EXPECT_EQ(75, strip.FrameWidth());
    EXPECT_EQ(2, strip.Height());
    EXPECT_FALSE(strip.HasAlpha());
    PixelSurface s(80, 4);
    s.Fill(RGB(0, 0, 0));
    DrawImageFrame(&strip, s.Dc(), 0, 0, 2);
    EXPECT_EQ(RGB(0, 255, 0), s.At(10, 1));
    s.Fill(RGB(0, 0, 0));
    DrawImageFrame(&strip, s.Dc(), 0, 0, 1);
    EXPECT_EQ(RGB(0, 0, 0), s.At(10, 1));
    // A frame past the strip draws nothing rather than reading beyond it.
    s.Fill(RGB(9, 9, 9));
    DrawImageFrame(&strip, s.Dc(), 0, 0, 4);
    EXPECT_EQ(RGB(9, 9, 9), s.At(10, 1));

    CBexBitmap zeroFrames(pngPath.c_str(), kBexKindPng, 0);
    EXPECT_EQ(1, zeroFrames.FrameCount());
    EXPECT_EQ(300, zeroFrames.FrameWidth());

    CBexBitmap asIcon(pngPath.c_str(), kBexKindIcon, 1);
    EXPECT_FALSE(asIcon.Load());
    EXPECT_EQ(0, asIcon.FrameWidth());

    CBexBitmap missing(L"Z:\\no\\such\\file.png", kBexKindPng, 1);
    EXPECT_FALSE(missing.Load());
    EXPECT_EQ(0, missing.Height());
    s.Fill(RGB(9, 9, 9));
    missing.Draw(s.Dc(), 0, 0, 10, 10, 0);
    EXPECT_EQ(RGB(9, 9, 9), s.At(1, 1));

    // A BMP file goes through LoadImage.
    const std::wstring bmpPath = std::wstring(dir) + L"bex_strip_test.bmp";
    base::Bitmap dib = SolidStrip({RGB(1, 2, 3), RGB(200, 100, 50)}, 5, 3, -1);
    DIBSECTION ds{};
    ::GetObjectW(dib.Get(), sizeof(ds), &ds);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih = ds.dsBmih;
    ih.biHeight = 3;  // a bottom-up file; the rows are all alike
    const DWORD imageSize = ds.dsBm.bmWidthBytes * 3;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + imageSize;
    f = _wfopen(bmpPath.c_str(), L"wb");
    ASSERT_TRUE(f);
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&ih, sizeof(ih), 1, f);
    fwrite(ds.dsBm.bmBits, 1, imageSize, f);
    fclose(f);
    CBexBitmap bmp(bmpPath.c_str(), kBexKindBmp, 2);
    EXPECT_TRUE(bmp.Load());
    EXPECT_EQ(5, bmp.FrameWidth());
    EXPECT_EQ(3, bmp.Height());
    s.Fill(RGB(0, 0, 0));
    DrawImageFrame(&bmp, s.Dc(), 0, 0, 1);
    EXPECT_EQ(RGB(200, 100, 50), s.At(2, 1));
    ::DeleteFileW(pngPath.c_str());
    ::DeleteFileW(bmpPath.c_str());
}

namespace {

// A 9-part source of 30 x 30 whose nine pieces have nine colours, cut at
// L 10, R 20, T 10, B 20.
const COLORREF kPiece[3][3] = {{RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0)},
                               {RGB(0, 40, 0), RGB(0, 50, 0), RGB(0, 60, 0)},
                               {RGB(0, 0, 70), RGB(0, 0, 80), RGB(0, 0, 90)}};

base::Bitmap NinePieces() {
    base::Bitmap dib = SolidStrip({0}, 30, 30, -1);
    DIBSECTION ds{};
    ::GetObjectW(dib.Get(), sizeof(ds), &ds);
    auto* bytes = static_cast<unsigned char*>(ds.dsBm.bmBits);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const COLORREF c = kPiece[y / 10][x / 10];
            unsigned char* p = bytes + y * ds.dsBm.bmWidthBytes + x * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return dib;
}

}  // namespace

TEST(NinePart, GeometryAtOwnSizeLargerAndSmaller) {
    // The pieces come from a BMP file written here, loaded by path.
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"bex_nine.bmp";
    {
        base::Bitmap dib = NinePieces();
        DIBSECTION ds{};
        ::GetObjectW(dib.Get(), sizeof(ds), &ds);
        BITMAPINFOHEADER ih = ds.dsBmih;
        ih.biHeight = 30;  // a bottom-up file: rows written last to first
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(ih);
        fh.bfSize = fh.bfOffBits + ds.dsBm.bmWidthBytes * 30;
        FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_TRUE(f);
        fwrite(&fh, sizeof(fh), 1, f);
        fwrite(&ih, sizeof(ih), 1, f);
        const auto* rows = static_cast<const unsigned char*>(ds.dsBm.bmBits);
        for (int y = 29; y >= 0; --y) fwrite(rows + y * ds.dsBm.bmWidthBytes, 1, ds.dsBm.bmWidthBytes, f);
        fclose(f);
    }
    CBexBitmap9Part nine(path.c_str(), kBexKindBmp, 10, 20, 10, 20);
    ASSERT_TRUE(nine.Load());
    ASSERT_EQ(30, nine.FrameWidth());

    PixelSurface s(120, 100);
    // Own size: a copy of the source.
    s.Fill(RGB(255, 255, 255));
    nine.Draw(s.Dc(), 5, 5, 30, 30, 0);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(kPiece[r][c], s.At(5 + c * 10 + 5, 5 + r * 10 + 5));
    EXPECT_EQ(RGB(255, 255, 255), s.At(35, 35));

    // Larger: corners keep 10 x 10, edges and centre stretch.
    s.Fill(RGB(255, 255, 255));
    nine.Draw(s.Dc(), 0, 0, 100, 60, 0);
    EXPECT_EQ(kPiece[0][0], s.At(9, 9));
    EXPECT_EQ(kPiece[0][1], s.At(50, 5));
    EXPECT_EQ(kPiece[0][2], s.At(90, 9));
    EXPECT_EQ(kPiece[1][0], s.At(5, 30));
    EXPECT_EQ(kPiece[1][1], s.At(50, 30));
    EXPECT_EQ(kPiece[1][2], s.At(95, 30));
    EXPECT_EQ(kPiece[2][0], s.At(5, 55));
    EXPECT_EQ(kPiece[2][1], s.At(50, 55));
    EXPECT_EQ(kPiece[2][2], s.At(99, 59));
    EXPECT_EQ(RGB(255, 255, 255), s.At(100, 30));
    EXPECT_EQ(RGB(255, 255, 255), s.At(50, 60));

    // Smaller than its margins: no mirrored or negative pieces; nothing is
    // drawn left of or above the origin.
    s.Fill(RGB(255, 255, 255));
    nine.Draw(s.Dc(), 40, 40, 12, 8, 0);
    EXPECT_EQ(RGB(255, 255, 255), s.At(39, 45));
    EXPECT_EQ(RGB(255, 255, 255), s.At(45, 39));
    EXPECT_EQ(kPiece[0][0], s.At(41, 41));
    ::DeleteFileW(path.c_str());
}

TEST(ThreePart, EndsKeepTheirWidthAndTheMiddleStretches) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"bex_three.png";
    PngSpec shape;
    shape.width = 180;  // 2 frames of 90
    shape.height = 4;
    shape.samples.assign(180 * 4 * 3, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 180; ++x) {
            const int local = x % 90;
            unsigned char* p = &shape.samples[(y * 180 + x) * 3];
            p[0] = local < 30 ? 100 : (local < 60 ? 0 : 0);
            p[1] = local >= 30 && local < 60 ? 150 : 0;
            p[2] = local >= 60 ? 200 : 0;
            if (x >= 90) p[0] = p[1] = p[2] = 33;
        }
    std::string bytes = EncodePng(shape);
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_TRUE(f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    CBexBitmapHorizen3Part three(path.c_str(), kBexKindPng, 2);
    ASSERT_EQ(90, three.FrameWidth());
    PixelSurface s(200, 10);
    s.Fill(RGB(255, 255, 255));
    three.DrawFixed(s.Dc(), 0, 0, 150, 0);
    EXPECT_EQ(RGB(100, 0, 0), s.At(29, 2));
    EXPECT_EQ(RGB(0, 150, 0), s.At(30, 2));
    EXPECT_EQ(RGB(0, 150, 0), s.At(119, 2));
    EXPECT_EQ(RGB(0, 0, 200), s.At(120, 2));
    EXPECT_EQ(RGB(0, 0, 200), s.At(149, 2));
    EXPECT_EQ(RGB(255, 255, 255), s.At(150, 2));
    EXPECT_EQ(RGB(255, 255, 255), s.At(10, 4));  // its own height

    // Narrower than both ends: the middle is skipped, not mirrored.
    s.Fill(RGB(255, 255, 255));
    three.DrawFixed(s.Dc(), 0, 0, 40, 0);
    EXPECT_EQ(RGB(100, 0, 0), s.At(5, 2));
    // Frame 1 comes from x = 90; frame 2 does not exist.
    s.Fill(RGB(255, 255, 255));
    three.DrawFixed(s.Dc(), 0, 0, 90, 1);
    EXPECT_EQ(RGB(33, 33, 33), s.At(45, 2));
    s.Fill(RGB(255, 255, 255));
    three.DrawFixed(s.Dc(), 0, 0, 90, 2);
    EXPECT_EQ(RGB(255, 255, 255), s.At(45, 2));
    ::DeleteFileW(path.c_str());
}

TEST(BexBitmap, AlphaStripBlendsOverWhatIsThere) {
    CBexBitmap half(SolidStrip({RGB(255, 0, 0)}, 4, 4, 128), kBexKindPng, 1);
    EXPECT_TRUE(half.HasAlpha());
    PixelSurface s(10, 10);
    s.Fill(RGB(0, 0, 255));
    DrawImageFrame(&half, s.Dc(), 0, 0, 0);
    const COLORREF c = s.At(1, 1);
    EXPECT_NEAR(128, GetRValue(c), 3);
    EXPECT_NEAR(127, GetBValue(c), 3);
}

TEST(Fonts, FaceFollowsTheSystemVersion) {
    EXPECT_STREQ(L"微软雅黑", BexUiFontFace(0x1DB10106));  // NT 6.1
    EXPECT_STREQ(L"微软雅黑", BexUiFontFace(0x17700006));  // NT 6.0
    EXPECT_STREQ(L"Tahoma", BexUiFontFace(0x0A280105));    // NT 5.1
    EXPECT_STREQ(L"微软雅黑", BexUiFontFace(0x23F00206));  // NT 6.2: still major 6
    EXPECT_STREQ(L"Tahoma", BexUiFontFace(0x4A61000A));    // NT 10
    EXPECT_STREQ(L"Tahoma", BexUiFontFace(0x80000006));    // not NT

    const LONG heights[9] = {0, -11, -11, -12, -12, -13, -13, -16, -16};
    for (int n = 1; n <= 8; ++n) {
        LOGFONTW lf{};
        ASSERT_TRUE(BexFont(n)) << n;
        ::GetObjectW(BexFont(n), sizeof(lf), &lf);
        EXPECT_EQ(heights[n], lf.lfHeight) << n;
        if (n % 2 == 0) {
            EXPECT_EQ(700, lf.lfWeight) << n;
        }
        EXPECT_STREQ(BexUiFontFace(::GetVersion()), lf.lfFaceName);
    }
    EXPECT_EQ(nullptr, BexFont(0));
    EXPECT_EQ(nullptr, BexFont(9));
    LOGFONTW lf{};
    ::GetObjectW(BexVerdanaClockFont(), sizeof(lf), &lf);
    EXPECT_STREQ(L"Verdana", lf.lfFaceName);
    EXPECT_EQ(-20, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    ::GetObjectW(BexTahomaLargeFont(), sizeof(lf), &lf);
    EXPECT_EQ(-22, lf.lfHeight);
}

TEST(Fonts, MeasureTextCountsTheGivenLength) {
    SIZE all{}, part{};
    const int whole = MeasureText(BexFont(3), -1, L"abcdef", &all);
    const int three = MeasureText(BexFont(3), 3, L"abcdef", &part);
    EXPECT_GT(whole, three);
    EXPECT_GT(three, 0);
    EXPECT_EQ(whole, all.cx);
    EXPECT_GT(all.cy, 0);
    EXPECT_EQ(0, MeasureText(BexFont(3), -1, nullptr, nullptr));
}

// The toolkit knows no program's pictures: it cuts what the program
// registers, and a second registration makes the set anew.
TEST(SkinSet, IsWhatTheProgramRegisters) {
    const BexSkinPicture pictures[] = {
        {110, BexSkinPicture::kWhole, 2, 0, 0, 0, 0},
        {121, BexSkinPicture::kThreePart, 4, 0, 0, 0, 0},
        {134, BexSkinPicture::kNinePart, 1, 3, 5, 3, 5},
    };
    BexSkinSet set;
    set.pictures = pictures;
    set.count = 3;
    set.messageBoxBack = 134;
    RegisterBexSkinSet(set);
    const struct {
        UINT id;
        WORD frames;
    } expected[] = {{110, 2}, {121, 4}, {134, 1}};
    for (const auto& e : expected) {
        CBexBitmap* b = BexSkinBitmap(e.id);
        ASSERT_TRUE(b) << e.id;
        EXPECT_EQ(e.frames, b->FrameCount()) << e.id;
    }
    EXPECT_EQ(3, static_cast<CBexBitmap9Part*>(BexSkinBitmap(134))->MarginLeft());
    EXPECT_EQ(nullptr, BexSkinBitmap(113)) << "not in this set";
    EXPECT_EQ(nullptr, BexAppIcon()) << "no icon registered";
    EXPECT_EQ(134u, RegisteredBexSkinSet().messageBoxBack);
    EXPECT_EQ(3u, RegisteredBexSkinSet().count);

    const BexSkinPicture others[] = {{113, BexSkinPicture::kWhole, 3, 0, 0, 0, 0}};
    set.pictures = others;
    set.count = 1;
    RegisterBexSkinSet(set);
    ASSERT_TRUE(BexSkinBitmap(113));
    EXPECT_EQ(3, BexSkinBitmap(113)->FrameCount());
    EXPECT_EQ(nullptr, BexSkinBitmap(110)) << "the first set is gone";
}
