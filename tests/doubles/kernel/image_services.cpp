// Classes 26 (image codec) and 93 (notification), with real PNG files:
// decoded by base's libpng reader into the image type of the kernel's
// contract (a 32-bit top-down DIB section, premultiplied alpha), saved with
// libpng. Configuration: [codec] decode=fail | small (a 4 x 4 picture
// instead), save=fail.
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/dib_section.h"
#include "base/png_decoder.h"
#include "base/whole_file.h"
#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"
#include "tests/support/png_writer.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};

HBITMAP NewDib(int width, int height, void** bits) {
    return base::CreateTopDownDib(width, height, 32, bits).Detach();
}

// The decoder gives opaque pictures 24 bits: the contract's type has 32.
HBITMAP To32Bits(HBITMAP image) {
    DIBSECTION dib = {};
    if (!image || ::GetObjectW(image, sizeof(dib), &dib) != sizeof(dib)) return image;
    if (dib.dsBm.bmBitsPixel == 32) return image;
    void* bits = nullptr;
    const int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight;
    HBITMAP wide = NewDib(w, h, &bits);
    HDC from = ::CreateCompatibleDC(nullptr), to = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = ::SelectObject(from, image), oldTo = ::SelectObject(to, wide);
    ::BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
    ::SelectObject(from, oldFrom);
    ::SelectObject(to, oldTo);
    ::DeleteDC(from);
    ::DeleteDC(to);
    ::GdiFlush();
    auto* p = static_cast<BYTE*>(bits);
    for (int i = 0; i < w * h; ++i) p[i * 4 + 3] = 255;
    ::DeleteObject(image);
    return wide;
}

HBITMAP Decode(const void* data, size_t size) {
    if (Config(L"codec", L"decode", L"") == L"fail") return nullptr;
    if (Config(L"codec", L"decode", L"") == L"small") {
        void* bits = nullptr;
        return NewDib(4, 4, &bits);
    }
    return To32Bits(base::DecodePngToDib(data, size).Detach());
}

std::wstring SizeText(HBITMAP image) {
    BITMAP bm = {};
    if (!image || !::GetObjectW(image, sizeof(bm), &bm)) return L"null";
    return std::to_wstring(bm.bmWidth) + L"x" + std::to_wstring(bm.bmHeight);
}

// RGBA rows from the premultiplied BGRA of a 32-bit DIB section.
bool Pixels(HBITMAP image, int* width, int* height, std::vector<png_byte>* rgba) {
    DIBSECTION dib = {};
    if (!image || ::GetObjectW(image, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits)
        return false;
    ::GdiFlush();
    *width = dib.dsBm.bmWidth;
    *height = dib.dsBm.bmHeight;
    rgba->resize(static_cast<size_t>(*width) * *height * 4);
    // Top-down by the contract (GetObject reports every height positive).
    for (int y = 0; y < *height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(dib.dsBm.bmBits) + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes;
        for (int x = 0; x < *width; ++x) {
            const BYTE* p = row + x * 4;
            png_byte* q = rgba->data() + (static_cast<size_t>(y) * *width + x) * 4;
            const unsigned a = p[3];
            q[0] = static_cast<png_byte>(a ? (p[2] * 255u + a / 2) / a > 255 ? 255 : (p[2] * 255u + a / 2) / a : 0);
            q[1] = static_cast<png_byte>(a ? (p[1] * 255u + a / 2) / a > 255 ? 255 : (p[1] * 255u + a / 2) / a : 0);
            q[2] = static_cast<png_byte>(a ? (p[0] * 255u + a / 2) / a > 255 ? 255 : (p[0] * 255u + a / 2) / a : 0);
            q[3] = static_cast<png_byte>(a);
        }
    }
    return true;
}

bool WriteRgbaPng(const wchar_t* path, int width, int height, const png_byte* rgba) {
    const std::string bytes = testsupport::EncodeRgbaPng(width, height, rgba);
    if (bytes.empty()) return false;
    FILE* file = ::_wfopen(path, L"wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool SavePng(HBITMAP image, const wchar_t* path) {
    int width = 0, height = 0;
    std::vector<png_byte> rgba;
    return path && Pixels(image, &width, &height, &rgba) && WriteRgbaPng(path, width, height, rgba.data());
}

HBITMAP BEX_CALL CodecDecode(k::ImageCodec*, const void* data, int size) {
    HBITMAP image = data && size > 0 ? Decode(data, static_cast<size_t>(size)) : nullptr;
    Log(L"26.3 " + SizeText(image));
    return image;
}

int BEX_CALL CodecSave(k::ImageCodec*, HBITMAP image, const wchar_t* path) {
    Log(L"26.4 " + SizeText(image) + L" " + (path ? path : L"(null)"));
    if (Config(L"codec", L"save", L"") == L"fail") return 0;
    return SavePng(image, path) ? 1 : 0;
}

HBITMAP BEX_CALL NotificationImage(k::Notification*, const wchar_t* pngPath) {
    Log(std::wstring(L"93.6 ") + (pngPath ? pngPath : L"(null)"));
    std::string bytes;
    if (!pngPath || !base::ReadWholeFile(pngPath, bytes)) return nullptr;
    return To32Bits(base::DecodePngToDib(bytes.data(), bytes.size()).Detach());
}

// Logs the images' sizes and the path; the images are saved beside the
// path as "<path>.93-<n>.png" for inspection. The caller keeps them.
int BEX_CALL NotificationShow(k::Notification*, HBITMAP* images, int count, const wchar_t* path) {
    std::wstring line = L"93.7 " + std::to_wstring(count);
    for (int i = 0; images && i < count && i < 8; ++i) {
        line += L" " + SizeText(images[i]);
        if (path && images[i])
            SavePng(images[i], (std::wstring(path) + L".93-" + std::to_wstring(i) + L".png").c_str());
    }
    Log(line + L" " + (path ? path : L"(null)"));
    return 1;
}

}  // namespace

IBexPlugin* MakeImageCodec() {
    static const SlotTable<k::image_codec::Of> table = [] {
        SlotTable<k::image_codec::Of> t;
        t.Set(k::image_codec::kDecode, &CodecDecode);
        t.Set(k::image_codec::kSave, &CodecSave);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kImageCodec));
}

IBexPlugin* MakeNotification() {
    static const SlotTable<k::notification::Of> table = [] {
        SlotTable<k::notification::Of> t;
        t.Set(k::notification::kImageFromFile, &NotificationImage);
        t.Set(k::notification::kShow, &NotificationShow);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kNotification));
}

}  // namespace standin
