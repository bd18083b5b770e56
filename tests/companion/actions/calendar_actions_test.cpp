#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "companion/actions/action_base.h"
#include "companion/actions/calendar_actions.h"
#include "companion/actions/festival_tables.h"
#include "companion/actions/rest_actions.h"
#include "companion/system/paths.h"
#include "companion/system/text_utils.h"
#include "tests/companion/fake_action_environment.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override { settings_.WiseHealthAlert = true; }
    FakeActionEnvironment env_;
    SharedSettings settings_;
};

TEST_F(CalendarTest, TheGreetingComesOnceAndOnlyWithRemindersOn) {
    CActionVynLoad greeting(env_, settings_);
    EXPECT_TRUE(greeting.CheckCondition());
    EXPECT_FALSE(greeting.CheckCondition());
    EXPECT_NE(greeting.GetLinkBehavior(), nullptr);
    EXPECT_EQ(greeting.GetLinkText(), L"");

    settings_.WiseHealthAlert = false;
    CActionVynLoad silent(env_, settings_);
    EXPECT_FALSE(silent.CheckCondition());
}

struct MealCase {
    WORD hour, minute, second;
    bool due;
    const wchar_t* firstText;  // the first alternative of the meal, or null
};

TEST_F(CalendarTest, MealWindowsRunFromHalfPastToHalfPastTheirLastMinuteIncluded) {
    const MealCase cases[] = {
        {7, 29, 59, false, nullptr},
        {7, 30, 0, true, L"早餐时间到了,记得吃早餐哦~"},
        {8, 30, 40, true, L"早餐时间到了,记得吃早餐哦~"},
        {8, 31, 0, false, nullptr},
        {11, 29, 0, false, nullptr},
        {11, 30, 0, true, L"人是铁，饭是钢，吃了才能硬梆梆 ~"},
        {12, 30, 59, true, L"人是铁，饭是钢，吃了才能硬梆梆 ~"},
        {12, 31, 0, false, nullptr},
        {17, 30, 0, true, L"晚饭、晚饭、吃少一点有益健康~"},
        {18, 30, 0, true, L"晚饭、晚饭、吃少一点有益健康~"},
        {18, 31, 0, false, nullptr},
        {23, 0, 0, false, nullptr},
    };
    for (const MealCase& c : cases) {
        env_.SetTime(c.hour, c.minute, c.second);
        CActionVynMeal meal(env_, settings_);
        EXPECT_EQ(meal.CheckCondition(), c.due) << c.hour << ":" << c.minute << ":" << c.second;
        if (c.firstText) {
            env_.tick = 0;  // the first alternative
            EXPECT_EQ(meal.GetTipText(), c.firstText);
        }
    }
}

TEST_F(CalendarTest, EachMealComesOnceADayAndAgainAfterMidnight) {
    env_.SetTime(7, 45);
    CActionVynMeal meal(env_, settings_);
    EXPECT_TRUE(meal.CheckCondition());
    EXPECT_FALSE(meal.CheckCondition());
    env_.SetTime(12, 0);
    EXPECT_TRUE(meal.CheckCondition());
    EXPECT_FALSE(meal.CheckCondition());
    env_.SetDate(2026, 12, 10);
    env_.SetTime(8, 0);
    EXPECT_TRUE(meal.CheckCondition()) << "a new day sets the meals again";
}

TEST_F(CalendarTest, AMealMissedWhileBusyIsNotShownLater) {
    env_.SetTime(11, 20);
    CActionVynMeal meal(env_, settings_);
    env_.busy = true;
    for (WORD minute = 20; minute < 60; minute += 5) {
        env_.SetTime(11, minute);
        EXPECT_FALSE(meal.CheckCondition());
    }
    for (WORD minute = 0; minute <= 40; minute += 5) {
        env_.SetTime(12, minute);
        env_.busy = minute < 40;
        EXPECT_FALSE(meal.CheckCondition()) << "12:" << minute;
    }
}

TEST_F(CalendarTest, MealAnimationsAreChosenFromTheSetAndLoadedAgainAfterEachShowing) {
    env_.Set(L"VynMeal", L"count", L"2");
    for (int i = 0; i < 2; ++i) {
        const std::wstring n = std::to_wstring(i);
        env_.Set(L"VynMeal", (L"animationtime" + n).c_str(), (L"1" + n).c_str());
        env_.Set(L"VynMeal", (L"frames" + n).c_str(), L"8");
        env_.Set(L"VynMeal", (L"frametime" + n).c_str(), L"100");
        env_.Set(L"VynMeal", (L"cx" + n).c_str(), L"120");
        env_.Set(L"VynMeal", (L"cy" + n).c_str(), L"142");
        env_.Set(L"VynMeal", (L"png" + n).c_str(), (L"meal" + n + L".png").c_str());
    }
    CActionVynMeal meal(env_, settings_);
    env_.tick = 7;  // 7 mod 2: the second record
    EXPECT_EQ(meal.GetAnimationTime(), 11);
    EXPECT_EQ(meal.GetFrames(), 8);
    EXPECT_EQ(meal.GetCx(), 120);
    const HBITMAP strip = meal.GetBitmap();
    EXPECT_NE(strip, nullptr);
    EXPECT_EQ(env_.loadedStrips.size(), 2u) << "the whole set is loaded once";

    EXPECT_EQ(meal.OnDone(), 0);
    EXPECT_EQ(::GetObjectType(strip), 0u) << "the strips are released after the showing";
    EXPECT_EQ(env_.stops, 1) << "a ring still playing is stopped";
    env_.tick = 8;
    EXPECT_EQ(meal.GetAnimationTime(), 10) << "chosen anew";
    EXPECT_EQ(env_.loadedStrips.size(), 4u);
}

TEST_F(CalendarTest, AHostileMealCountLoadsNothing) {
    for (const wchar_t* count : {L"2147483647", L"200", L"-1", L"0", L"x"}) {
        env_.Set(L"VynMeal", L"count", count);
        CActionVynMeal meal(env_, settings_);
        EXPECT_EQ(meal.GetBitmap(), nullptr);
        EXPECT_EQ(meal.GetFrames(), 0);
        EXPECT_TRUE(env_.loadedStrips.empty()) << testsupport::Narrow(count);
    }
    EXPECT_EQ(CapAnimationCount(199), 199);
    EXPECT_EQ(CapAnimationCount(1), 1);
}

TEST_F(CalendarTest, SleepComesOnceANightAtTheFirstFreePoll) {
    CActionSleep sleep(env_, settings_);
    env_.SetTime(23, 29);
    EXPECT_FALSE(sleep.CheckCondition());
    env_.SetTime(23, 30);
    EXPECT_TRUE(sleep.CheckCondition());
    env_.tick += 5000;
    EXPECT_FALSE(sleep.CheckCondition()) << "once a night";
    env_.SetDate(2026, 12, 10);
    env_.SetTime(3, 59);
    env_.tick += 4 * 3600000;
    EXPECT_FALSE(sleep.CheckCondition()) << "still the same night";
    env_.SetTime(23, 30);
    env_.tick += 20 * 3600000;
    EXPECT_TRUE(sleep.CheckCondition()) << "the next night";
}

TEST_F(CalendarTest, SleepWaitsForAFullScreenProgramPastTheNightWindow) {
    CActionSleep sleep(env_, settings_);
    env_.busy = true;
    for (int minutes = 23 * 60; minutes < 24 * 60 + 4 * 60 + 30; minutes += 5) {
        env_.SetTime(static_cast<WORD>((minutes / 60) % 24), static_cast<WORD>(minutes % 60));
        env_.tick += 300000;
        EXPECT_FALSE(sleep.CheckCondition());
    }
    env_.busy = false;
    env_.SetTime(4, 30);
    env_.tick += 300000;
    EXPECT_TRUE(sleep.CheckCondition()) << "pending survives the window";
}

TEST_F(CalendarTest, SleepBeforeFourInTheMorning) {
    env_.SetTime(0, 10);
    CActionSleep early(env_, settings_);
    EXPECT_TRUE(early.CheckCondition());
    env_.SetTime(4, 0);
    CActionSleep morning(env_, settings_);
    EXPECT_FALSE(morning.CheckCondition());
    settings_.WiseHealthAlert = false;
    env_.SetTime(23, 45);
    CActionSleep off(env_, settings_);
    EXPECT_FALSE(off.CheckCondition());
}

class FestivalTest : public CalendarTest {
protected:
    // Checks once the start delay is over; returns the greeting or "" when not due.
    std::wstring GreetingOn(WORD year, WORD month, WORD day) {
        env_.SetDate(year, month, day);
        CActionFestival festival(env_, settings_);
        env_.tick += 20001;
        return festival.CheckCondition() ? festival.GetTipText() : std::wstring();
    }
};

TEST_F(FestivalTest, MonthDayAndLunarFestivalsAreGreeted) {
    EXPECT_EQ(GreetingOn(2026, 10, 1), L"今天是国庆节哦");
    EXPECT_EQ(GreetingOn(2026, 10, 2), L"");
    EXPECT_EQ(GreetingOn(2012, 1, 1), L"今天是腊八节也是元旦哦") << "the dated table wins";
    EXPECT_EQ(GreetingOn(2010, 2, 14), L"今天是春节也是情人节哦");
    EXPECT_EQ(GreetingOn(2014, 2, 14), L"今天是元宵节也是情人节哦");
    EXPECT_EQ(GreetingOn(2027, 2, 6), L"今天是春节哦");
    EXPECT_EQ(GreetingOn(2026, 12, 25), L"今天是圣诞节哦");
    EXPECT_EQ(GreetingOn(2045, 2, 14), L"今天是情人节哦");
}

TEST_F(FestivalTest, WaitsTwentySecondsAndAFreeUserThenGreetsOnceADay) {
    env_.SetDate(2026, 10, 1);
    CActionFestival festival(env_, settings_);
    env_.tick += 20000;
    EXPECT_FALSE(festival.CheckCondition()) << "not before 20 s";
    env_.tick += 1;
    env_.busy = true;
    EXPECT_FALSE(festival.CheckCondition());
    env_.busy = false;
    EXPECT_TRUE(festival.CheckCondition());
    EXPECT_FALSE(festival.CheckCondition()) << "once a day";
    // The UI may read the text after midnight: it stays the one worked out.
    env_.SetDate(2026, 10, 2);
    EXPECT_EQ(festival.GetTipText(), L"今天是国庆节哦");
    EXPECT_FALSE(festival.CheckCondition()) << "2 October has no festival";
    env_.SetDate(2026, 12, 24);
    EXPECT_TRUE(festival.CheckCondition());
    EXPECT_EQ(festival.GetTipText(), L"今天是平安夜哦");
}

// The data file of the later years starts with the years the code lists by
// hand; both must agree (a combined name starts with its festival's name).
TEST(FestivalTableTest, TheFirstYearsAgreeWithTheCalendarData) {
    char source[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("TEST_SOURCE_DIR", source, MAX_PATH), 0u);
    std::ifstream in((std::string(source) + "\\..\\..\\..\\companion\\data\\festivals.txt").c_str());
    ASSERT_TRUE(in.good());
    const auto table = BuildFestivalTable();
    int lines = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        ++lines;
        const std::wstring date = Utf8ToWide(line.substr(0, 8));
        const std::wstring name = Utf8ToWide(line.substr(9));
        const auto found = table.find(date);
        ASSERT_NE(found, table.end()) << line;
        EXPECT_EQ(found->second.rfind(name, 0), 0u) << line;
    }
    EXPECT_EQ(lines, 287);
    EXPECT_EQ(table.size(), 287u);
    EXPECT_EQ(BuildMonthDayFestivalTable().size(), 14u);
}

TEST(PickAlternativeTest, TheTickChoosesAmongTheAlternatives) {
    EXPECT_EQ(PickAlternative(L"a|b|c", 0), L"a");
    EXPECT_EQ(PickAlternative(L"a|b|c", 4), L"b");
    EXPECT_EQ(PickAlternative(L"a|b|c", 5), L"c");
    EXPECT_EQ(PickAlternative(L"whole text", 5), L"whole text");
    EXPECT_EQ(PickAlternative(L"a||b", 1), L"b");
    EXPECT_EQ(PickAlternative(L"", 3), L"");
    EXPECT_EQ(PickAlternative(L"|", 3), L"|") << "no pieces: the text unchanged";
}

TEST_F(CalendarTest, ActionFileValuesAreReadOnceAndMissingNumbersAgain) {
    env_.Set(L"VynRest", L"tiptext", L"一|二|三");
    env_.Set(L"VynRest", L"cx", L"120");
    env_.Set(L"VynRest", L"png", L"rest.png");
    CActionRest rest(env_, settings_);
    env_.tick = 2;
    EXPECT_EQ(rest.GetTipText(), L"三");
    env_.tick = 3;
    EXPECT_EQ(rest.GetTipText(), L"一");
    EXPECT_EQ(rest.GetCx(), 120);
    const int reads = env_.iniReads;
    rest.GetTipText();
    rest.GetCx();
    EXPECT_EQ(env_.iniReads, reads) << "kept after the first read";
    EXPECT_EQ(rest.GetFrames(), 0);
    EXPECT_EQ(rest.GetFrames(), 0);
    EXPECT_EQ(env_.iniReads, reads + 2) << "a missing number is read again";
}

TEST_F(CalendarTest, TheStripHasOneOwnerAndGoesAfterEachShowing) {
    env_.Set(L"VynDrink", L"png", L"drink.png");
    CActionDrink drink(env_, settings_);
    const HBITMAP strip = drink.GetBitmap();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(drink.GetBitmap(), strip);
    EXPECT_EQ(env_.loadedStrips, std::vector<std::wstring>{L"drink.png"});
    EXPECT_EQ(drink.OnDone(), 0);
    EXPECT_EQ(::GetObjectType(strip), 0u);
    EXPECT_EQ(env_.stops, 1);
    EXPECT_EQ(drink.OnDone(), 0) << "a second clean-up has nothing left to free";
    EXPECT_NE(drink.GetBitmap(), nullptr) << "loaded again for the next showing";
}

// The action file comes out of the skin package as UTF-16LE with a BOM; the
// profile functions must read it whatever the ANSI code page.
TEST(ActionFileEncodingTest, AUtf16FileIsReadUnderTheChineseLocale) {
    EXPECT_EQ(::GetACP(), 936u);
    const std::wstring file = ActionFilePath();
    testsupport::FileBackup backup(file);
    std::wstring dir = file.substr(0, file.find_last_of(L'\\'));
    ASSERT_TRUE(CreateDirectoryTree(dir.c_str()));
    const std::wstring text =
        L"[VynRest]\r\ntiptext=休息一下吧~|站起来走走\r\npng=rest.png\r\nframes=8\r\n[VynDrink]\r\ntiptext=喝水\r\n";
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    const wchar_t bom = 0xFEFF;
    ::WriteFile(h, &bom, sizeof(bom), &written, nullptr);
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(h);

    IActionEnvironment& env = SystemActionEnvironment();
    EXPECT_EQ(env.ReadActionString(L"VynRest", L"tiptext"), L"休息一下吧~|站起来走走");
    EXPECT_EQ(env.ReadActionString(L"VynRest", L"frames"), L"8");
    EXPECT_EQ(env.ReadActionString(L"VynDrink", L"tiptext"), L"喝水");
    EXPECT_EQ(env.ReadActionString(L"VynSleep", L"tiptext"), L"");
}

}  // namespace
