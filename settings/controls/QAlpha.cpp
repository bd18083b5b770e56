#include "settings/controls/QAlpha.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/dib_section.h"
#include "base/png_decoder.h"

namespace settings {

namespace {

// Offset of the colour type byte: signature, chunk length and type, width,
// height, bit depth.
constexpr size_t kColorTypeOffset = 8 + 4 + 4 + 4 + 4 + 1;

int ClampAlpha(int alpha) {
    return alpha < 0 || alpha > 255 ? 255 : alpha;
}

uint8_t Premultiply(uint8_t channel, uint8_t alpha) {
    return static_cast<uint8_t>(channel * alpha / 255);
}

// Nothing can be recovered from a fully transparent pixel: it stays black.
uint8_t Unpremultiply(uint8_t channel, uint8_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<uint8_t>(std::min(255, channel * 255 / alpha));
}

struct Bgra {
    uint8_t b, g, r, a;
};

Bgra ReadPixel(const TQRGBA& image, int x, int y) {
    const uint8_t* p = image.Bits() + static_cast<size_t>(y) * image.Stride() + x * (image.BitsPerPixel() / 8);
    return Bgra{p[0], p[1], p[2], image.AlphaMode() == amNone ? static_cast<uint8_t>(255) : p[3]};
}

void WritePixel(TQRGBA& image, int x, int y, const Bgra& px) {
    uint8_t* p = image.Bits() + static_cast<size_t>(y) * image.Stride() + x * (image.BitsPerPixel() / 8);
    p[0] = px.b;
    p[1] = px.g;
    p[2] = px.r;
    if (image.AlphaMode() != amNone) p[3] = px.a;
}

// One pixel from the source's form into the destination's.
Bgra Convert(Bgra px, TAlphaMode from, TAlphaMode to) {
    if (from == to) return px;
    if (from == amStraight && to == amPremultiplied)
        return Bgra{Premultiply(px.b, px.a), Premultiply(px.g, px.a), Premultiply(px.r, px.a), px.a};
    if (from == amPremultiplied && to == amStraight)
        return Bgra{Unpremultiply(px.b, px.a), Unpremultiply(px.g, px.a), Unpremultiply(px.r, px.a), px.a};
    if (from == amNone) return Bgra{px.b, px.g, px.r, 255};
    return px;  // into a 24-bit picture the alpha is dropped
}

}  // namespace

bool DecodePng(const void* data, size_t size, TPngData& out) {
    out = TPngData();
    if (!data || size < kColorTypeOffset + 1) return false;
    base::PngPixels pixels;
    if (!base::DecodePngPixels(data, size, pixels)) return false;
    out.Width = pixels.width;
    out.Height = pixels.height;
    out.ColorType = static_cast<const uint8_t*>(data)[kColorTypeOffset];
    out.Bgra = std::move(pixels.bgra);
    return true;
}

bool TQRGBA::Allocate(int width, int height, TAlphaMode mode) {
    bitmap_.Reset();
    bits_ = nullptr;
    width_ = height_ = stride_ = 0;
    mode_ = mode;
    if (width <= 0 || height <= 0) return width == 0 || height == 0;
    const WORD bitsPerPixel = mode == amNone ? 24 : 32;
    void* bits = nullptr;
    bitmap_ = base::CreateTopDownDib(width, height, bitsPerPixel, &bits);
    if (!bitmap_) return false;
    bits_ = static_cast<uint8_t*>(bits);
    width_ = width;
    height_ = height;
    stride_ = ((width * bitsPerPixel + 31) / 32) * 4;
    std::memset(bits_, 0, static_cast<size_t>(stride_) * height);
    return true;
}

void TQRGBA::Swap(TQRGBA& other) noexcept {
    std::swap(bitmap_, other.bitmap_);
    std::swap(bits_, other.bits_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(stride_, other.stride_);
    std::swap(mode_, other.mode_);
    std::swap(hasClip_, other.hasClip_);
    std::swap(clip_, other.clip_);
    std::swap(OnChange, other.OnChange);
}

void TQRGBA::SetAlphaMode(TAlphaMode mode) {
    if (mode == mode_) return;
    const bool sameFormat = (mode == amNone) == (mode_ == amNone);
    if (sameFormat || Empty()) {
        mode_ = mode;
        if (!sameFormat) Allocate(width_, height_, mode);
        return;
    }
    TQRGBA old(std::move(*this));
    Allocate(old.width_, old.height_, mode);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            Bgra px = ReadPixel(old, x, y);
            if (old.mode_ == amNone) px.a = 255;
            WritePixel(*this, x, y, px);
        }
    hasClip_ = old.hasClip_;
    clip_ = old.clip_;
    OnChange = std::move(old.OnChange);
}

bool TQRGBA::SetSize(int width, int height) {
    return Allocate(width, height, mode_);
}

void TQRGBA::Clear() {
    Allocate(0, 0, mode_);
}

void TQRGBA::Assign(const TQRGBA& other) {
    if (!Allocate(other.width_, other.height_, other.mode_)) return;
    if (bits_ && other.bits_) std::memcpy(bits_, other.bits_, static_cast<size_t>(stride_) * height_);
}

bool TQRGBA::AssignBitmap(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return false;
    if (!Allocate(info.bmWidth, std::abs(info.bmHeight), amNone)) return false;
    base::MemoryDc src(::CreateCompatibleDC(nullptr));
    TImageDc dst(*this);
    if (!src || !dst) return false;
    base::SelectObjectScope select(src.Get(), bitmap);
    return ::BitBlt(dst.Get(), 0, 0, width_, height_, src.Get(), 0, 0, SRCCOPY) != FALSE;
}

bool TQRGBA::LoadFromPngStream(const void* data, size_t size) {
    SetAlphaMode(amPremultiplied);
    TPngData png;
    if (!DecodePng(data, size, png)) {
        Clear();
        return false;
    }
    PngToRGBA(png, *this);
    return !Empty();
}

void PngToRGBA(const TPngData& png, TQRGBA& image) {
    if (png.ColorType != PNG_COLOR_TYPE_RGB_ALPHA) image.SetAlphaMode(amNone);
    if (!image.SetSize(png.Width, png.Height) || image.Empty()) {
        if (image.OnChange) image.OnChange();
        return;
    }
    const TAlphaMode mode = image.AlphaMode();
    for (int y = 0; y < png.Height; ++y) {
        const uint8_t* src = png.Bgra.data() + static_cast<size_t>(y) * png.Width * 4;
        for (int x = 0; x < png.Width; ++x, src += 4) {
            Bgra px{src[0], src[1], src[2], src[3]};
            // A 24-bit picture gets the PNG drawn over its black ground.
            if (mode != amStraight) px = Bgra{Premultiply(px.b, px.a), Premultiply(px.g, px.a), Premultiply(px.r, px.a), px.a};
            WritePixel(image, x, y, px);
        }
    }
    if (image.OnChange) image.OnChange();
}

void TQRGBA::Fill(COLORREF color, uint8_t alpha) {
    Bgra px{GetBValue(color), GetGValue(color), GetRValue(color), alpha};
    if (mode_ == amPremultiplied) px = Convert(px, amStraight, amPremultiplied);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) WritePixel(*this, x, y, px);
}

void TQRGBA::SetClipRect(const RECT* clip) {
    hasClip_ = clip != nullptr;
    clip_ = clip ? *clip : RECT{};
}

uint32_t TQRGBA::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !bits_) return 0;
    const Bgra px = ReadPixel(*this, x, y);
    return (static_cast<uint32_t>(px.a) << 24) | (static_cast<uint32_t>(px.r) << 16) |
           (static_cast<uint32_t>(px.g) << 8) | px.b;
}

void TQRGBA::SetPixel(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !bits_) return;
    WritePixel(*this, x, y,
               Bgra{static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb >> 16),
                    static_cast<uint8_t>(argb >> 24)});
}

bool ClipCopyRects(int& destX, int& destY, int& width, int& height, int& srcX, int& srcY, const TQRGBA& dest,
                   const TQRGBA& source) {
    auto cutLow = [](int& d, int& s, int& size, int low) {
        if (d < low) {
            size -= low - d;
            s += low - d;
            d = low;
        }
    };
    cutLow(destX, srcX, width, 0);
    cutLow(destY, srcY, height, 0);
    cutLow(srcX, destX, width, 0);
    cutLow(srcY, destY, height, 0);
    width = std::min({width, dest.Width() - destX, source.Width() - srcX});
    height = std::min({height, dest.Height() - destY, source.Height() - srcY});
    if (dest.HasClipRect()) {
        const RECT& c = dest.ClipRect();
        cutLow(destX, srcX, width, c.left);
        cutLow(destY, srcY, height, c.top);
        width = std::min<int>(width, c.right - destX);
        height = std::min<int>(height, c.bottom - destY);
    }
    return width > 0 && height > 0;
}

void TQRGBA::CopyFrom(int destX, int destY, int height, int width, int srcY, int srcX, const TQRGBA& source) {
    if (source.Empty()) return;
    if (Empty()) {
        if (width <= 0 || height <= 0 || !SetSize(width, height)) return;
        destX = destY = 0;
    }
    if (!ClipCopyRects(destX, destY, width, height, srcX, srcY, *this, source)) return;
    if (source.mode_ == mode_) {
        const int bytes = BitsPerPixel() / 8;
        for (int y = 0; y < height; ++y)
            std::memcpy(bits_ + static_cast<size_t>(destY + y) * stride_ + destX * bytes,
                        source.bits_ + static_cast<size_t>(srcY + y) * source.stride_ + srcX * bytes,
                        static_cast<size_t>(width) * bytes);
        return;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            WritePixel(*this, destX + x, destY + y, Convert(ReadPixel(source, srcX + x, srcY + y), source.mode_, mode_));
}

TImageDc::TImageDc(const TQRGBA& image) : dc_(::CreateCompatibleDC(nullptr)) {
    if (dc_ && image.Handle()) {
        old_ = ::SelectObject(dc_.Get(), image.Handle());
        if (old_ == HGDI_ERROR) old_ = nullptr;
    }
}

TImageDc::~TImageDc() {
    if (old_) ::SelectObject(dc_.Get(), old_);
}

namespace {

// Cuts the source rectangle to the picture, moving the destination along.
bool ClipSource(int& x, int& y, int& width, int& height, int& srcX, int& srcY, const TQRGBA& image) {
    if (srcX < 0) {
        width += srcX;
        x -= srcX;
        srcX = 0;
    }
    if (srcY < 0) {
        height += srcY;
        y -= srcY;
        srcY = 0;
    }
    width = std::min(width, image.Width() - srcX);
    height = std::min(height, image.Height() - srcY);
    return width > 0 && height > 0;
}

bool Blend(HDC dc, int x, int y, int destWidth, int destHeight, const TQRGBA& image, int srcX, int srcY,
           int srcWidth, int srcHeight, int alpha) {
    TImageDc src(image);
    if (!src) return false;
    const bool stretched = destWidth != srcWidth || destHeight != srcHeight;
    if (image.AlphaMode() == amNone && alpha == 255) {
        if (!stretched) return ::BitBlt(dc, x, y, srcWidth, srcHeight, src.Get(), srcX, srcY, SRCCOPY) != FALSE;
        const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
        const BOOL ok = ::StretchBlt(dc, x, y, destWidth, destHeight, src.Get(), srcX, srcY, srcWidth, srcHeight, SRCCOPY);
        ::SetStretchBltMode(dc, oldMode);
        return ok != FALSE;
    }
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha),
                        static_cast<BYTE>(image.AlphaMode() == amNone ? 0 : AC_SRC_ALPHA)};
    return ::AlphaBlend(dc, x, y, destWidth, destHeight, src.Get(), srcX, srcY, srcWidth, srcHeight, blend) != FALSE;
}

bool DrawAny(HDC dc, int x, int y, int alpha, int srcHeight, int srcWidth, int srcY, int srcX, const TQRGBA& image,
             int destHeight, int destWidth, bool stretch) {
    if (!dc || image.Empty()) return false;
    alpha = ClampAlpha(alpha);
    if (!stretch) {
        if (!ClipSource(x, y, srcWidth, srcHeight, srcX, srcY, image)) return false;
        destWidth = srcWidth;
        destHeight = srcHeight;
    } else {
        int ignoredX = 0, ignoredY = 0;
        if (destWidth <= 0 || destHeight <= 0 || !ClipSource(ignoredX, ignoredY, srcWidth, srcHeight, srcX, srcY, image))
            return false;
    }
    if (image.AlphaMode() == amStraight) {
        TQRGBA premultiplied;
        premultiplied.SetAlphaMode(amPremultiplied);
        premultiplied.CopyFrom(0, 0, srcHeight, srcWidth, srcY, srcX, image);
        return Blend(dc, x, y, destWidth, destHeight, premultiplied, 0, 0, srcWidth, srcHeight, alpha);
    }
    return Blend(dc, x, y, destWidth, destHeight, image, srcX, srcY, srcWidth, srcHeight, alpha);
}

}  // namespace

bool DrawRGBA(HDC dc, int x, int y, int alpha, int height, int width, int srcY, int srcX, const TQRGBA& image) {
    return DrawAny(dc, x, y, alpha, height, width, srcY, srcX, image, height, width, false);
}

bool StretchDrawRGBA(HDC dc, int x, int y, int alpha, int srcHeight, int srcWidth, int srcY, int srcX,
                     const TQRGBA& image, int destHeight, int destWidth) {
    return DrawAny(dc, x, y, alpha, srcHeight, srcWidth, srcY, srcX, image, destHeight, destWidth, true);
}

}  // namespace settings
