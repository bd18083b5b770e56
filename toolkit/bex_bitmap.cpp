#include "toolkit/bex_bitmap.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/png_decoder.h"
#include "base/whole_file.h"

namespace toolkit {

namespace {

// The memory DC outlives every bitmap that is blitted through it: it is made
// on first use and released at exit after the skin set.
base::MemoryDc& SharedDc() {
    static base::MemoryDc dc = [] {
        base::WindowDc screen(nullptr);
        return base::MemoryDc(::CreateCompatibleDC(screen.Get()));
    }();
    return dc;
}

HINSTANCE ResourceModule() { return ::GetModuleHandleW(nullptr); }

base::Bitmap LoadPngResource(UINT id) {
    HINSTANCE module = ResourceModule();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!info) return base::Bitmap();
    HGLOBAL data = ::LoadResource(module, info);
    if (!data) return base::Bitmap();
    const void* bytes = ::LockResource(data);
    const DWORD size = ::SizeofResource(module, info);
    base::Bitmap bitmap = bytes ? base::DecodePngToDib(bytes, size) : base::Bitmap();
    ::FreeResource(data);
    return bitmap;
}

const BLENDFUNCTION kAlphaBlend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

}  // namespace

HINSTANCE BexResourceModule() { return ResourceModule(); }
HDC BexMemoryDc() { return SharedDc().Get(); }

// ---------------------------------------------------------------------------
// CBexBitmap

CBexBitmap::CBexBitmap(UINT resourceId, BYTE kind, WORD frames)
    : resourceId_(resourceId), frameCount_(frames ? frames : 1), kind_(kind) {}

CBexBitmap::CBexBitmap(const wchar_t* path, BYTE kind, WORD frames)
    : path_(path ? path : L""), frameCount_(frames ? frames : 1), kind_(kind) {
    // An empty name still must not be taken for resource 0.
    if (path_.empty()) loaded_ = true;
}

CBexBitmap::CBexBitmap(base::Bitmap bitmap, BYTE kind, WORD frames)
    : bitmap_(std::move(bitmap)), frameCount_(frames ? frames : 1), kind_(kind), loaded_(true) {
    Measure();
}

CBexBitmap::CBexBitmap(HICON sharedIcon, int cx, int cy)
    : icon_(sharedIcon), frameCount_(1), alpha_(1), kind_(kBexKindIcon), loaded_(true) {
    if (icon_) {
        frameWidth_ = cx;
        height_ = cy;
    }
}

CBexBitmap::~CBexBitmap() = default;

void CBexBitmap::Unload() {
    bitmap_.Reset();
    frameWidth_ = height_ = 0;
    alpha_ = 0;
    loaded_ = kind_ == kBexKindIcon;
}

bool CBexBitmap::Load() {
    if (loaded_ || bitmap_) return bitmap_.Valid() || icon_ != nullptr;
    loaded_ = true;
    if (kind_ == kBexKindBmp) {
        UINT flags = LR_CREATEDIBSECTION;
        HINSTANCE module = nullptr;
        const wchar_t* name = nullptr;
        if (path_.empty()) {
            module = ResourceModule();
            name = MAKEINTRESOURCEW(resourceId_);
        } else {
            flags |= LR_LOADFROMFILE;
            name = path_.c_str();
        }
        bitmap_.Reset(static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0, flags)));
    } else if (kind_ == kBexKindPng) {
        if (!path_.empty()) {
            std::string bytes;
            if (base::ReadWholeFile(path_.c_str(), bytes))
                bitmap_ = base::DecodePngToDib(bytes.data(), bytes.size());
        } else {
            bitmap_ = LoadPngResource(resourceId_);
        }
    }
    // Icons are only ever wrapped, never loaded by name: a path of kind 0
    // loads nothing.
    Measure();
    if (!bitmap_ && kind_ != kBexKindIcon)
        base::LogLine(L"picture not loaded", path_.empty() ? L"resource " + std::to_wstring(resourceId_) : path_);
    return bitmap_.Valid();
}

void CBexBitmap::Measure() {
    BITMAP info{};
    if (bitmap_ && ::GetObjectW(bitmap_.Get(), sizeof(info), &info) == sizeof(info)) {
        height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        frameWidth_ = info.bmWidth / frameCount_;
        alpha_ = info.bmBitsPixel == 32 ? 1 : 0;
    } else {
        frameWidth_ = height_ = 0;
        alpha_ = 0;
    }
}

void CBexBitmap::Blit(HDC dc, int dx, int dy, int dw, int dh, int frame, int sx, int sy, int sw,
                      int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !ValidFrame(frame) || !bitmap_) return;
    HDC mem = BexMemoryDc();
    if (!mem) return;
    base::SelectObjectScope select(mem, bitmap_.Get());
    const int x = frame * frameWidth_ + sx;
    if (alpha_) {
        ::AlphaBlend(dc, dx, dy, dw, dh, mem, x, sy, sw, sh, kAlphaBlend);
    } else if (dw == sw && dh == sh) {
        ::BitBlt(dc, dx, dy, dw, dh, mem, x, sy, SRCCOPY);
    } else {
        const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, dx, dy, dw, dh, mem, x, sy, sw, sh, SRCCOPY);
        ::SetStretchBltMode(dc, oldMode);
    }
}

void CBexBitmap::Draw(HDC dc, int x, int y, int cx, int cy, int frame) {
    Load();
    if (kind_ == kBexKindIcon) {
        if (icon_ && frame == 0) ::DrawIconEx(dc, x, y, icon_, cx, cy, 0, nullptr, DI_NORMAL);
        return;
    }
    Blit(dc, x, y, cx, cy, frame, 0, 0, frameWidth_, height_);
}

void CBexBitmap::DrawFixed(HDC dc, int x, int y, int cx, int frame) {
    Load();
    Draw(dc, x, y, cx, height_, frame);
}

// ---------------------------------------------------------------------------
// Nine-part and three-part

CBexBitmap9Part::CBexBitmap9Part(UINT resourceId, BYTE kind, int left, int right, int top,
                                 int bottom)
    : CBexBitmap(resourceId, kind, 1), left_(left), right_(right), top_(top), bottom_(bottom) {}

CBexBitmap9Part::CBexBitmap9Part(const wchar_t* path, BYTE kind, int left, int right, int top,
                                 int bottom)
    : CBexBitmap(path, kind, 1), left_(left), right_(right), top_(top), bottom_(bottom) {}

void CBexBitmap9Part::Draw(HDC dc, int x, int y, int cx, int cy, int frame) {
    if (!Load()) return;
    const int W = FrameWidth(), H = Height();
    const int L = left_, R = right_, T = top_, B = bottom_;
    const int MW = cx - L - (W - R);
    const int MH = cy - T - (H - B);
    const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    // Drawn smaller than its margins, a middle size turns negative: those
    // pieces are left out rather than blitted mirrored.
    // Top row.
    Blit(dc, x, y, L, T, frame, 0, 0, L, T);
    Blit(dc, x + L, y, MW, T, frame, L, 0, R - L, T);
    Blit(dc, x + L + std::max(MW, 0), y, W - R, T, frame, R, 0, W - R, T);
    // Middle row.
    const int my = y + T;
    Blit(dc, x, my, L, MH, frame, 0, T, L, B - T);
    Blit(dc, x + L, my, MW, MH, frame, L, T, R - L, B - T);
    Blit(dc, x + L + std::max(MW, 0), my, W - R, MH, frame, R, T, W - R, B - T);
    // Bottom row.
    const int by = y + T + std::max(MH, 0);
    Blit(dc, x, by, L, H - B, frame, 0, B, L, H - B);
    Blit(dc, x + L, by, MW, H - B, frame, L, B, R - L, H - B);
    Blit(dc, x + L + std::max(MW, 0), by, W - R, H - B, frame, R, B, W - R, H - B);
    ::SetStretchBltMode(dc, oldMode);
}

CBexBitmapHorizen3Part::CBexBitmapHorizen3Part(UINT resourceId, BYTE kind, WORD frames)
    : CBexBitmap(resourceId, kind, frames) {}

CBexBitmapHorizen3Part::CBexBitmapHorizen3Part(const wchar_t* path, BYTE kind, WORD frames)
    : CBexBitmap(path, kind, frames) {}

void CBexBitmapHorizen3Part::DrawFixed(HDC dc, int x, int y, int cx, int frame) {
    if (!Load()) return;
    const int W = FrameWidth(), H = Height();
    const int middle = cx - kLeftEnd - (W - kRightStart);
    Blit(dc, x, y, kLeftEnd, H, frame, 0, 0, kLeftEnd, H);
    Blit(dc, x + kLeftEnd, y, middle, H, frame, kLeftEnd, 0, kRightStart - kLeftEnd, H);
    Blit(dc, x + kLeftEnd + std::max(middle, 0), y, W - kRightStart, H, frame, kRightStart, 0,
         W - kRightStart, H);
}

// ---------------------------------------------------------------------------
// Free functions

void DrawImageFrame(CBexBitmap* bitmap, HDC dc, int x, int y, int frame) {
    if (!bitmap) return;
    bitmap->Load();
    bitmap->Draw(dc, x, y, bitmap->FrameWidth(), bitmap->Height(), frame);
}

int MeasureText(HFONT font, int length, const wchar_t* text, SIZE* size) {
    SIZE local{};
    SIZE* out = size ? size : &local;
    *out = SIZE{};
    HDC dc = BexMemoryDc();
    if (!dc || !text) return 0;
    const int count = length < 0 ? static_cast<int>(wcslen(text)) : length;
    base::SelectObjectScope select(dc, font ? static_cast<HGDIOBJ>(font)
                                              : ::GetStockObject(DEFAULT_GUI_FONT));
    if (!::GetTextExtentPoint32W(dc, text, count, out)) {
        *out = SIZE{};
        return 0;
    }
    return out->cx;
}

const wchar_t* BexUiFontFace(DWORD version) {
    const bool nt = (version & 0x80000000u) == 0;
    const DWORD major = version & 0xFF;
    return nt && major == 6 ? L"微软雅黑" : L"Tahoma";
}

namespace {

struct FontTable {
    base::Font fonts[9];
    base::Font tahomaLarge;
    base::Font verdanaClock;

    FontTable() {
        LOGFONTW base{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(base), &base);
        LOGFONTW ui = base;
        lstrcpynW(ui.lfFaceName, BexUiFontFace(::GetVersion()), LF_FACESIZE);
        static const struct {
            LONG height;
            LONG weight;  // 0: that of the stock font
        } kTable[9] = {{0, 0}, {-11, 0}, {-11, 700}, {-12, 400}, {-12, 700},
                       {-13, 400}, {-13, 700}, {-16, 400}, {-16, 700}};
        for (int i = 1; i <= 8; ++i) {
            LOGFONTW lf = ui;
            lf.lfHeight = kTable[i].height;
            lf.lfWeight = kTable[i].weight ? kTable[i].weight : base.lfWeight;
            fonts[i].Reset(::CreateFontIndirectW(&lf));
        }
        LOGFONTW lf = base;
        lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
        lf.lfHeight = -22;
        lf.lfWeight = 400;
        tahomaLarge.Reset(::CreateFontIndirectW(&lf));
        lf = base;
        lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
        lf.lfHeight = -20;
        lf.lfWeight = 700;
        verdanaClock.Reset(::CreateFontIndirectW(&lf));
    }
};

FontTable& Fonts() {
    static FontTable table;
    return table;
}

struct SkinRegistration {
    BexSkinSet set;
    std::vector<BexSkinPicture> pictures;
};

SkinRegistration& Registration() {
    static SkinRegistration registration;
    return registration;
}

struct SkinSet {
    std::vector<std::unique_ptr<CBexBitmap>> bitmaps;
    std::unique_ptr<CBexBitmap> appIcon;

    SkinSet() {
        // The memory DC must outlive the bitmaps that are selected into it.
        SharedDc();
        Fill();
    }

    void Fill() {
        bitmaps.clear();
        appIcon.reset();
        const SkinRegistration& registration = Registration();
        for (const BexSkinPicture& p : registration.pictures) {
            switch (p.cut) {
            case BexSkinPicture::kNinePart:
                bitmaps.push_back(
                    std::make_unique<CBexBitmap9Part>(p.resourceId, kBexKindPng, p.left, p.right, p.top, p.bottom));
                break;
            case BexSkinPicture::kThreePart:
                bitmaps.push_back(std::make_unique<CBexBitmapHorizen3Part>(p.resourceId, kBexKindPng, p.frames));
                break;
            case BexSkinPicture::kWhole:
                bitmaps.push_back(std::make_unique<CBexBitmap>(p.resourceId, kBexKindPng, p.frames));
                break;
            }
        }
        if (registration.set.appIconId == 0) return;
        if (HICON icon = ::LoadIconW(ResourceModule(), MAKEINTRESOURCEW(registration.set.appIconId)))
            appIcon = std::make_unique<CBexBitmap>(icon, 16, 16);
    }
};

bool g_skinMade = false;

SkinSet& Skin() {
    static SkinSet skin;
    g_skinMade = true;
    return skin;
}

}  // namespace

HFONT BexFont(int number) {
    if (number < 1 || number > 8) return nullptr;
    return Fonts().fonts[number].Get();
}

HFONT BexTahomaLargeFont() { return Fonts().tahomaLarge.Get(); }
HFONT BexVerdanaClockFont() { return Fonts().verdanaClock.Get(); }

CBexBitmap* BexSkinBitmap(UINT resourceId) {
    for (auto& bitmap : Skin().bitmaps)
        if (bitmap->ResourceId() == resourceId) return bitmap.get();
    return nullptr;
}

CBexBitmap* BexAppIcon() { return Skin().appIcon.get(); }

void RegisterBexSkinSet(const BexSkinSet& set) {
    SkinRegistration& registration = Registration();
    registration.pictures.assign(set.pictures, set.pictures + (set.pictures ? set.count : 0));
    registration.set = set;
    registration.set.pictures = nullptr;
    registration.set.count = registration.pictures.size();
    if (g_skinMade) Skin().Fill();
}

const BexSkinSet& RegisteredBexSkinSet() { return Registration().set; }

}  // namespace toolkit
