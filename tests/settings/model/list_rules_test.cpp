// The rules of the reminder and shutdown lists as functions of the lists and
// the moment: validation, duplicates, one active shutdown a day, countdowns
// and the timers' state changes, across day and week boundaries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "settings/pages/PageControls.h"
#include "tests/settings/test_support.h"

using namespace protocol;
using namespace settings;

using settingstest::At;

namespace {

TTimerAlertInfo Alert(const wchar_t* time, int repeat, const wchar_t* date = L"20130715", int state = 1) {
    TTimerAlertInfo e;
    e.Time = time;
    e.Repeat = repeat;
    e.LastSetDate = date;
    e.State = state;
    return e;
}

TShutDownAlertInfo ShutDown(const wchar_t* time, int repeat, const wchar_t* date = L"20130715", int state = 1) {
    TShutDownAlertInfo e;
    e.Time = time;
    e.Repeat = repeat;
    e.LastSetDate = date;
    e.State = state;
    return e;
}

TReminderForm Once(TDateTime date, int hour, int minute) {
    TReminderForm f;
    f.Repeating = false;
    f.Date = date;
    f.Hour = hour;
    f.Minute = minute;
    return f;
}

// 15 July 2013 is a Monday.
TEST(ListRules, ReminderValidationTellsTheUserWhatIsWrong) {
    const TDateTime now = At(2013, 7, 15, 10, 30, 20);
    struct Case {
        TReminderForm form;
        TEntryVerdict verdict;
        const wchar_t* text;
    };
    TReminderForm missingRing;
    missingRing.Ring = L"C:\\no\\such\\ring.wav";
    const Case cases[] = {
        {missingRing, evRingMissing, L"提醒铃声文件不存在，请重新设置。"},
        {Once(At(2013, 7, 14), 12, 0), evPastDate, L"不能选择过期的提醒日期!"},
        {Once(At(2013, 7, 15), 10, 30), evPastTime, L"不能选择过期的提醒时间!"},
        {Once(At(2013, 7, 15), 10, 0), evPastTime, L"不能选择过期的提醒时间!"},
        {Once(At(2013, 7, 15), 10, 31), evOk, L""},
        {Once(At(2015, 7, 15), 10, 30), evOk, L""},
        {Once(At(2015, 7, 15), 10, 31), evBeyondTwoYears, L"只能选择两年内的日期！"},
        {Once(At(2016, 1, 1), 0, 0), evBeyondTwoYears, L"只能选择两年内的日期！"},
    };
    for (const Case& c : cases) {
        TTimerAlertInfo entry;
        EXPECT_EQ(BuildReminder({}, -1, c.form, now, entry), c.verdict) << c.form.Date.Day << " " << c.form.Hour;
        EXPECT_EQ(VerdictText(c.verdict), c.text);
    }
}

TEST(ListRules, ARingOfAnotherTypeIsRefused) {
    const std::wstring path = settingstest::WorkDir() + L"ring_test.txt";
    ASSERT_TRUE(settingstest::WriteFixture(path, L"x", settingstest::Encoding::Ansi936));
    TReminderForm form;
    form.Ring = path;
    TTimerAlertInfo entry;
    EXPECT_EQ(BuildReminder({}, -1, form, At(2013, 7, 15, 9), entry), evRingFormat);
    EXPECT_EQ(VerdictText(evRingFormat), L"提醒铃声不支持此文件格式！");
    ::DeleteFileW(path.c_str());
}

TEST(ListRules, DuplicatesNeedTheSameKindTimeAndForOneTimeEntriesDay) {
    const TDateTime now = At(2013, 7, 15, 6, 0, 0);
    const std::vector<TTimerAlertInfo> list = {Alert(L"08:00", kRepeatEveryDay), Alert(L"09:00", kRepeatOnce, L"20130716")};
    TReminderForm daily;
    daily.Hour = 8;
    TTimerAlertInfo entry;
    EXPECT_EQ(BuildReminder(list, -1, daily, now, entry), evDuplicateReminder);
    EXPECT_EQ(VerdictText(evDuplicateReminder), L"不能创建时间重复的提醒！");
    EXPECT_EQ(BuildReminder(list, 0, daily, now, entry), evOk) << "the entry under edit is no duplicate of itself";
    TReminderForm weekdays = daily;
    weekdays.RepeatKind = kRepeatWeekdays;
    EXPECT_EQ(BuildReminder(list, -1, weekdays, now, entry), evOk);
    EXPECT_EQ(entry.Time, L"08:00");
    EXPECT_EQ(entry.Repeat, kRepeatWeekdays);
    EXPECT_EQ(entry.LastSetDate, L"20130715");
    EXPECT_EQ(BuildReminder(list, -1, Once(At(2013, 7, 16), 9, 0), now, entry), evDuplicateReminder);
    EXPECT_EQ(BuildReminder(list, -1, Once(At(2013, 7, 17), 9, 0), now, entry), evOk);

    const std::vector<TShutDownAlertInfo> shutDowns = {ShutDown(L"23:00", kRepeatOnce, L"20130716")};
    TShutDownForm form;
    form.Hour = 23;
    TShutDownAlertInfo made;
    // Saved at 23:30 for 23:00: tomorrow's 23:00, which is taken.
    EXPECT_EQ(BuildShutDown(shutDowns, -1, form, At(2013, 7, 15, 23, 30), made), evDuplicateShutDown);
    EXPECT_EQ(VerdictText(evDuplicateShutDown), L"不能创建时间重复的定时关机！");
    EXPECT_EQ(BuildShutDown({}, -1, form, At(2013, 7, 15, 23, 30), made), evOk);
    EXPECT_EQ(made.LastSetDate, L"20130716");
    EXPECT_EQ(BuildShutDown({}, -1, form, At(2013, 7, 15, 22, 59), made), evOk);
    EXPECT_EQ(made.LastSetDate, L"20130715");
}

TEST(ListRules, BlankContentBecomesTheDefaultAndAPausedEntryStaysPaused) {
    TReminderForm form;
    form.Hour = 7;
    form.Content = L"   ";
    TTimerAlertInfo entry = Alert(L"06:00", kRepeatEveryDay, L"20130101", kStatePaused);
    ASSERT_EQ(BuildReminder({}, -1, form, At(2013, 7, 15, 6), entry), evOk);
    EXPECT_EQ(entry.Content, L"请添加您要提醒的内容");
    EXPECT_EQ(entry.State, kStatePaused);
    entry.State = kStateExpired;
    ASSERT_EQ(BuildReminder({}, -1, form, At(2013, 7, 15, 6), entry), evOk);
    EXPECT_EQ(entry.State, kStateActive);
}

TEST(ListRules, OneActiveShutDownADay) {
    struct Case {
        TShutDownAlertInfo active;
        TShutDownAlertInfo other;
        bool shares;
    };
    const Case cases[] = {
        {ShutDown(L"22:00", kRepeatEveryDay), ShutDown(L"21:00", kRepeatWeekend), true},
        {ShutDown(L"22:00", kRepeatWeekdays), ShutDown(L"21:00", kRepeatWeekend), false},
        {ShutDown(L"22:00", kRepeatWeekdays), ShutDown(L"21:00", kRepeatWeekdays), true},
        {ShutDown(L"22:00", kRepeatWeekdays), ShutDown(L"21:00", kRepeatOnce, L"20130719"), true},   // Friday
        {ShutDown(L"22:00", kRepeatWeekdays), ShutDown(L"21:00", kRepeatOnce, L"20130720"), false},  // Saturday
        {ShutDown(L"22:00", kRepeatWeekend), ShutDown(L"21:00", kRepeatOnce, L"20130721"), true},    // Sunday
        {ShutDown(L"22:00", kRepeatOnce, L"20130721"), ShutDown(L"21:00", kRepeatWeekend), true},
        {ShutDown(L"22:00", kRepeatOnce, L"20130722"), ShutDown(L"21:00", kRepeatWeekend), false},
        {ShutDown(L"22:00", kRepeatOnce, L"20130722"), ShutDown(L"21:00", kRepeatOnce, L"20130722"), true},
        {ShutDown(L"22:00", kRepeatOnce, L"20130722"), ShutDown(L"21:00", kRepeatOnce, L"20130723"), false},
    };
    for (const Case& c : cases) {
        std::vector<TShutDownAlertInfo> list = {c.active, c.other};
        EXPECT_EQ(PauseOverlappingShutDowns(list, 0), c.shares ? 1 : 0) << c.active.Repeat << "/" << c.other.Repeat;
        EXPECT_EQ(list[1].State, c.shares ? kStatePaused : kStateActive);
        EXPECT_EQ(list[0].State, kStateActive);
    }
    std::vector<TShutDownAlertInfo> list = {ShutDown(L"22:00", kRepeatEveryDay),
                                            ShutDown(L"21:00", kRepeatOnce, L"20130101", kStateExpired)};
    PauseOverlappingShutDowns(list, 0);
    EXPECT_EQ(list[1].State, kStateExpired) << "expired entries stay expired";
}

TEST(ListRules, CountdownsAcrossDayAndWeekBoundaries) {
    struct Case {
        TShutDownAlertInfo entry;
        TDateTime now;
        int64_t seconds;
    };
    const Case cases[] = {
        {ShutDown(L"22:00", kRepeatEveryDay), At(2013, 7, 15, 21, 0, 0), 3600},
        {ShutDown(L"22:00", kRepeatEveryDay), At(2013, 7, 15, 22, 0, 0), 86400},
        {ShutDown(L"22:00", kRepeatEveryDay), At(2013, 7, 15, 23, 0, 0), 82800},
        {ShutDown(L"08:00", kRepeatWeekdays), At(2013, 7, 19, 9, 0, 0), 259200 - 3600},   // Friday → Monday
        {ShutDown(L"08:00", kRepeatWeekdays), At(2013, 7, 20, 9, 0, 0), 2 * 86400 - 3600}, // Saturday
        {ShutDown(L"08:00", kRepeatWeekdays), At(2013, 7, 21, 7, 0, 0), 86400 + 3600},     // Sunday
        {ShutDown(L"08:00", kRepeatWeekend), At(2013, 7, 15, 8, 0, 0), 5 * 86400},         // Monday → Saturday
        {ShutDown(L"08:00", kRepeatWeekend), At(2013, 7, 20, 9, 0, 0), 86400 - 3600},      // Saturday → Sunday
        {ShutDown(L"08:00", kRepeatWeekend), At(2013, 7, 21, 9, 0, 0), 518400 - 3600},     // Sunday → Saturday
        {ShutDown(L"00:30", kRepeatOnce, L"20130801"), At(2013, 7, 31, 23, 0, 0), 5400},
        {ShutDown(L"00:30", kRepeatOnce, L"20130701"), At(2013, 7, 31, 23, 0, 0), 0},      // never negative
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShutDownCountdown(c.entry, c.now), c.seconds) << c.entry.Time << " kind " << c.entry.Repeat;
    EXPECT_EQ(FormatSeconds(ShutDownCountdown(ShutDown(L"22:00", kRepeatEveryDay), At(2013, 7, 15, 21, 58, 55))),
              L"00:01:05");
}

TEST(ListRules, TimersFollowTheClock) {
    std::vector<TTimerAlertInfo> alerts = {Alert(L"10:00", kRepeatOnce, L"20130715", kStateActive),
                                           Alert(L"10:00", kRepeatOnce, L"20130716", kStateExpired),
                                           Alert(L"10:00", kRepeatEveryDay, L"20130101", kStatePaused)};
    EXPECT_TRUE(TickTimerAlerts(alerts, At(2013, 7, 15, 10, 0, 0)));
    EXPECT_EQ(alerts[0].State, kStateExpired);
    EXPECT_EQ(alerts[1].State, kStateActive);
    EXPECT_EQ(alerts[2].State, kStatePaused);
    EXPECT_FALSE(TickTimerAlerts(alerts, At(2013, 7, 15, 10, 0, 1)));

    std::vector<TShutDownAlertInfo> list = {ShutDown(L"10:00", kRepeatOnce, L"20130715", kStateActive),
                                            ShutDown(L"11:00", kRepeatOnce, L"20130715", kStatePaused),
                                            ShutDown(L"12:00", kRepeatOnce, L"20130716", kStateExpired),
                                            ShutDown(L"12:00", kRepeatEveryDay, L"20130101", kStateActive)};
    TShutDownTick tick = TickShutDowns(list, At(2013, 7, 15, 11, 30));
    EXPECT_EQ(list[0].State, kStateExpired);
    EXPECT_EQ(list[1].State, kStateExpired);
    EXPECT_EQ(list[2].State, kStatePaused) << "a moment ahead again comes back paused";
    EXPECT_EQ(list[3].State, kStateActive);
    EXPECT_TRUE(tick.Changed);
    EXPECT_TRUE(tick.Save);
    EXPECT_TRUE(tick.AnyActive);
    std::vector<TShutDownAlertInfo> shownOnly = {ShutDown(L"10:00", kRepeatOnce, L"20130715", kStateActive)};
    tick = TickShutDowns(shownOnly, At(2013, 7, 15, 10, 1));
    EXPECT_TRUE(tick.Changed);
    EXPECT_FALSE(tick.Save) << "an active entry that passed is only shown expired";

    EXPECT_EQ(ToggledState(kStateActive), kStatePaused);
    EXPECT_EQ(ToggledState(kStatePaused), kStateActive);
    EXPECT_EQ(ToggledState(kStateExpired), kStateExpired);
    bool nextDay = false;
    EXPECT_EQ(NextHour(At(2013, 7, 15, 23, 10), &nextDay), 0);
    EXPECT_TRUE(nextDay);
    EXPECT_EQ(NextHour(At(2013, 7, 15, 9, 10), &nextDay), 10);
    EXPECT_FALSE(nextDay);
}

}  // namespace

TEST(ClampedListNumberTest, AnHourOrMinuteOfAnyLengthClampsOrIsZero) {
    const struct { const wchar_t* text; int limit, expected; } cases[] = {
        {L"", 24, 0}, {L"7", 24, 7}, {L"24", 24, 23}, {L"999999", 60, 59}, {L"0000007", 24, 7},
        {L"1234567890123", 60, 59}, {L"12345678a", 24, 0}, {L"5x", 60, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampedListNumber(c.text, c.limit), c.expected) << testing::PrintToString(std::wstring(c.text));
}
