// Which of the mascot's own strips plays: read from the action file, chosen
// on a fake clock (time since start, hour, tick and the random pick given).
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "companion/app/mascot_animations.h"

using namespace companion;

namespace {

using Ini = std::map<std::pair<std::wstring, std::wstring>, std::wstring>;

// `idle` strips in [default] (the last is the leaving one), then one
// interactive strip per range text.
MascotAnimations Load(int idle, const std::vector<std::wstring>& ranges) {
    Ini ini;
    ini[{L"default", L"count"}] = std::to_wstring(idle);
    for (int i = 0; i < idle; ++i) ini[{L"default", L"png" + std::to_wstring(i)}] = L"idle.png";
    ini[{L"VynInteractive", L"count"}] = std::to_wstring(ranges.size());
    for (size_t i = 0; i < ranges.size(); ++i) {
        ini[{L"VynInteractive", L"png" + std::to_wstring(i)}] = L"touch.png";
        ini[{L"VynInteractive", L"range" + std::to_wstring(i)}] = ranges[i];
    }
    MascotAnimations a;
    a.Load([&](const wchar_t* s, const wchar_t* k) {
        auto it = ini.find({s, k});
        return it == ini.end() ? std::wstring() : it->second;
    },
           [](const std::wstring& name) { return L"C:\\skin\\" + name; });
    return a;
}

TEST(MascotAnimationsTest, TheIdlePickFollowsTheClock) {
    const MascotAnimations five = Load(5, {});  // idle 0..3, leaving 4
    ASSERT_EQ(five.leavingIndex, 4);
    const struct {
        const char* what;
        DWORD sinceStart;
        int hour;
        DWORD tick;
        int random;
        std::pair<int, int> asked;  // (high, low) given to the random pick; (0, 0) not asked
        int expected;
    } cases[] = {
        {"first five minutes", 299999, 10, 0, 3, {0, 0}, 1},
        {"first five minutes, quiet hour", 1000, 13, 0, 3, {0, 0}, 1},
        {"quiet hour at noon", 300000, 12, 0, 0, {3, 0}, 0},
        {"quiet hour at night", 300000, 22, 0, 0, {3, 0}, 0},
        {"quiet hour after midnight", 300000, 3, 0, 3, {3, 0}, 3},
        {"day time", 300000, 10, 0, 3, {3, 1}, 3},
        {"day time, 2 is picked again by the tick", 300000, 10, 3, 2, {3, 1}, 1},
        {"day time, the tick gives 2 as well", 300000, 10, 1, 2, {3, 1}, 3},
    };
    for (const auto& c : cases) {
        std::pair<int, int> asked{0, 0};
        const int pick = PickIdleRecord(five, c.sinceStart, c.hour, c.tick, [&](int high, int low) {
            asked = {high, low};
            return c.random;
        });
        EXPECT_EQ(pick, c.expected) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
    }
}

TEST(MascotAnimationsTest, SmallIdleSetsKeepEveryPickInsideTheList) {
    const POINT nowhere{250, 250};
    const struct {
        int count;
        int idle, interactive, click;
    } cases[] = {
        {0, -1, -1, -1},  // nothing plays, so no timer restarts for ever
        {1, 0, 0, 0},
        {2, 0, 0, 0},
        {3, 1, 1, 1},
    };
    for (const auto& c : cases) {
        const MascotAnimations a = Load(c.count, {L"0,0,10,10"});
        EXPECT_EQ(PickIdleRecord(a, 400000, 10, 7, [](int, int) { return 1; }), c.idle) << c.count;
        EXPECT_EQ(PickInteractiveRecord(a, nowhere, 7), c.interactive) << c.count;
        EXPECT_EQ(PickClickRecord(a), c.click) << c.count;
    }
}

TEST(MascotAnimationsTest, TheInteractivePickIsTheStripUnderTheCursor) {
    // idle 0..3, leaving 4; interactive 5 (one rectangle) and 6 (two, "|").
    const MascotAnimations a = Load(5, {L"10,10,40,40", L"0,0,5,5|50,60,90,100"});
    ASSERT_EQ(a.records.size(), 7u);
    EXPECT_TRUE(a.records[5].hasHitAreas);
    EXPECT_FALSE(a.records[0].hasHitAreas) << "idle strips have no hit areas";
    const struct {
        POINT cursor;
        DWORD tick;
        int expected;
    } cases[] = {
        {{20, 20}, 0, 5},   // a range without "|" is one rectangle
        {{60, 70}, 0, 6},   // the second rectangle after "|"
        {{2, 2}, 0, 6},
        {{40, 40}, 0, 1},   // right and bottom edges lie outside
        {{200, 200}, 0, 1}, // elsewhere: 1 + tick mod (leaving - 1)
        {{200, 200}, 2, 3},
        {{200, 200}, 5, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickInteractiveRecord(a, c.cursor, c.tick), c.expected) << c.cursor.x << "," << c.cursor.y;
}

TEST(MascotAnimationsTest, RangesOutsideTheByteLimitOrMalformedAreDropped) {
    bool any = true;
    const auto rects = ParseHitRanges(L"1,2,3|4,5,6,256|7,8,9,10|x", &any);
    EXPECT_TRUE(any);
    EXPECT_EQ(rects[0].left, 7);
    EXPECT_EQ(rects[0].bottom, 10);
    EXPECT_EQ(rects[1].right, 0) << "unused rectangles stay zero";
    ParseHitRanges(L"", &any);
    EXPECT_FALSE(any);
}

}  // namespace
