#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/numbers.h"
#include "protocol/corvalle_ini.h"

namespace {

using protocol::RepeatAllows;

// 2026-12-07 is a Monday.
struct DayCase {
    int repeat;
    const wchar_t* lastSetDate;
    const wchar_t* day;
    int dayOfWeek;
    bool fires;
};

TEST(FiringRuleTest, EachRepeatOverAWeek) {
    const DayCase cases[] = {
        {protocol::kRepeatOnce, L"20261207", L"20261207", 1, true},
        {protocol::kRepeatOnce, L"20261207", L"20261208", 2, false},
        {protocol::kRepeatOnce, L"", L"20261207", 1, false},
        {protocol::kRepeatEveryDay, L"", L"20261212", 6, true},
        {protocol::kRepeatEveryDay, L"20200101", L"20261213", 0, true},
        {protocol::kRepeatWeekdays, L"", L"20261207", 1, true},
        {protocol::kRepeatWeekdays, L"", L"20261211", 5, true},
        {protocol::kRepeatWeekdays, L"", L"20261212", 6, false},
        {protocol::kRepeatWeekdays, L"", L"20261213", 0, false},
        {protocol::kRepeatWeekend, L"", L"20261211", 5, false},
        {protocol::kRepeatWeekend, L"", L"20261212", 6, true},
        {protocol::kRepeatWeekend, L"", L"20261213", 0, true},
        {4, L"20261207", L"20261207", 1, false},
        {-1, L"20261207", L"20261207", 1, false},
    };
    for (const DayCase& c : cases)
        EXPECT_EQ(RepeatAllows(c.repeat, c.lastSetDate, c.day, c.dayOfWeek), c.fires)
            << "repeat " << c.repeat << " on day of week " << c.dayOfWeek;
}

TEST(NumberedSectionTest, PrefixAndPlainDecimal) {
    EXPECT_EQ(protocol::NumberedSectionName(protocol::ini::kReminderPrefix, 1), L"TimerAlert1");
    EXPECT_EQ(protocol::NumberedSectionName(protocol::ini::kShutDownPrefix, 10000), L"vynShutDown10000");
}

using Key = std::pair<std::wstring, std::wstring>;

// A file as a map; a missing key gives the reader's default.
protocol::ListReading ReadingOf(const std::map<Key, std::wstring>& file, bool leadingDigits) {
    protocol::ListReading r;
    r.Text = [&file](const wchar_t* section, const wchar_t* key, const std::wstring& def) {
        const auto it = file.find({section, key});
        return it == file.end() ? def : it->second;
    };
    if (leadingDigits)
        r.Integer = [](const std::wstring& text, int) { return base::LeadingInteger(text); };
    else
        r.Integer = [](const std::wstring& text, int def) {
            int value = 0;
            return base::ParseDecimalOrHex(text, value) ? value : def;
        };
    r.ReminderDefaults = {L"", protocol::kRepeatOnce, L"default", L"today", L"", protocol::kStateActive};
    r.ShutDownDefaults = {L"", protocol::kRepeatOnce, protocol::kStyleForcedPowerOff, L"today", protocol::kStatePaused};
    return r;
}

TEST(ListSectionTest, WritesTheKeysInOrderAndReadsThemBack) {
    std::vector<Key> order;
    std::map<Key, std::wstring> file;
    const protocol::ValueWriter write = [&](const wchar_t* section, const wchar_t* key, const std::wstring& value) {
        order.emplace_back(section, key);
        file[{section, key}] = value;
        return true;
    };
    protocol::ReminderEntry reminder;
    reminder.Time = L"08:30";
    reminder.Repeat = protocol::kRepeatWeekdays;
    reminder.Content = L"站起来";
    reminder.LastSetDate = L"20261207";
    reminder.Ring = L"C:\\ring.wav";
    reminder.State = protocol::kStatePaused;
    ASSERT_TRUE(protocol::WriteReminderSection(write, L"TimerAlert1", reminder));
    protocol::ShutDownEntry shutdown;
    shutdown.Time = L"23:00";
    shutdown.Repeat = protocol::kRepeatWeekend;
    shutdown.Style = protocol::kStyleRestart;
    shutdown.LastSetDate = L"20261208";
    shutdown.State = protocol::kStateExpired;
    ASSERT_TRUE(protocol::WriteShutDownSection(write, L"vynShutDown1", shutdown));

    const std::vector<Key> expected = {
        {L"TimerAlert1", L"TimerAlertTime"},       {L"TimerAlert1", L"TimerAlertRepeat"},
        {L"TimerAlert1", L"TimerAlertContent"},    {L"TimerAlert1", L"LastSetDate"},
        {L"TimerAlert1", L"Ring"},                 {L"TimerAlert1", L"State"},
        {L"vynShutDown1", L"ShutDownAlertTime"},   {L"vynShutDown1", L"ShutDownAlertRepeat"},
        {L"vynShutDown1", L"ShutDownStyle"},       {L"vynShutDown1", L"LastSetDate"},
        {L"vynShutDown1", L"State"},
    };
    EXPECT_EQ(order, expected);
    EXPECT_EQ(file[Key(L"TimerAlert1", L"State")], L"0");
    EXPECT_EQ(file[Key(L"vynShutDown1", L"State")], L"-1");

    for (bool leadingDigits : {true, false}) {
        const protocol::ListReading reading = ReadingOf(file, leadingDigits);
        const protocol::ReminderEntry r = protocol::ReadReminderSection(reading, L"TimerAlert1");
        EXPECT_EQ(r.Time, reminder.Time);
        EXPECT_EQ(r.Repeat, reminder.Repeat);
        EXPECT_EQ(r.Content, reminder.Content);
        EXPECT_EQ(r.LastSetDate, reminder.LastSetDate);
        EXPECT_EQ(r.Ring, reminder.Ring);
        EXPECT_EQ(r.State, reminder.State);
        const protocol::ShutDownEntry s = protocol::ReadShutDownSection(reading, L"vynShutDown1");
        EXPECT_EQ(s.Time, shutdown.Time);
        EXPECT_EQ(s.Repeat, shutdown.Repeat);
        EXPECT_EQ(s.Style, shutdown.Style);
        EXPECT_EQ(s.LastSetDate, shutdown.LastSetDate);
        EXPECT_EQ(s.State, shutdown.State);
    }
}

TEST(ListSectionTest, StopsAtTheFirstFailedWrite) {
    int writes = 0;
    const protocol::ValueWriter write = [&](const wchar_t*, const wchar_t*, const std::wstring&) {
        return ++writes < 3;
    };
    EXPECT_FALSE(protocol::WriteReminderSection(write, L"TimerAlert1", protocol::ReminderEntry{}));
    EXPECT_EQ(writes, 3);
}

TEST(ListSectionTest, MissingAndOddValuesFollowTheReading) {
    const std::map<Key, std::wstring> file = {
        {{L"TimerAlert1", L"TimerAlertRepeat"}, L"2x"},
        {{L"vynShutDown1", L"ShutDownAlertTime"}, L"07:00"},
    };
    // Leading digits: "2x" is 2, a missing State is 0.
    const protocol::ReminderEntry digits = protocol::ReadReminderSection(ReadingOf(file, true), L"TimerAlert1");
    EXPECT_EQ(digits.Repeat, protocol::kRepeatWeekdays);
    EXPECT_EQ(digits.State, 0);
    // Whole numbers: "2x" is none, so the default; a missing State the default.
    const protocol::ReminderEntry whole = protocol::ReadReminderSection(ReadingOf(file, false), L"TimerAlert1");
    EXPECT_EQ(whole.Repeat, protocol::kRepeatOnce);
    EXPECT_EQ(whole.State, protocol::kStateActive);
    EXPECT_EQ(whole.Content, L"default");
    EXPECT_EQ(whole.LastSetDate, L"today");

    const protocol::ShutDownEntry shutdown = protocol::ReadShutDownSection(ReadingOf(file, false), L"vynShutDown1");
    EXPECT_EQ(shutdown.Time, L"07:00");
    EXPECT_EQ(shutdown.Style, protocol::kStyleForcedPowerOff);
    EXPECT_EQ(shutdown.State, protocol::kStatePaused);
}

}  // namespace
