#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "companion/system/text_utils.h"

using namespace companion;

namespace {

using Pieces = std::vector<std::wstring>;

TEST(SplitStringTest, SkipsEmptyPiecesAndKeepsOrder) {
    Pieces pieces;
    ASSERT_EQ(SplitString(L"a||b", L"|", pieces), 0);
    EXPECT_EQ(pieces, (Pieces{L"a", L"b"}));

    pieces.clear();
    ASSERT_EQ(SplitString(L"|first|second|", L"|", pieces), 0);
    EXPECT_EQ(pieces, (Pieces{L"first", L"second"}));

    pieces.clear();
    ASSERT_EQ(SplitString(L"one<>two<><>three", L"<>", pieces), 0);
    EXPECT_EQ(pieces, (Pieces{L"one", L"two", L"three"}));
}

TEST(SplitStringTest, NoSeparatorLeavesTheListAlone) {
    Pieces pieces{L"kept"};
    EXPECT_EQ(SplitString(L"abc", L"|", pieces), -1);
    EXPECT_EQ(pieces, Pieces{L"kept"});
    EXPECT_EQ(SplitString(L"abc", L"", pieces), -2);
    EXPECT_EQ(pieces, Pieces{L"kept"});
}

TEST(SplitStringTest, AppendsToWhatIsThere) {
    Pieces pieces{L"x"};
    ASSERT_EQ(SplitString(L"a|b", L"|", pieces), 0);
    EXPECT_EQ(pieces, (Pieces{L"x", L"a", L"b"}));
}

TEST(TextBetweenTest, FindsTheFirstPairFromTheStart) {
    EXPECT_EQ(TextBetween(L"<a>one</a><a>two</a>", L"<a>", L"</a>"), L"one");
    EXPECT_EQ(TextBetween(L"<a>one</a><a>two</a>", L"<a>", L"</a>", 1), L"two");
    EXPECT_EQ(TextBetween(L"[]", L"[", L"]"), L"");
}

TEST(TextBetweenTest, MissingOrEmptyMarkersGiveNothing) {
    EXPECT_EQ(TextBetween(L"<a>one", L"<a>", L"</a>"), L"");
    EXPECT_EQ(TextBetween(L"one</a>", L"<a>", L"</a>"), L"");
    EXPECT_EQ(TextBetween(L"<a>one</a>", L"", L"</a>"), L"");
    EXPECT_EQ(TextBetween(L"<a>one</a>", L"<a>", L""), L"");
    EXPECT_EQ(TextBetween(L"<a>one</a>", L"<a>", L"</a>", 500), L"");
}

TEST(CodePageTest, ChineseTextRoundTripsThroughCodePage936AndUtf8) {
    const std::string gbk = "\xD6\xD0\xCE\xC4";  // 中文
    EXPECT_EQ(ToWideFromCodePage(gbk, 936), L"中文");
    EXPECT_EQ(ToWideFromCodePage(gbk.c_str(), 936), L"中文");
    EXPECT_EQ(ToCodePageFromWide(L"中文", 936), gbk);
    EXPECT_EQ(Utf8ToWide("\xE4\xB8\xAD\xE6\x96\x87"), L"中文");
}

TEST(CodePageTest, NullAndEmptyInputsGiveEmptyResults) {
    EXPECT_EQ(ToWideFromCodePage(static_cast<const char*>(nullptr), 936), L"");
    EXPECT_EQ(ToWideFromCodePage(std::string(), 936), L"");
    EXPECT_EQ(ToCodePageFromWide(nullptr, 936), "");
    EXPECT_EQ(Utf8ToWide(""), L"");
}

TEST(FormatWStringTest, WideAndNarrowArgumentsAndNumbers) {
    std::wstring out;
    FormatWString(out, L"%.4d%.2d%.2d%.2d%.2d", 2026, 12, 9, 7, 5);
    EXPECT_EQ(out, L"202612090705");
    FormatWString(out, L"%ls-%hs-%d", L"宽", "narrow", -3);
    EXPECT_EQ(out, L"宽-narrow--3");
}

TEST(FormatWStringTest, LongResultsAreWhole) {
    const std::wstring longText(5000, L'z');
    std::wstring out;
    FormatWString(out, L"[%ls]", longText.c_str());
    EXPECT_EQ(out, L"[" + longText + L"]");
    FormatWString(out, nullptr);
    EXPECT_EQ(out, L"");
}

TEST(PieceOfTextTest, MidLeftRightStayInsideTheText) {
    EXPECT_EQ(MidText(L"20261209", 4), L"12");
    EXPECT_EQ(MidText(L"20261209", 7), L"9");
    EXPECT_EQ(MidText(L"20261209", 8), L"20") << "a position past the end counts as 0";
    EXPECT_EQ(MidText(L"20261209", 5000), L"20");
    EXPECT_EQ(MidText(L"7", 0), L"7");
    EXPECT_EQ(MidText(L"", 3), L"");

    EXPECT_EQ(LeftText(L"abcdef", 4), L"abcd");
    EXPECT_EQ(LeftText(L"abc", 4), L"abc");
    EXPECT_EQ(LeftText(L"", 2), L"");

    EXPECT_EQ(RightText(L"abcdef"), L"ef");
    EXPECT_EQ(RightText(L"ab"), L"ab");
    EXPECT_EQ(RightText(L"a"), L"a");
    EXPECT_EQ(RightText(L""), L"");
}

TEST(RandomInRangeTest, StaysInTheRangeForEveryTick) {
    for (DWORD tick : {0u, 1u, 2u, 3u, 4u, 5u, 999u, 0xFFFFFFFFu}) {
        const int value = RandomInRange(9, 5, tick);
        EXPECT_GE(value, 5);
        EXPECT_LE(value, 9);
    }
    EXPECT_EQ(RandomInRange(9, 5, 0), 5);
    EXPECT_EQ(RandomInRange(9, 5, 4), 9);
    EXPECT_EQ(RandomInRange(9, 5, 5), 5);
}

TEST(RandomInRangeTest, DegenerateRangesDoNotDivideByZero) {
    EXPECT_EQ(RandomInRange(3, 3, 12345), 3);
    EXPECT_EQ(RandomInRange(2, 5, 12345), 5) << "high below low gives low";
    const int wide = RandomInRange(INT_MAX, INT_MIN, 0xFFFFFFFFu);
    EXPECT_GE(wide, INT_MIN);
    EXPECT_EQ(RandomInRange(INT_MAX, INT_MIN, 7), INT_MIN + 7);
}

// Whole seconds since 1970-01-01 00:00 UTC, from the system clock.
int64_t SystemClockSeconds() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr uint64_t k1970 = 116444736000000000ull;  // 100 ns ticks from 1601
    return static_cast<int64_t>((ticks - k1970) / 10000000ull);
}

// Seconds, not milliseconds, and universal time, not the local clock.
TEST(Now64Test, IsTheSystemClockInSecondsSince1970) {
    const int64_t before = SystemClockSeconds();
    const int64_t now = Now64();
    const int64_t after = SystemClockSeconds();
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}

}  // namespace
