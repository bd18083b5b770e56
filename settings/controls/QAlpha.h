// The settings program's in-memory skin picture: a device-independent
// bitmap of 24 bits (no alpha) or 32 bits with straight or premultiplied
// alpha, decoded from PNG data, copied between modes and drawn with alpha.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/handles.h"

namespace settings {

enum TAlphaMode : uint8_t { amNone = 0, amStraight = 1, amPremultiplied = 2 };

// PNG data decoded once, before it becomes a picture: straight 8-bit BGRA
// rows, top down, and the colour type the file declared.
struct TPngData {
    int Width = 0;
    int Height = 0;
    int ColorType = -1;
    std::vector<uint8_t> Bgra;  // Width * Height * 4, straight alpha
};

// False for anything that is not a complete, decodable PNG.
bool DecodePng(const void* data, size_t size, TPngData& out);

class TQRGBA {
public:
    TQRGBA() = default;
    TQRGBA(const TQRGBA& other) { Assign(other); }
    TQRGBA& operator=(const TQRGBA& other) {
        if (this != &other) Assign(other);
        return *this;
    }
    TQRGBA(TQRGBA&& other) noexcept { Swap(other); }
    TQRGBA& operator=(TQRGBA&& other) noexcept {
        if (this != &other) {
            TQRGBA gone(std::move(other));
            Swap(gone);
        }
        return *this;
    }
    void Swap(TQRGBA& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    TAlphaMode AlphaMode() const { return mode_; }
    int BitsPerPixel() const { return mode_ == amNone ? 24 : 32; }

    // A different mode changes the pixel format: 24 bits for amNone, 32 for
    // the others. Colours are kept; pixels that gain an alpha channel are
    // opaque.
    void SetAlphaMode(TAlphaMode mode);
    // Sizes the picture in its present mode; the pixels become 0 (black,
    // and fully transparent in the 32-bit modes). False when no bitmap
    // could be made.
    bool SetSize(int width, int height);
    void Clear();  // back to empty, mode kept

    // Mode and pixels of `other`.
    void Assign(const TQRGBA& other);
    // Any other bitmap: mode amNone and its pixels.
    bool AssignBitmap(HBITMAP bitmap);

    // Premultiplied from PNG data; false (picture left empty) when the data
    // is no PNG.
    bool LoadFromPngStream(const void* data, size_t size);
    bool LoadFromPngStream(const std::string& data) { return LoadFromPngStream(data.data(), data.size()); }

    // Copies a rectangle of `source` to (destX, destY). An empty picture is
    // first sized to width x height and the destination becomes (0, 0).
    // Converting copies clip both rectangles and honour the clip rectangle.
    void CopyFrom(int destX, int destY, int height, int width, int srcY, int srcX, const TQRGBA& source);

    // Fills the whole picture with one colour and alpha (straight values;
    // premultiplied pictures store them multiplied).
    void Fill(COLORREF color, uint8_t alpha);

    // The rectangle outside of which converting copies leave pixels alone;
    // none by default.
    void SetClipRect(const RECT* clip);
    bool HasClipRect() const { return hasClip_; }
    const RECT& ClipRect() const { return clip_; }

    HBITMAP Handle() const { return bitmap_.Get(); }
    uint8_t* Bits() { return bits_; }
    const uint8_t* Bits() const { return bits_; }
    int Stride() const { return stride_; }
    // 0xAARRGGBB as stored (alpha 0xFF for 24-bit pictures); 0 outside.
    uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t argb);

    // Raised when the picture was decoded anew.
    std::function<void()> OnChange;

private:
    bool Allocate(int width, int height, TAlphaMode mode);

    base::Bitmap bitmap_;
    uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    TAlphaMode mode_ = amNone;
    bool hasClip_ = false;
    RECT clip_{};
};

// Puts decoded PNG pixels into `image`: a PNG without an alpha channel
// (colour type other than 6) makes the picture amNone.
void PngToRGBA(const TPngData& png, TQRGBA& image);

// Both rectangles cut to both pictures and to the destination's clip
// rectangle; false when nothing is left to copy.
bool ClipCopyRects(int& destX, int& destY, int& width, int& height, int& srcX, int& srcY, const TQRGBA& dest,
                   const TQRGBA& source);

// Alpha outside 0..255 means 255. The source rectangle is cut to the
// picture; false when nothing was drawn.
bool DrawRGBA(HDC dc, int x, int y, int alpha, int height, int width, int srcY, int srcX, const TQRGBA& image);
bool StretchDrawRGBA(HDC dc, int x, int y, int alpha, int srcHeight, int srcWidth, int srcY, int srcX,
                     const TQRGBA& image, int destHeight, int destWidth);
// The whole picture at its own size.
inline bool DrawRGBA(HDC dc, int x, int y, const TQRGBA& image, int alpha = 255) {
    return DrawRGBA(dc, x, y, alpha, image.Height(), image.Width(), 0, 0, image);
}

// A memory DC with the picture selected for the life of the object, so
// GDI can draw into it.
class TImageDc {
public:
    explicit TImageDc(const TQRGBA& image);
    ~TImageDc();
    TImageDc(const TImageDc&) = delete;
    TImageDc& operator=(const TImageDc&) = delete;
    HDC Get() const { return dc_.Get(); }
    explicit operator bool() const { return dc_.Valid() && old_ != nullptr; }

private:
    base::MemoryDc dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace settings
