#include "base/png_decoder.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/png_writer.h"

namespace {

// A 2x1 picture, one opaque red and one half-transparent white pixel.
std::string SmallRgba() {
    const unsigned char pixels[] = {255, 0, 0, 255, 255, 255, 255, 128};
    return testsupport::EncodeRgbaPng(2, 1, pixels);
}

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// The signature and a well-formed header only: enough for the size to be
// known, nothing to decode.
std::string HeaderOnly(uint32_t width, uint32_t height, unsigned char colorType) {
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string chunk("IHDR");
    PutBigEndian(chunk, width);
    PutBigEndian(chunk, height);
    chunk.push_back(8);  // bit depth
    chunk.push_back(static_cast<char>(colorType));
    chunk.append(3, '\0');
    PutBigEndian(out, 13);
    out += chunk;
    PutBigEndian(out, static_cast<uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size()))));
    return out;
}

TEST(BasePng, SizeLimit) {
    struct Case {
        uint32_t width, height, bytesPerPixel;
        bool allowed;
    };
    const Case cases[] = {
        {1, 1, 4, true},
        {4096, 4096, 4, true},    // exactly the limit
        {4096, 4097, 4, false},   // one row over it
        {4096, 4097, 3, true},
        {0x7FFF, 0x7FFF, 4, false},
        {0x8000, 1, 4, false},    // too wide for a DIB of ours
        {0, 5, 4, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.allowed, base::PngSizeAllowed(c.width, c.height, c.bytesPerPixel))
            << c.width << "x" << c.height << "x" << c.bytesPerPixel;
}

TEST(BasePng, RefusedInputs) {
    const std::string good = SmallRgba();
    ASSERT_FALSE(good.empty());
    std::string badSignature = good;
    badSignature[1] = 'Q';
    std::string badCrc = good;
    badCrc[29] ^= 0x55;  // inside the header's checksum
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"not a png", "not a png at all"},
        {"signature only", good.substr(0, 8)},
        {"cut inside the data", good.substr(0, good.size() / 2)},
        {"bad signature", badSignature},
        {"bad header checksum", badCrc},
        {"too large", HeaderOnly(4096, 4097, 6)},
        {"no pixel data", HeaderOnly(2, 2, 6)},
    };
    for (const Case& c : cases) {
        base::PngPixels pixels;
        EXPECT_FALSE(base::DecodePngPixels(c.bytes.data(), c.bytes.size(), pixels)) << c.what;
        EXPECT_TRUE(pixels.bgra.empty()) << c.what;
        EXPECT_FALSE(base::DecodePngToDib(c.bytes.data(), c.bytes.size())) << c.what;
    }
    base::PngPixels pixels;
    EXPECT_FALSE(base::DecodePngPixels(nullptr, 100, pixels));
    EXPECT_FALSE(base::DecodePngToDib(nullptr, 100));
}

TEST(BasePng, PixelsStraightAndDibPremultiplied) {
    const std::string png = SmallRgba();
    base::PngPixels pixels;
    ASSERT_TRUE(base::DecodePngPixels(png.data(), png.size(), pixels));
    EXPECT_EQ(2, pixels.width);
    EXPECT_EQ(1, pixels.height);
    EXPECT_TRUE(pixels.hasAlpha);
    const std::vector<uint8_t> straight = {0, 0, 255, 255, 255, 255, 255, 128};
    EXPECT_EQ(straight, pixels.bgra);

    base::Bitmap dib = base::DecodePngToDib(png.data(), png.size());
    ASSERT_TRUE(dib);
    DIBSECTION section{};
    ASSERT_EQ(static_cast<int>(sizeof(section)), ::GetObjectW(dib.Get(), sizeof(section), &section));
    EXPECT_EQ(32, section.dsBm.bmBitsPixel);
    const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    const std::vector<uint8_t> premultiplied = {0, 0, 255, 255, 128, 128, 128, 128};
    EXPECT_EQ(premultiplied, std::vector<uint8_t>(bits, bits + 8));
}

}  // namespace
