#include "companion/app/mascot_animations.h"

#include <cwchar>

#include "companion/actions/action_base.h"
#include "companion/actions/action_sections.h"
#include "companion/system/shared_settings.h"
#include "companion/system/text_utils.h"

namespace companion {

namespace {

int ReadNumber(const ActionFileReader& read, const wchar_t* section, const wchar_t* key, int index) {
    wchar_t name[32] = {};
    std::swprintf(name, 32, L"%ls%d", key, index);
    return ToInt(read(section, name));
}

std::wstring ReadText(const ActionFileReader& read, const wchar_t* section, const wchar_t* key, int index) {
    wchar_t name[32] = {};
    std::swprintf(name, 32, L"%ls%d", key, index);
    return read(section, name);
}

void LoadSection(const ActionFileReader& read, const std::function<std::wstring(const std::wstring&)>& skinPath,
                 const wchar_t* section, bool interactive, std::vector<AnimationRecord>& out) {
    const int count = CapAnimationCount(ToInt(read(section, L"count")));
    for (int i = 0; i < count; ++i) {
        AnimationRecord r;
        r.path = skinPath(ReadText(read, section, L"png", i));
        r.cx = ReadNumber(read, section, L"cx", i);
        r.cy = ReadNumber(read, section, L"cy", i);
        r.frameTime = ReadNumber(read, section, L"frametime", i);
        r.frames = ReadNumber(read, section, L"frames", i);
        r.animationTime = ReadNumber(read, section, L"animationtime", i);
        if (interactive) r.hitRects = ParseHitRanges(ReadText(read, section, L"range", i), &r.hasHitAreas);
        out.push_back(std::move(r));
    }
}

}  // namespace

void MascotAnimations::Load(const ActionFileReader& read,
                            const std::function<std::wstring(const std::wstring&)>& skinPath) {
    if (!records.empty()) return;
    LoadSection(read, skinPath, sections::kDefault, false, records);
    idleCount = static_cast<int>(records.size());
    leavingIndex = idleCount - 1;
    LoadSection(read, skinPath, sections::kInteractive, true, records);
}

std::array<RECT, 4> ParseHitRanges(const std::wstring& text, bool* any) {
    std::array<RECT, 4> rects{};
    if (any) *any = false;
    std::vector<std::wstring> pieces;
    if (SplitString(text, L"|", pieces) != 0) pieces = {text};
    size_t n = 0;
    for (const std::wstring& piece : pieces) {
        if (n == rects.size()) break;
        std::vector<std::wstring> numbers;
        if (SplitString(piece, L",", numbers) != 0 || numbers.size() != 4) continue;
        LONG v[4];
        bool ok = true;
        for (int i = 0; i < 4; ++i) {
            v[i] = ToInt(numbers[i]);
            ok = ok && v[i] >= 0 && v[i] <= 255;
        }
        if (!ok) continue;
        rects[n++] = RECT{v[0], v[1], v[2], v[3]};
        if (any) *any = true;
    }
    return rects;
}

int PickIdleRecord(const MascotAnimations& a, DWORD sinceStartMs, int hour, DWORD tick,
                   const std::function<int(int, int)>& random) {
    // An empty idle set has nothing to play: starting a strip anyway would
    // end at once and start again, for ever.
    if (a.idleCount <= 0) return -1;
    // With fewer than three idle strips there is no choice worth making:
    // play the one that is not the leaving strip (or the only one).
    if (a.idleCount <= 2) return 0;
    const int last = a.leavingIndex - 1;  // the highest idle pick
    if (sinceStartMs <= 299999) return 1;
    const bool quietHours = (hour >= 12 && hour <= 14) || hour >= 21 || hour <= 3;
    if (quietHours) return random(last, 0);
    int pick = random(last, 1);
    // Picking again by the same tick would give the same answer for ever, so
    // one more pick is made and 2 is then stepped over.
    if (pick == 2) pick = 1 + static_cast<int>(tick % static_cast<DWORD>(last));
    if (pick == 2) pick = last >= 3 ? 3 : 1;
    return pick;
}

int PickInteractiveRecord(const MascotAnimations& a, POINT cursor, DWORD tick) {
    for (size_t i = static_cast<size_t>(a.leavingIndex + 1); i < a.records.size(); ++i) {
        const AnimationRecord& r = a.records[i];
        if (!r.hasHitAreas) continue;
        for (const RECT& rc : r.hitRects)
            if (rc.right > rc.left && rc.bottom > rc.top && ::PtInRect(&rc, cursor)) return static_cast<int>(i);
    }
    if (a.idleCount <= 0) return -1;
    if (a.idleCount <= 2) return 0;
    return 1 + static_cast<int>(tick % static_cast<DWORD>(a.leavingIndex - 1));
}

int PickClickRecord(const MascotAnimations& a) {
    if (a.idleCount <= 0) return -1;
    return a.idleCount > 2 ? 1 : 0;
}

}  // namespace companion
