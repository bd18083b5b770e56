#include "toolkit/bex_png.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace {

struct MemoryReader {
    const png_byte* data;
    size_t size;
    size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->pos) png_error(png, "read past the end");
    std::memcpy(out, reader->data + reader->pos, length);
    reader->pos += length;
}

// libpng reports errors by longjmp, which must not cross a C++ object with a
// destructor. Everything between setjmp and the possible jumps therefore
// lives in plain variables; the caller wraps the result afterwards.
HBITMAP DecodeRaw(const png_byte* data, size_t size) {
    MemoryReader reader{data, size, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    HBITMAP volatile bitmap = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        if (bitmap) ::DeleteObject(bitmap);
        delete[] rows;
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    png_set_read_fn(png, &reader, &ReadFromMemory);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    if (depth == 16) png_set_strip_16(png);
    // Palette to RGB, grey below 8 bits to 8, tRNS to a real alpha channel.
    if (colorType == PNG_COLOR_TYPE_PALETTE || (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_expand(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    if ((channels != 3 && channels != 4) || width == 0 || height == 0 || width > 0x7FFF ||
        height > 0x7FFF || png_get_rowbytes(png, info) != width * static_cast<png_uint_32>(channels))
        png_error(png, "unexpected pixel layout");

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = static_cast<LONG>(width);
    bmi.bmiHeader.biHeight = -static_cast<LONG>(height);  // rows run top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = static_cast<WORD>(channels * 8);
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) png_error(png, "no DIB section");

    const size_t stride = (static_cast<size_t>(width) * channels + 3) & ~static_cast<size_t>(3);
    rows = new png_bytep[height];
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = static_cast<png_bytep>(bits) + y * stride;
    png_read_image(png, rows);
    png_read_end(png, nullptr);

    if (channels == 4) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep p = rows[y];
            for (png_uint_32 x = 0; x < width; ++x, p += 4) {
                const unsigned a = p[3];
                p[0] = static_cast<png_byte>(p[0] * a / 255);
                p[1] = static_cast<png_byte>(p[1] * a / 255);
                p[2] = static_cast<png_byte>(p[2] * a / 255);
            }
        }
    }
    ::GdiFlush();
    delete[] rows;
    HBITMAP result = bitmap;
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

}  // namespace

winlib::Bitmap DecodePngToDib(const void* data, size_t size) {
    if (!data || size < 8) return winlib::Bitmap();
    const auto* bytes = static_cast<const png_byte*>(data);
    if (png_sig_cmp(bytes, 0, 8) != 0) return winlib::Bitmap();
    return winlib::Bitmap(DecodeRaw(bytes, size));
}

bool ReadWholeFile(const wchar_t* path, std::string& out) {
    out.clear();
    if (!path || !*path) return false;
    FILE* f = _wfopen(path, L"rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok && size > 0) {
        out.resize(static_cast<size_t>(size));
        ok = std::fread(&out[0], 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}
