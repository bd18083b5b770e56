// The small rules behind the countdown and the rest: next rest time, the
// picture of the hour, rest length and the counter texts.
#include <gtest/gtest.h>

#include <climits>

#include "companion/ui/neck_health.h"
#include "companion/ui/pre_shutdown_dialog.h"
#include "companion/ui/rest_schedule.h"

using namespace companion;

TEST(RestRules, NextRestTimeWrapsAroundTheDay) {
    const struct {
        int hour, minute;
        int64_t interval;
        const wchar_t* expected;
    } cases[] = {
        {23, 50, 45, L"0035"},        // past midnight
        {10, 0, 45, L"1045"},
        {10, 30, 30, L"1100"},        // minutes carry into the hour
        {0, 0, 0, L"0000"},
        {0, 5, -10, L"2355"},         // a negative interval never gives "-5"
        {12, 0, 1440 * 3 + 61, L"1301"},
        {12, 0, INT64_MAX, L"0607"},  // no overflow: INT64_MAX mod 1440 is 1087
        {12, 0, INT64_MIN, L"1752"},
        {23, 59, 1, L"0000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, NextRestTime(c.hour, c.minute, c.interval)) << c.hour << ":" << c.minute << "+" << c.interval;
}

TEST(RestRules, PictureOfTheHour) {
    EXPECT_STREQ(L"night169.png", RestPictureName(0));
    EXPECT_STREQ(L"night169.png", RestPictureName(5));
    EXPECT_STREQ(L"day169.png", RestPictureName(6));
    EXPECT_STREQ(L"day169.png", RestPictureName(17));
    EXPECT_STREQ(L"night169.png", RestPictureName(18));
    EXPECT_STREQ(L"night169.png", RestPictureName(23));
}

TEST(RestRules, RestLengthNeverNegativeNorOverflowing) {
    EXPECT_EQ(300, RestSeconds(5));
    EXPECT_EQ(0, RestSeconds(0));
    EXPECT_EQ(0, RestSeconds(-3));
    EXPECT_EQ(0, RestSeconds(INT_MIN));
    EXPECT_EQ(INT_MAX, RestSeconds(INT_MAX));
    EXPECT_EQ(INT_MAX, RestSeconds(INT_MAX / 60 + 1));
}

TEST(RestRules, CounterTexts) {
    EXPECT_EQ(L"{&#color=0x30bb82}05:00{&#/color}", FormatRestCountdown(300));
    EXPECT_EQ(L"{&#color=0x30bb82}04:59{&#/color}", FormatRestCountdown(299));
    EXPECT_EQ(L"{&#color=0x30bb82}00:00{&#/color}", FormatRestCountdown(-4));
    SYSTEMTIME now{};
    now.wHour = 7;
    now.wMinute = 5;
    EXPECT_EQ(L"{&#color=0xffffff}07:05{&#/color}", FormatRestClock(now));
    EXPECT_EQ(L"{&#font=6}{&#color=0x246ce3} 60 {&#/color}{&#/font}秒后执行关机事件",
              CPreShutdownDialog::CountdownMarkup(0, 60));
    EXPECT_EQ(L"{&#font=6}{&#color=0x246ce3} 7 {&#/color}{&#/font}秒后执行休息事件",
              CPreShutdownDialog::CountdownMarkup(1, 7));
}

TEST(RestRules, NeckPictureByTickCount) {
    EXPECT_EQ(L"b.png", CNeckHealth::PickPicture(L"a.png|b.png|c.png", 10));  // 10 mod 3 = 1
    EXPECT_EQ(L"a.png", CNeckHealth::PickPicture(L"a.png|b.png|c.png", 9));
    EXPECT_EQ(L"only.png", CNeckHealth::PickPicture(L"only.png", 12345));
    EXPECT_EQ(L"", CNeckHealth::PickPicture(L"", 7));
    EXPECT_EQ(L"", CNeckHealth::PickPicture(L"a.png|", 1));  // an empty piece is an entry too
}
