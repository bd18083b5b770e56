// PNG files of any shape libpng writes, for the pictures tests feed to the
// decoders, the skins and the stand-ins.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct PngSpec {
    int width = 2;
    int height = 2;
    int colorType = 2;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<unsigned char> samples;    // rows packed as libpng wants them
    std::vector<unsigned char> palette;    // RGB triples
    std::vector<unsigned char> trnsAlpha;  // palette alphas
};

// The file's bytes; empty when libpng refuses the shape.
std::string EncodePng(const PngSpec& shape);

// 8-bit RGBA rows, alpha straight (not premultiplied).
std::string EncodeRgbaPng(int width, int height, const unsigned char* rgba);

}  // namespace testsupport
