#include "base/png_decoder.h"

#include <png.h>

#include <cstring>

#include "base/dib_section.h"

namespace base {

namespace {

constexpr size_t kSignatureSize = 8;

// png_image keeps its reader until it is freed, also after a failure.
class PngImage {
public:
    PngImage() {
        std::memset(&image_, 0, sizeof(image_));
        image_.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&image_); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;

    png_image& Get() { return image_; }

    bool Begin(const void* data, size_t size) {
        if (!data || size < kSignatureSize) return false;
        if (png_sig_cmp(static_cast<png_const_bytep>(data), 0, kSignatureSize) != 0) return false;
        if (!png_image_begin_read_from_memory(&image_, data, size)) return false;
        return image_.width > 0 && image_.height > 0 && image_.width <= kPngMaxSide &&
               image_.height <= kPngMaxSide;
    }

private:
    png_image image_;
};

size_t DibStride(uint32_t width, uint32_t channels) {
    return (static_cast<size_t>(width) * channels + 3) & ~static_cast<size_t>(3);
}

void Premultiply(uint8_t* bits, uint32_t width, uint32_t height, size_t stride) {
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* p = bits + y * stride;
        for (uint32_t x = 0; x < width; ++x, p += 4) {
            const unsigned a = p[3];
            p[0] = static_cast<uint8_t>(p[0] * a / 255);
            p[1] = static_cast<uint8_t>(p[1] * a / 255);
            p[2] = static_cast<uint8_t>(p[2] * a / 255);
        }
    }
}

// 16-bit samples read as they are stored (linear in, linear out, so
// nothing is converted) and cut to their high byte. With an alpha channel
// libpng hands the colours premultiplied already.
base::Bitmap DibFromSixteenBit(png_image& image, bool alpha) {
    const uint32_t channels = alpha ? 4 : 3;
    if (!PngSizeAllowed(image.width, image.height, channels * 2)) return base::Bitmap();
    image.format = alpha ? PNG_FORMAT_LINEAR_RGB_ALPHA : PNG_FORMAT_LINEAR_RGB;
    std::vector<png_uint_16> samples(static_cast<size_t>(image.width) * image.height * channels);
    if (!png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr)) return base::Bitmap();
    void* bits = nullptr;
    base::Bitmap bitmap = CreateTopDownDib(static_cast<int>(image.width), static_cast<int>(image.height),
                                             static_cast<WORD>(channels * 8), &bits);
    if (!bitmap) return bitmap;
    const size_t stride = DibStride(image.width, channels);
    const png_uint_16* in = samples.data();
    for (uint32_t y = 0; y < image.height; ++y) {
        uint8_t* out = static_cast<uint8_t*>(bits) + y * stride;
        for (uint32_t x = 0; x < image.width; ++x, in += channels, out += channels) {
            out[0] = static_cast<uint8_t>(in[2] >> 8);
            out[1] = static_cast<uint8_t>(in[1] >> 8);
            out[2] = static_cast<uint8_t>(in[0] >> 8);
            if (alpha) out[3] = static_cast<uint8_t>(in[3] >> 8);
        }
    }
    ::GdiFlush();
    return bitmap;
}

}  // namespace

bool PngSizeAllowed(uint32_t width, uint32_t height, uint32_t bytesPerPixel) {
    if (width == 0 || height == 0 || width > kPngMaxSide || height > kPngMaxSide) return false;
    return static_cast<uint64_t>(width) * height * bytesPerPixel <= kPngMaxDecodedBytes;
}

bool DecodePngPixels(const void* data, size_t size, PngPixels& out) {
    out = PngPixels();
    PngImage reader;
    if (!reader.Begin(data, size)) return false;
    png_image& image = reader.Get();
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA;
    if (!PngSizeAllowed(image.width, image.height, 4)) return false;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.hasAlpha = alpha;
    out.bgra = std::move(pixels);
    return true;
}

base::Bitmap DecodePngToDib(const void* data, size_t size) {
    PngImage reader;
    if (!reader.Begin(data, size)) return base::Bitmap();
    png_image& image = reader.Get();
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if ((image.format & PNG_FORMAT_FLAG_LINEAR) != 0) return DibFromSixteenBit(image, alpha);

    const uint32_t channels = alpha ? 4 : 3;
    if (!PngSizeAllowed(image.width, image.height, channels)) return base::Bitmap();
    image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    void* bits = nullptr;
    base::Bitmap bitmap = CreateTopDownDib(static_cast<int>(image.width), static_cast<int>(image.height),
                                             static_cast<WORD>(channels * 8), &bits);
    if (!bitmap) return bitmap;
    const size_t stride = DibStride(image.width, channels);
    // The rows go straight into the section; its stride is in bytes, which
    // for 8-bit samples is what libpng counts in.
    if (!png_image_finish_read(&image, nullptr, bits, static_cast<png_int_32>(stride), nullptr))
        return base::Bitmap();
    if (alpha) Premultiply(static_cast<uint8_t*>(bits), image.width, image.height, stride);
    ::GdiFlush();
    return bitmap;
}

}  // namespace base
