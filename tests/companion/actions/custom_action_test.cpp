#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "companion/actions/custom_action.h"
#include "companion/actions/tip_markers.h"
#include "companion/system/power.h"
#include "tests/companion/fake_action_environment.h"
#include "tests/companion/prefix_state.h"
#include "tests/support/recording_power.h"

using namespace companion;

namespace {

struct WindowCase {
    const wchar_t* stored;
    int hour, minute, second;
    bool inside;
};

TEST(AlertWindowTest, FromTheStoredMinuteToTwoMinutesLater) {
    const WindowCase cases[] = {
        {L"08:00", 8, 0, 0, true},    {L"08:00", 8, 2, 59, true},  {L"08:00", 8, 3, 0, false},
        {L"08:00", 7, 59, 59, false}, {L"23:59", 23, 59, 0, true}, {L"23:59", 23, 59, 59, true},
        {L"23:59", 0, 0, 5, false},   {L"23:58", 0, 0, 10, false}, {L"10:59", 11, 0, 0, true},
        {L"10:59", 11, 1, 59, true},  {L"10:59", 11, 2, 0, false}, {L"10:58", 11, 0, 30, true},
        {L"10:58", 11, 1, 0, false},  {L"00:00", 0, 2, 0, true},
        // anything but zero-padded "HH:MM" never matches
        {L"8:00", 8, 0, 0, false},    {L"24:00", 0, 0, 0, false},  {L"08:60", 9, 0, 0, false},
        {L"08-00", 8, 0, 0, false},   {L"08:00 ", 8, 0, 0, false}, {L"", 8, 0, 0, false},
        {L"0８:00", 8, 0, 0, false},
    };
    for (const WindowCase& c : cases)
        EXPECT_EQ(InAlertWindow(c.stored, c.hour, c.minute, c.second), c.inside)
            << testsupport::Narrow(c.stored) << " at " << c.hour << ":" << c.minute << ":" << c.second;
}

TEST(StripMarkersTest, TheUsersTextCannotSmuggleAMarker) {
    EXPECT_EQ(StripMarkers(L"开会"), L"开会");
    EXPECT_EQ(StripMarkers(L"$shutdown$1"), L"1");
    EXPECT_EQ(StripMarkers(L"a$eyeguardian$b$cpugpu$c$custom$d"), L"abcd");
    EXPECT_EQ(StripMarkers(L"$cu$custom$stom$x"), L"x") << "a marker joined by taking another out";
}

// Writes Corvalle.ini fixtures and runs the action on a scripted clock.
class CustomActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        backup_.emplace(ConfigFilePath());
        ASSERT_TRUE(EnsureConfigFolder());
        SetPowerControl(&power_);
        CActionCustom::AlertsLoaded() = 0;
        env_.SetDate(2026, 12, 9);  // a Wednesday
        env_.SetTime(7, 0);
    }
    void TearDown() override {
        SetPowerControl(nullptr);
        backup_.reset();
    }
    void Write(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
        ASSERT_EQ(WriteConfigString(section, key, value), 0);
    }
    void AddAlert(int n, const wchar_t* time, int repeat, const wchar_t* text, const wchar_t* lastSet = L"20261209",
                  int state = 1, const wchar_t* ring = L"") {
        const std::wstring section = L"TimerAlert" + std::to_wstring(n);
        Write(section.c_str(), L"TimerAlertTime", time);
        Write(section.c_str(), L"TimerAlertRepeat", std::to_wstring(repeat).c_str());
        Write(section.c_str(), L"LastSetDate", lastSet);
        Write(section.c_str(), L"TimerAlertContent", text);
        Write(section.c_str(), L"Ring", ring);
        Write(section.c_str(), L"State", std::to_wstring(state).c_str());
        Write(L"vyn", L"TimerAlertCount", std::to_wstring(n).c_str());
    }
    void AddShutdown(int n, const wchar_t* time, int repeat, int style, const wchar_t* lastSet = L"20261209",
                     int state = 1) {
        const std::wstring section = L"vynShutDown" + std::to_wstring(n);
        Write(section.c_str(), L"ShutDownAlertTime", time);
        Write(section.c_str(), L"ShutDownAlertRepeat", std::to_wstring(repeat).c_str());
        Write(section.c_str(), L"ShutDownStyle", std::to_wstring(style).c_str());
        Write(section.c_str(), L"LastSetDate", lastSet);
        Write(section.c_str(), L"State", std::to_wstring(state).c_str());
        Write(L"vyn", L"TimeShutDownCount", std::to_wstring(n).c_str());
    }
    // The tip of each poll from h:m to the end time, every `step` seconds;
    // empty entries for polls that were not due.
    std::vector<std::wstring> PollFrom(CActionCustom& action, int h, int m, int endH, int endM, int step = 5) {
        std::vector<std::wstring> tips;
        for (int s = (h * 60 + m) * 60; s <= (endH * 60 + endM) * 60; s += step) {
            env_.SetTime(static_cast<WORD>(s / 3600), static_cast<WORD>(s / 60 % 60), static_cast<WORD>(s % 60));
            env_.tick += step * 1000;
            tips.push_back(action.CheckCondition() ? action.GetTipText() : std::wstring());
        }
        return tips;
    }
    static std::vector<std::wstring> Fired(const std::vector<std::wstring>& tips) {
        std::vector<std::wstring> fired;
        for (const auto& t : tips)
            if (!t.empty()) fired.push_back(t);
        return fired;
    }

    std::optional<testsupport::FileBackup> backup_;
    FakeActionEnvironment env_;
    SharedSettings settings_;
    testsupport::RecordingPower power_;
};

TEST_F(CustomActionTest, ADailyReminderFiresOnceInsideItsWindow) {
    AddAlert(1, L"08:00", 1, L"喝杯茶", L"20200101");
    CActionCustom action(env_, settings_);
    const auto fired = Fired(PollFrom(action, 7, 58, 8, 10));
    EXPECT_EQ(fired, std::vector<std::wstring>{L"$custom$喝杯茶"});
}

TEST_F(CustomActionTest, StartedLateInsideTheWindowItStillFiresButNotAfter) {
    AddAlert(1, L"08:00", 1, L"x");
    {
        env_.SetTime(8, 2, 30);
        CActionCustom action(env_, settings_);
        EXPECT_TRUE(action.CheckCondition());
    }
    CActionCustom::AlertsLoaded() = 0;
    env_.SetTime(8, 3, 0);
    CActionCustom late(env_, settings_);
    EXPECT_TRUE(Fired(PollFrom(late, 8, 3, 9, 0)).empty());
}

TEST_F(CustomActionTest, RemindersAtTheSameMinuteComeInLaterScans) {
    AddAlert(1, L"09:30", 1, L"first");
    AddAlert(2, L"09:30", 1, L"second");
    CActionCustom action(env_, settings_);
    const auto fired = Fired(PollFrom(action, 9, 29, 9, 35));
    EXPECT_EQ(fired, (std::vector<std::wstring>{L"$custom$first", L"$custom$second"}));
}

TEST_F(CustomActionTest, RepeatRulesFollowTheCalendar) {
    AddAlert(1, L"08:00", 0, L"once", L"20261209");
    AddAlert(2, L"08:00", 2, L"weekdays");
    AddAlert(3, L"08:00", 3, L"weekend");
    AddAlert(4, L"08:00", 0, L"once yesterday", L"20261208");
    AddAlert(5, L"08:00", 1, L"paused", L"20261209", 0);
    CActionCustom action(env_, settings_);
    EXPECT_EQ(Fired(PollFrom(action, 7, 59, 8, 3)),
              (std::vector<std::wstring>{L"$custom$once", L"$custom$weekdays"}));

    env_.SetDate(2026, 12, 12);  // Saturday
    EXPECT_EQ(Fired(PollFrom(action, 7, 59, 8, 3)), std::vector<std::wstring>{L"$custom$weekend"});
    env_.SetDate(2026, 12, 31);  // Thursday, then over the year's end
    EXPECT_EQ(Fired(PollFrom(action, 7, 59, 8, 3)), std::vector<std::wstring>{L"$custom$weekdays"});
    env_.SetDate(2027, 1, 2);  // Saturday
    EXPECT_EQ(Fired(PollFrom(action, 7, 59, 8, 3)), std::vector<std::wstring>{L"$custom$weekend"});
}

TEST_F(CustomActionTest, AMissedWindowIsNotCaughtUpAfterSleep) {
    AddAlert(1, L"08:00", 1, L"x");
    CActionCustom action(env_, settings_);
    EXPECT_TRUE(Fired(PollFrom(action, 7, 50, 7, 55)).empty());
    // The machine slept from 07:55 to 08:10.
    EXPECT_TRUE(Fired(PollFrom(action, 8, 10, 8, 20)).empty());
}

TEST_F(CustomActionTest, TheRingPlaysWhenItIsAFile) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    AddAlert(1, L"08:00", 1, L"with ring", L"20261209", 1, self);
    AddAlert(2, L"08:00", 1, L"missing ring", L"20261209", 1, L"C:\\no\\ring.wav");
    CActionCustom action(env_, settings_);
    EXPECT_EQ(Fired(PollFrom(action, 8, 0, 8, 1)).size(), 2u);
    EXPECT_EQ(env_.played, std::vector<std::wstring>{self});
}

TEST_F(CustomActionTest, MarkersInTheUsersTextAreTakenOut) {
    AddAlert(1, L"08:00", 1, L"$shutdown$1");
    CActionCustom action(env_, settings_);
    EXPECT_EQ(Fired(PollFrom(action, 8, 0, 8, 1)), std::vector<std::wstring>{L"$custom$1"});
}

TEST_F(CustomActionTest, ASavedListKeepsWhatAlreadyFiredToday) {
    AddAlert(1, L"10:00", 1, L"x");
    CActionCustom action(env_, settings_);
    EXPECT_EQ(Fired(PollFrom(action, 10, 0, 10, 0)).size(), 1u);
    // The settings program saves the list again at 10:01.
    AddAlert(1, L"10:00", 1, L"x edited");
    CActionCustom::AlertsLoaded() = 0;
    EXPECT_TRUE(Fired(PollFrom(action, 10, 1, 10, 2)).empty());
    // A changed time is a new entry.
    AddAlert(1, L"10:02", 1, L"moved");
    CActionCustom::AlertsLoaded() = 0;
    EXPECT_EQ(Fired(PollFrom(action, 10, 2, 10, 3)), std::vector<std::wstring>{L"$custom$moved"});
}

TEST_F(CustomActionTest, ANewDayStartsEveryEntryAfresh) {
    AddAlert(1, L"08:00", 1, L"daily");
    CActionCustom action(env_, settings_);
    EXPECT_EQ(Fired(PollFrom(action, 8, 0, 8, 1)).size(), 1u);
    env_.SetDate(2026, 12, 10);
    EXPECT_EQ(Fired(PollFrom(action, 8, 0, 8, 1)).size(), 1u);
}

TEST_F(CustomActionTest, HostileCountsReadOnlyTheSectionsThatExist) {
    AddAlert(1, L"08:00", 1, L"only one");
    Write(L"vyn", L"TimerAlertCount", L"2147483647");
    Write(L"vyn", L"TimeShutDownCount", L"-5");
    CActionCustom action(env_, settings_);
    const DWORD start = ::GetTickCount();
    env_.SetTime(8, 0);
    EXPECT_TRUE(action.CheckCondition());
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_EQ(action.Alerts().size(), 1u);
    EXPECT_TRUE(action.Shutdowns().empty());
}

TEST_F(CustomActionTest, ATimedShutdownFiresWithItsStyleAndKeepsTheMachineAwakeUntilThen) {
    AddShutdown(1, L"22:00", 1, 1, L"20200101");
    CActionCustom action(env_, settings_);
    const auto fired = Fired(PollFrom(action, 21, 59, 22, 5));
    EXPECT_EQ(fired, std::vector<std::wstring>{L"$shutdown$1"});
    EXPECT_EQ(power_.awake, (std::vector<bool>{true, false})) << "awake while pending, then released";
}

TEST_F(CustomActionTest, OnlyShutdownsThatCanStillFireKeepTheMachineAwake) {
    AddShutdown(1, L"06:00", 0, 1, L"20261209");  // today, but its time has passed
    AddShutdown(2, L"22:00", 0, 1, L"20261201");  // another day's one-time shutdown
    AddShutdown(3, L"22:00", 1, 9);               // no such style
    AddShutdown(4, L"22:00", 1, 2, L"20261209", 0);  // paused
    CActionCustom action(env_, settings_);
    EXPECT_TRUE(Fired(PollFrom(action, 21, 59, 22, 5)).empty());
    EXPECT_TRUE(power_.awake.empty());
}

TEST_F(CustomActionTest, ARestartedMachineIsNotShutDownAgainByTheSameEntry) {
    AddShutdown(1, L"22:00", 1, 0, L"20200101");  // daily restart, set long ago
    Write(L"vyn", L"lastshutdowntime", L"202612092200");
    CActionCustom action(env_, settings_);
    EXPECT_TRUE(Fired(PollFrom(action, 22, 1, 22, 5)).empty());
    // Yesterday's shutdown does not count today.
    Write(L"vyn", L"lastshutdowntime", L"202612082200");
    env_.SetDate(2026, 12, 10);
    EXPECT_EQ(Fired(PollFrom(action, 22, 1, 22, 2)), std::vector<std::wstring>{L"$shutdown$0"});
}

TEST_F(CustomActionTest, AnEntryCoveredByTheRestModeFiresWhenTheRestEnds) {
    AddShutdown(1, L"22:00", 1, 3);
    settings_.EyeRun = true;
    std::tm begin{};
    begin.tm_year = 2026 - 1900;
    begin.tm_mon = 11;
    begin.tm_mday = 9;
    begin.tm_hour = 21;
    begin.tm_min = 55;
    begin.tm_isdst = -1;
    settings_.RestBegin = ::_mktime64(&begin);
    settings_.RestEnd = settings_.RestBegin.load() + 10 * 60;
    CActionCustom action(env_, settings_);
    const auto tips = PollFrom(action, 22, 6, 22, 7);
    ASSERT_FALSE(tips.empty());
    EXPECT_EQ(tips[0], L"$shutdown$3") << "the first poll after the rest mode";
}

TEST_F(CustomActionTest, TheSwitchAndTheUsersBusinessDoNotHoldEntries) {
    settings_.WiseHealthAlert = false;
    env_.busy = true;
    AddAlert(1, L"08:00", 1, L"x");
    CActionCustom action(env_, settings_);
    EXPECT_EQ(Fired(PollFrom(action, 8, 0, 8, 1)).size(), 1u);
}

}  // namespace
