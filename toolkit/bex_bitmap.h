// Skin bitmaps: strips of equally wide frames, named by a resource id or a
// file path and decoded on first use, plus the toolkit's process-wide drawing
// resources (one memory DC, the numbered fonts, the skin set).
#pragma once

#include <windows.h>

#include <string>

#include "base/handles.h"

namespace toolkit {

enum BexBitmapKind : BYTE {
    kBexKindIcon = 0,
    kBexKindBmp = 1,
    kBexKindPng = 3,
};

class CBexBitmap {
public:
    // A strip held in the program's resources ("PNG" type for kind 3, a
    // bitmap resource for kind 1).
    CBexBitmap(UINT resourceId, BYTE kind, WORD frames = 1);
    // A strip read from a file. The path is copied: callers build paths in
    // temporaries, and a name that dies before the first draw must not
    // leave the bitmap pointing at freed text.
    CBexBitmap(const wchar_t* path, BYTE kind, WORD frames = 1);
    // Takes over a bitmap made elsewhere (for example a stretched background).
    CBexBitmap(base::Bitmap bitmap, BYTE kind, WORD frames = 1);
    // Wraps a shared icon (LoadIcon): it is drawn but never destroyed here.
    CBexBitmap(HICON sharedIcon, int cx, int cy);
    virtual ~CBexBitmap();
    CBexBitmap(const CBexBitmap&) = delete;
    CBexBitmap& operator=(const CBexBitmap&) = delete;

    // Slot 0: one frame stretched to the rectangle.
    virtual void Draw(HDC dc, int x, int y, int cx, int cy, int frame);
    // Slot 1: one frame stretched to width cx at its own height.
    virtual void DrawFixed(HDC dc, int x, int y, int cx, int frame);

    // Decodes on first call; later calls do nothing. True when a handle is held.
    bool Load();
    // Frees the handle; the next draw or size query loads again.
    void Unload();

    HBITMAP Handle() { Load(); return bitmap_.Get(); }
    HICON IconHandle() const { return icon_; }
    int FrameWidth() { Load(); return frameWidth_; }
    int Height() { Load(); return height_; }
    int Width() { Load(); return frameWidth_ * frameCount_; }
    WORD FrameCount() const { return frameCount_; }
    bool HasAlpha() { Load(); return alpha_ != 0; }
    BYTE Kind() const { return kind_; }
    bool IsResource() const { return path_.empty(); }
    UINT ResourceId() const { return resourceId_; }
    const std::wstring& Path() const { return path_; }

protected:
    // Copies the source rectangle of frame `frame` (sx, sy, sw, sh inside the
    // frame) to the destination, stretching when the sizes differ. Pieces
    // with no area are skipped.
    void Blit(HDC dc, int dx, int dy, int dw, int dh, int frame, int sx, int sy, int sw, int sh);
    // True when `frame` lies inside the strip.
    bool ValidFrame(int frame) const { return frame >= 0 && frame < frameCount_; }

private:
    void Measure();

    UINT resourceId_ = 0;
    std::wstring path_;
    base::Bitmap bitmap_;
    HICON icon_ = nullptr;
    int frameWidth_ = 0;
    int height_ = 0;
    WORD frameCount_ = 1;
    BYTE alpha_ = 0;
    BYTE kind_ = kBexKindPng;
    bool loaded_ = false;  // a failed load is not retried at every draw
};

// A frame cut into nine pieces by two vertical and two horizontal lines: the
// corners keep their size, the edges stretch along their length, the centre
// both ways.
class CBexBitmap9Part : public CBexBitmap {
public:
    // left = L (width of the left column), right = R (x where the right column
    // starts), top = T, bottom = B (y where the bottom row starts).
    CBexBitmap9Part(UINT resourceId, BYTE kind, int left, int right, int top, int bottom);
    CBexBitmap9Part(const wchar_t* path, BYTE kind, int left, int right, int top, int bottom);

    void Draw(HDC dc, int x, int y, int cx, int cy, int frame) override;

    int MarginLeft() const { return left_; }
    int MarginRight() const { return right_; }
    int MarginTop() const { return top_; }
    int MarginBottom() const { return bottom_; }

private:
    int left_, right_, top_, bottom_;
};

// A frame cut into three pieces side by side at x = 30 and x = 60: the ends
// keep their width, the middle stretches.
class CBexBitmapHorizen3Part : public CBexBitmap {
public:
    static constexpr int kLeftEnd = 30;
    static constexpr int kRightStart = 60;

    CBexBitmapHorizen3Part(UINT resourceId, BYTE kind, WORD frames);
    CBexBitmapHorizen3Part(const wchar_t* path, BYTE kind, WORD frames);

    void DrawFixed(HDC dc, int x, int y, int cx, int frame) override;
};

// One frame at its natural size.
void DrawImageFrame(CBexBitmap* bitmap, HDC dc, int x, int y, int frame);

// Width of the first `length` characters of `text` (all of them for -1) in
// `font`, measured on the shared memory DC; 0 on failure. `size` may be null.
int MeasureText(HFONT font, int length, const wchar_t* text, SIZE* size);

// Where resources are looked up: the program's own module.
HINSTANCE BexResourceModule();

// The memory DC that every blit and measurement goes through.
HDC BexMemoryDc();

// The face name of the shared fonts for a GetVersion() result.
const wchar_t* BexUiFontFace(DWORD version);

// Font number 1..8 of the font table; null for other numbers.
HFONT BexFont(int number);
// "Tahoma" -22 and "Verdana" -20 bold: the rest mode's countdown and clock.
HFONT BexTahomaLargeFont();
HFONT BexVerdanaClockFont();

// One picture of a program's skin set: a PNG resource and how it is cut.
struct BexSkinPicture {
    enum Cut : UINT { kWhole, kNinePart, kThreePart };
    UINT resourceId;
    Cut cut;
    WORD frames;                    // kWhole and kThreePart
    int left, right, top, bottom;   // kNinePart: the margins
};

// What a program hands the toolkit at its start: the pictures of its skin,
// its application icon and the pictures its skinned message boxes wear.
struct BexSkinSet {
    const BexSkinPicture* pictures = nullptr;
    size_t count = 0;
    UINT appIconId = 0;
    UINT messageBoxBack = 0;
    UINT messageBoxClose = 0;
    UINT messageBoxButton = 0;
};

// Makes `set` the skin set that BexSkinBitmap and BexAppIcon answer from
// (until then they answer null). Meant for the program's start: a second
// call makes the pictures anew, and bitmaps handed out before go away.
void RegisterBexSkinSet(const BexSkinSet& set);
// The registered set (the pictures themselves are not kept in it).
const BexSkinSet& RegisteredBexSkinSet();

// The shared skin bitmap of a resource id of the skin set, or null.
CBexBitmap* BexSkinBitmap(UINT resourceId);
// The registered application icon as a 16 x 16 bitmap; null without it.
CBexBitmap* BexAppIcon();

}  // namespace toolkit
