#include "tests/support/png_writer.h"

#include <png.h>

namespace testsupport {

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void NoFlush(png_structp) {}

}  // namespace

std::string EncodePng(const PngSpec& shape) {
    // libpng jumps back on errors: every object with a destructor exists
    // before the jump target.
    std::string out;
    std::vector<png_color> palette;
    std::vector<png_bytep> rows;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, &Append, &NoFlush);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bitDepth, shape.colorType,
                 shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    for (size_t i = 0; i + 2 < shape.palette.size(); i += 3)
        palette.push_back(png_color{shape.palette[i], shape.palette[i + 1], shape.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!shape.trnsAlpha.empty())
        png_set_tRNS(png, info, const_cast<png_bytep>(shape.trnsAlpha.data()),
                     static_cast<int>(shape.trnsAlpha.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    for (int y = 0; y < shape.height; ++y)
        rows.push_back(const_cast<png_bytep>(shape.samples.data()) + static_cast<size_t>(y) * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string EncodeRgbaPng(int width, int height, const unsigned char* rgba) {
    PngSpec shape;
    shape.width = width;
    shape.height = height;
    shape.colorType = PNG_COLOR_TYPE_RGBA;
    shape.samples.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    return EncodePng(shape);
}

}  // namespace testsupport
