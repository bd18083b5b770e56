#include "plugins/setup/count_badge.h"

#include <string>
#include <vector>

#include "base/dib_section.h"

namespace setup {

namespace {

constexpr int kCap = 7;  // the badge's rounded ends, never stretched

// The 32-bit DIB section behind `image` (top-down by the kernel's contract:
// GetObject does not tell); false for anything else.
bool DibOf(HBITMAP image, DIBSECTION* dib) {
    return image && ::GetObjectW(image, sizeof(*dib), dib) == sizeof(*dib) && dib->dsBm.bmBitsPixel == 32 &&
           dib->dsBm.bmBits;
}

BYTE* PixelAt(const DIBSECTION& dib, int x, int y) {
    return static_cast<BYTE*>(dib.dsBm.bmBits) + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes + x * 4;
}

base::Font BadgeFont() {
    return base::Font(::CreateFontW(-10, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size = {};
    return ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) ? size.cx : 0;
}

void Blend(HDC to, int x, int width, HDC from, int fromX, int fromWidth) {
    if (width <= 0 || fromWidth <= 0) return;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(to, x, 0, width, kBadgeHeight, from, fromX, 0, fromWidth, kBadgeHeight, blend);
}

// The badge at `width` from `x`, then the count centred on it; the pixels
// the text changed become opaque.
void DrawBadgeAt(HDC dc, const DIBSECTION& dib, int x, int width, HDC badge, const std::wstring& text,
                 HFONT font) {
    if (width == kBadgeWidth) {
        Blend(dc, x, width, badge, 0, kBadgeWidth);
    } else {
        const int middle = width - 2 * kCap > 0 ? width - 2 * kCap : 0;
        Blend(dc, x, kCap, badge, 0, kCap);
        Blend(dc, x + kCap, middle, badge, kCap, kBadgeWidth - 2 * kCap);
        Blend(dc, x + kCap + middle, kCap, badge, kBadgeWidth - kCap, kCap);
    }
    ::GdiFlush();
    const int right = x + width < dib.dsBm.bmWidth ? x + width : dib.dsBm.bmWidth;
    const int bottom = kBadgeHeight < dib.dsBm.bmHeight ? kBadgeHeight : dib.dsBm.bmHeight;
    std::vector<DWORD> before;
    for (int y = 0; y < bottom; ++y)
        for (int px = x; px < right; ++px) before.push_back(*reinterpret_cast<DWORD*>(PixelAt(dib, px, y)));

    base::SelectObjectScope selectFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT box = {x, 0, x + width, kBadgeHeight};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::GdiFlush();
    size_t i = 0;
    for (int y = 0; y < bottom; ++y) {
        for (int px = x; px < right; ++px, ++i) {
            BYTE* p = PixelAt(dib, px, y);
            if ((*reinterpret_cast<DWORD*>(p) & 0x00FFFFFF) != (before[i] & 0x00FFFFFF)) p[3] = 255;
        }
    }
}

struct BadgeDcs {
    base::MemoryDc image{::CreateCompatibleDC(nullptr)};
    base::MemoryDc badge{::CreateCompatibleDC(nullptr)};
    base::Font font = BadgeFont();
    bool Ok() const { return image.Valid() && badge.Valid() && font.Valid(); }
};

bool IsBadgePicture(HBITMAP badge) {
    DIBSECTION dib = {};
    return DibOf(badge, &dib) && dib.dsBm.bmWidth == kBadgeWidth && dib.dsBm.bmHeight == kBadgeHeight;
}

}  // namespace

int CountStripWidth(long count) {
    if (!IsBadgeCount(count)) return 0;
    return count < 10 ? 15 : count < 100 ? 22 : count < 1000 ? 30 : 36;
}

base::Bitmap NewImage(int width, int height) {
    // A DIB section starts zeroed: fully transparent.
    return base::CreateTopDownDib(width, height, 32);
}

base::Bitmap IconImage(HICON icon, int size) {
    if (!icon) return base::Bitmap();
    base::Bitmap image = NewImage(size, size);
    base::MemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!image.Valid() || !dc.Valid()) return base::Bitmap();
    base::SelectObjectScope select(dc.Get(), image.Get());
    if (!::DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) return base::Bitmap();
    ::GdiFlush();
    return image;
}

bool DrawCountBadge(HBITMAP image, long count, HBITMAP badge) {
    DIBSECTION dib = {};
    if (!IsBadgeCount(count) || !DibOf(image, &dib) || !IsBadgePicture(badge)) return false;
    BadgeDcs dcs;
    if (!dcs.Ok()) return false;
    base::SelectObjectScope selectImage(dcs.image.Get(), image);
    base::SelectObjectScope selectBadge(dcs.badge.Get(), badge);
    const std::wstring text = std::to_wstring(count);
    const int imageWidth = dib.dsBm.bmWidth;
    int width = kBadgeWidth;
    if (count >= 10) {
        base::SelectObjectScope selectFont(dcs.image.Get(), dcs.font.Get());
        width += TextWidth(dcs.image.Get(), text) - TextWidth(dcs.image.Get(), L"1");
    }
    if (width > imageWidth) width = imageWidth;
    if (width < 0) width = 0;
    DrawBadgeAt(dcs.image.Get(), dib, imageWidth - width, width, dcs.badge.Get(), text, dcs.font.Get());
    return true;
}

base::Bitmap MakeCountStrip(long count, HBITMAP badge) {
    const int width = CountStripWidth(count);
    if (width == 0 || !IsBadgePicture(badge)) return base::Bitmap();
    base::Bitmap strip = NewImage(width, kBadgeHeight);
    DIBSECTION dib = {};
    BadgeDcs dcs;
    if (!strip.Valid() || !DibOf(strip.Get(), &dib) || !dcs.Ok()) return base::Bitmap();
    {
        base::SelectObjectScope selectImage(dcs.image.Get(), strip.Get());
        base::SelectObjectScope selectBadge(dcs.badge.Get(), badge);
        DrawBadgeAt(dcs.image.Get(), dib, 0, width, dcs.badge.Get(), std::to_wstring(count), dcs.font.Get());
    }
    return strip;
}

}  // namespace setup
