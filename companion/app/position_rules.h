// Where the mascot may stand on the screen.
#pragma once

#include <windows.h>

#include <string>

namespace companion {

constexpr int kMascotOffsetX = 120;  // from the work area's right edge
constexpr int kMascotOffsetY = 142;  // from its bottom edge

// The default place: above the taskbar in the bottom right corner.
POINT DefaultMascotPosition(const RECT& work);

// The saved position when both texts are given and the standing mascot fits
// strictly inside the work area there; else the default.
POINT InitialMascotPosition(const std::wstring& xText, const std::wstring& yText, const RECT& work,
                            SIZE standing);

// Keeps a moved mascot inside the band it may occupy.
POINT ClampMascotPosition(POINT p, const RECT& work);

}  // namespace companion
