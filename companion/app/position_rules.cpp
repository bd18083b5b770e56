#include "companion/app/position_rules.h"

#include <cwchar>

#include "companion/system/shared_settings.h"

namespace companion {

POINT DefaultMascotPosition(const RECT& work) {
    return POINT{work.right - kMascotOffsetX, work.bottom - kMascotOffsetY};
}

POINT InitialMascotPosition(const std::wstring& xText, const std::wstring& yText, const RECT& work,
                            SIZE standing) {
    const POINT fallback = DefaultMascotPosition(work);
    if (xText.empty() || yText.empty()) return fallback;
    const int x = ToInt(xText);
    const int y = ToInt(yText);
    if (work.left < x && x < work.right - standing.cx && work.top < y && y < work.bottom - standing.cy)
        return POINT{x, y};
    return fallback;
}

POINT ClampMascotPosition(POINT p, const RECT& work) {
    if (p.x > work.right - 178) p.x = work.right - 178;
    if (p.x < 85) p.x = 85;
    if (p.y > work.bottom - 120) p.y = work.bottom - 120;
    if (p.y <= 64) p.y = 65;
    return p;
}

}  // namespace companion
