// The mascot's own animation strips from Actions.ini: the idle set (its last
// strip is the leaving one) and the interactive strips that answer a double
// click on a part of the mascot. The choice of a strip is kept apart from the
// window so it can be tested on its own.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/bex_bitmap.h"

namespace companion {

struct AnimationRecord {
    std::unique_ptr<toolkit::CBexBitmap> strip;  // loaded when the record starts playing
    std::wstring path;
    int frames = 0;
    int frameTime = 0;      // ms
    int animationTime = 0;  // s
    int cx = 0, cy = 0;
    std::array<RECT, 4> hitRects{};
    int frame = 0;
    int elapsed = 0;
    bool hasHitAreas = false;
};

// Reads one value of Actions.ini (section, key); empty when missing.
using ActionFileReader = std::function<std::wstring(const wchar_t* section, const wchar_t* key)>;

struct MascotAnimations {
    std::vector<AnimationRecord> records;
    int leavingIndex = -1;  // the last record of the idle set; -1 without one
    int idleCount = 0;      // records of the idle set, the leaving one included

    // Fills the list once from the "default" and "VynInteractive" sections;
    // strip paths are resolved with `skinPath`.
    void Load(const ActionFileReader& read, const std::function<std::wstring(const std::wstring&)>& skinPath);
};

// Up to four "l,t,r,b" rectangles separated by "|" (each number 0..255).
std::array<RECT, 4> ParseHitRanges(const std::wstring& text, bool* any);

// The idle strip to play. `sinceStartMs`: time since the window was made;
// `random(high, low)` is RandomInRange. Always an index of the idle set
// (never the leaving strip while there is another); -1 when the idle set is
// empty (nothing plays).
int PickIdleRecord(const MascotAnimations& a, DWORD sinceStartMs, int hour, DWORD tick,
                   const std::function<int(int, int)>& random);

// The interactive strip under `cursor` (client coordinates), searched after
// the leaving strip in order; otherwise an idle strip other than the first
// and the leaving one, chosen by the tick (-1 without an idle set).
int PickInteractiveRecord(const MascotAnimations& a, POINT cursor, DWORD tick);

// The strip after a click opened the navigation: record 1 where the idle set
// has one besides the first and the leaving strip, else as the idle pick.
int PickClickRecord(const MascotAnimations& a);

}  // namespace companion
