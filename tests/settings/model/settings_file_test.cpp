#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/model/GlobalFuncs.h"
#include "settings/model/SettingsFile.h"
#include "tests/settings/test_support.h"
#include "base/handles.h"

using namespace settings;

using settingstest::At;
using settingstest::Encoding;
using settingstest::FixedClock;
using settingstest::Profile;

namespace {

// Every fixture exists twice: in the ANSI code page 936, as the profile
// functions write a new file on a Chinese system, and as UTF-16LE with a BOM.
class SettingsFileTest : public ::testing::TestWithParam<Encoding> {
protected:
    void SetUp() override {
        ASSERT_EQ(::GetACP(), 936u) << "the tests run under the zh_CN locale";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = settingstest::WorkDir() + std::wstring(info->name(), info->name() + std::strlen(info->name())) + L".ini";
        for (wchar_t& c : path_)
            if (c == L'/') c = L'_';
        settingstest::RemovePath(path_);
    }
    void TearDown() override { settingstest::RemovePath(path_); }

    void Fixture(const std::vector<std::wstring>& lines) {
        std::wstring text;
        for (const auto& l : lines) text += l + L"\r\n";
        ASSERT_TRUE(settingstest::WriteFixture(path_, text, GetParam()));
    }
    std::wstring Get(const wchar_t* section, const wchar_t* key) const { return Profile(path_, section, key); }
    bool HasSection(const wchar_t* section) const { return TIniFile(path_).SectionExists(section); }
    std::wstring Keys(const wchar_t* section) const {
        wchar_t buffer[4096] = {};
        const DWORD n = ::GetPrivateProfileSectionW(section, buffer, 4096, path_.c_str());
        std::wstring keys;
        for (const wchar_t* line = buffer; line < buffer + n && *line; line += wcslen(line) + 1) {
            std::wstring l(line);
            keys += l.substr(0, l.find(L'=')) + L",";
        }
        return keys;
    }

    std::wstring path_;
};

TEST_P(SettingsFileTest, EveryKeyHasItsDefault) {
    Fixture({L"[other]", L"x=1"});
    const TIniFile ini(path_);
    const TGeneralSettings g = ReadGeneralSettings(ini, L"C:\\ring.wav");
    EXPECT_TRUE(g.WiseHealthAlert);
    EXPECT_FALSE(g.UseWiseAlertRing);
    EXPECT_EQ(g.Ring, L"C:\\ring.wav");
    EXPECT_FALSE(g.CustomWeather);
    EXPECT_EQ(g.ProvinceCode, L"");
    EXPECT_EQ(g.CityCode, L"");
    const TRestSettings r = ReadRestSettings(ini);
    EXPECT_FALSE(r.Run);
    EXPECT_EQ(r.Interval, 120);
    EXPECT_EQ(r.RestTime, 5);
    EXPECT_EQ(r.NextShown, L"00:00");
    EXPECT_TRUE(ReadTimerAlerts(ini).List.empty());
    EXPECT_TRUE(ReadShutDowns(ini).List.empty());
}

TEST_P(SettingsFileTest, ValuesAreReadWithTheirClamps) {
    Fixture({L"[vyn]", L"WiseHealthAlert=0", L"UseWiseAlertRing=2", L"Ring=D:\\铃声\\叮咚.wav", L"CustomWeather=abc",
             L"ProvinceCode=10128", L"CityCode=101280101", L"[eye]", L"run=1", L"interval=-5", L"resttime=0",
             L"next=0930"});
    const TIniFile ini(path_);
    const TGeneralSettings g = ReadGeneralSettings(ini, L"unused");
    EXPECT_FALSE(g.WiseHealthAlert);
    EXPECT_TRUE(g.UseWiseAlertRing);  // any nonzero number is on
    EXPECT_EQ(g.Ring, L"D:\\铃声\\叮咚.wav");
    EXPECT_FALSE(g.CustomWeather);  // not a number: the default
    EXPECT_EQ(g.CityCode, L"101280101");
    const TRestSettings r = ReadRestSettings(ini);
    EXPECT_TRUE(r.Run);
    EXPECT_EQ(r.Interval, 120);  // negative
    EXPECT_EQ(r.RestTime, 0);    // 0 is shown as it is until the next save
    EXPECT_EQ(r.NextShown, L"09:30");
}

struct IntegerCase {
    const wchar_t* text;
    int expected;
};

TEST_P(SettingsFileTest, IntegersAcceptDecimalAndHexOnly) {
    const IntegerCase cases[] = {{L"12", 12}, {L"-7", -7}, {L"0x10", 16}, {L"$1F", 31}, {L"12abc", 99},
                                 {L"", 99},   {L"abc", 99}, {L"99999999999", 99}, {L"2147483647", 2147483647}};
    std::vector<std::wstring> lines = {L"[n]"};
    for (size_t i = 0; i < std::size(cases); ++i) lines.push_back(L"k" + std::to_wstring(i) + L"=" + cases[i].text);
    Fixture(lines);
    const TIniFile ini(path_);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ini.ReadInteger(L"n", (L"k" + std::to_wstring(i)).c_str(), 99), cases[i].expected) << i;
}

struct ReminderCase {
    const wchar_t* date;
    const wchar_t* time;
    int repeat;
    const wchar_t* state;  // null: no key
    int expectedState;
    const wchar_t* expectedTime;
    const wchar_t* expectedDate;
};

TEST_P(SettingsFileTest, ReminderStatesFollowTheirMoment) {
    FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    const ReminderCase cases[] = {
        {L"20130715", L"11:59", 0, L"1", -1, L"11:59", L"20130715"},  // passed: expired whatever State says
        {L"20130715", L"12:00", 0, L"0", -1, L"12:00", L"20130715"},  // "now is not before" counts as passed
        {L"20130715", L"12:01", 0, L"0", 0, L"12:01", L"20130715"},   // future and paused
        {L"20130716", L"08:00", 0, L"-1", 1, L"08:00", L"20130716"},  // future: active again
        {L"20130716", L"08:00", 0, L"5", 1, L"08:00", L"20130716"},
        {L"20130716", L"08:00", 0, nullptr, 1, L"08:00", L"20130716"},
        {L"20120101", L"08:00", 1, L"-1", 0, L"08:00", L"20120101"},  // repeating, not 1: paused
        {L"20120101", L"08:00", 2, L"1", 1, L"08:00", L"20120101"},
        {L"20120101", L"08:00", 9, L"7", 0, L"08:00", L"20120101"},   // an unknown kind is kept
        {L"20140231", L"12-30", 1, L"1", 1, L"00:00", L"20140228"},   // dash removed, date cut
        {L"", L"25:70", 1, L"1", 1, L"00:59", L"20130715"},           // no date: today
    };
    std::vector<std::wstring> lines = {L"[vyn]", L"TimerAlertCount=" + std::to_wstring(std::size(cases))};
    for (size_t i = 0; i < std::size(cases); ++i) {
        lines.push_back(L"[TimerAlert" + std::to_wstring(i + 1) + L"]");
        lines.push_back(std::wstring(L"TimerAlertTime=") + cases[i].time);
        lines.push_back(L"TimerAlertRepeat=" + std::to_wstring(cases[i].repeat));
        if (*cases[i].date) lines.push_back(std::wstring(L"LastSetDate=") + cases[i].date);
        if (cases[i].state) lines.push_back(std::wstring(L"State=") + cases[i].state);
    }
    Fixture(lines);
    const TReminderRead read = ReadTimerAlerts(TIniFile(path_));
    ASSERT_EQ(read.List.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(read.List[i].State, cases[i].expectedState) << "case " << i;
        EXPECT_EQ(read.List[i].Time, cases[i].expectedTime) << "case " << i;
        EXPECT_EQ(read.List[i].LastSetDate, cases[i].expectedDate) << "case " << i;
        EXPECT_EQ(read.List[i].Content, protocol::kDefaultReminderText) << "case " << i;
        EXPECT_EQ(read.List[i].Ring, L"") << "case " << i;
        EXPECT_EQ(read.List[i].Repeat, cases[i].repeat) << "case " << i;
    }
}

TEST_P(SettingsFileTest, ChineseTextsSurviveReadingAndWriting) {
    Fixture({L"[vyn]", L"TimerAlertCount=1", L"[TimerAlert1]", L"TimerAlertTime=08:00", L"TimerAlertRepeat=1",
             L"TimerAlertContent=喝水啦，起来活动一下", L"Ring=C:\\音乐\\铃声.wav", L"State=1"});
    TIniFile ini(path_);
    TReminderRead read = ReadTimerAlerts(ini);
    ASSERT_EQ(read.List.size(), 1u);
    EXPECT_EQ(read.List[0].Content, L"喝水啦，起来活动一下");
    EXPECT_EQ(read.List[0].Ring, L"C:\\音乐\\铃声.wav");
    read.List[0].Content = L"该睡觉了";
    ASSERT_TRUE(SaveTimerAlertSections(ini, read.List, read.OldCount));
    EXPECT_EQ(Get(L"TimerAlert1", L"TimerAlertContent"), L"该睡觉了");
    const std::string bytes = settingstest::ReadBytes(path_);
    if (GetParam() == Encoding::Utf16Bom) {
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "the file keeps its encoding";
    } else {
        EXPECT_NE(bytes.find("\xB8\xC3\xCB\xAF\xBE\xF5\xC1\xCB"), std::string::npos) << "stored in code page 936";
    }
}

TEST_P(SettingsFileTest, ReminderSaveErasesTheOldCountAndWritesWithoutGaps) {
    FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    Fixture({L"[vyn]", L"TimerAlertCount=3", L"[TimerAlert1]", L"TimerAlertTime=08:00", L"TimerAlertRepeat=1",
             L"TimerAlertContent=一", L"[TimerAlert3]", L"TimerAlertTime=09:00", L"TimerAlertRepeat=2",
             L"TimerAlertContent=三", L"Extra=stale"});
    TIniFile ini(path_);
    TReminderRead read = ReadTimerAlerts(ini);
    ASSERT_EQ(read.List.size(), 2u);
    EXPECT_EQ(read.OldCount, 3);
    EXPECT_EQ(read.List[1].Content, L"三");
    ASSERT_TRUE(SaveTimerAlertSections(ini, read.List, read.OldCount));
    EXPECT_EQ(read.OldCount, 2);
    EXPECT_EQ(Get(L"vyn", L"TimerAlertCount"), L"2");
    EXPECT_EQ(Get(L"TimerAlert2", L"TimerAlertContent"), L"三");
    EXPECT_EQ(Get(L"TimerAlert2", L"Extra"), L"<none>");
    EXPECT_FALSE(HasSection(L"TimerAlert3"));
    EXPECT_EQ(Keys(L"TimerAlert1"), L"TimerAlertTime,TimerAlertRepeat,TimerAlertContent,LastSetDate,Ring,State,");
    EXPECT_EQ(Get(L"TimerAlert1", L"LastSetDate"), L"20130715");
    EXPECT_EQ(Get(L"TimerAlert1", L"State"), L"1");
}

TEST_P(SettingsFileTest, ShutDownRewriteErasesOnlyTheSectionsItRead) {
    FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    Fixture({L"[vyn]", L"TimeShutDownCount=3", L"[vynShutDown1]", L"ShutDownAlertTime=22:00", L"ShutDownAlertRepeat=1",
             L"ShutDownStyle=2", L"State=-1", L"[vynShutDown3]", L"ShutDownAlertTime=23:00", L"ShutDownAlertRepeat=0",
             L"ShutDownStyle=4", L"LastSetDate=20130716", L"State=-1"});
    TIniFile ini(path_);
    TShutDownRead read = ReadShutDowns(ini);
    ASSERT_EQ(read.List.size(), 2u);
    EXPECT_EQ(read.OldCount, 2);
    EXPECT_EQ(read.List[0].State, -1);  // repeating: kept as read
    EXPECT_EQ(read.List[1].State, 1);   // one-time in the future: active
    EXPECT_EQ(read.List[1].Style, 4);
    ASSERT_TRUE(SaveShutDownSections(ini, read.List, read.OldCount));
    EXPECT_EQ(Get(L"vyn", L"TimeShutDownCount"), L"2");
    EXPECT_EQ(Get(L"vynShutDown2", L"ShutDownAlertTime"), L"23:00");
    EXPECT_EQ(Keys(L"vynShutDown2"), L"ShutDownAlertTime,ShutDownAlertRepeat,ShutDownStyle,LastSetDate,State,");
    // The old third section lies beyond the new count and stays.
    EXPECT_EQ(Get(L"vynShutDown3", L"ShutDownAlertTime"), L"23:00");
}

struct ShutDownCase {
    const wchar_t* date;
    int repeat;
    const wchar_t* state;
    int expected;
};

TEST_P(SettingsFileTest, ShutDownStatesFollowTheirMoment) {
    FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    const ShutDownCase cases[] = {
        {L"20130715", 0, L"1", -1}, {L"20130715", 0, L"0", -1}, {L"20130716", 0, L"0", 0},  {L"20130716", 0, L"-1", 1},
        {L"20130716", 0, nullptr, 0}, {L"20120101", 1, L"-1", -1}, {L"20120101", 3, L"0", 0}, {L"20120101", 2, L"7", 0},
    };
    std::vector<std::wstring> lines = {L"[vyn]", L"TimeShutDownCount=" + std::to_wstring(std::size(cases))};
    for (size_t i = 0; i < std::size(cases); ++i) {
        lines.push_back(L"[vynShutDown" + std::to_wstring(i + 1) + L"]");
        lines.push_back(L"ShutDownAlertTime=11:00");
        lines.push_back(L"ShutDownAlertRepeat=" + std::to_wstring(cases[i].repeat));
        lines.push_back(std::wstring(L"LastSetDate=") + cases[i].date);
        if (cases[i].state) lines.push_back(std::wstring(L"State=") + cases[i].state);
    }
    Fixture(lines);
    const TShutDownRead read = ReadShutDowns(TIniFile(path_));
    ASSERT_EQ(read.List.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(read.List[i].State, cases[i].expected) << "case " << i;
    EXPECT_EQ(read.List[0].Style, 0);  // no style key
}

TEST_P(SettingsFileTest, HostileCountsCostNothing) {
    Fixture({L"[vyn]", L"TimerAlertCount=2147483647", L"TimeShutDownCount=2147483647", L"[TimerAlert1]",
             L"TimerAlertTime=08:00", L"[TimerAlert1000000]", L"TimerAlertTime=09:00", L"[TimerAlert01]",
             L"TimerAlertTime=10:00", L"[TimerAlert+2]", L"TimerAlertTime=10:00", L"[timeralert7]", L"TimerAlertTime=11:00",
             L"[vynShutDown2147483647]", L"ShutDownAlertTime=22:00", L"[vynShutDown2147483648]", L"ShutDownAlertTime=23:00"});
    const DWORD start = ::GetTickCount();
    TIniFile ini(path_);
    TReminderRead reminders = ReadTimerAlerts(ini);
    TShutDownRead shutDowns = ReadShutDowns(ini);
    ASSERT_EQ(reminders.List.size(), 3u);  // 1, 7 (names are case-insensitive) and 1000000
    EXPECT_EQ(reminders.List[1].Time, L"11:00");
    EXPECT_EQ(reminders.List[2].Time, L"09:00");
    ASSERT_EQ(shutDowns.List.size(), 1u);
    ASSERT_TRUE(SaveTimerAlertSections(ini, reminders.List, reminders.OldCount));
    ASSERT_TRUE(SaveShutDownSections(ini, shutDowns.List, shutDowns.OldCount));
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_EQ(Get(L"vyn", L"TimerAlertCount"), L"3");
    EXPECT_FALSE(HasSection(L"TimerAlert1000000"));
    EXPECT_TRUE(HasSection(L"TimerAlert01")) << "not a section of the list";
    EXPECT_EQ(Get(L"vynShutDown1", L"ShutDownAlertTime"), L"22:00");

    Fixture({L"[vyn]", L"TimerAlertCount=-4", L"[TimerAlert1]", L"TimerAlertTime=08:00"});
    EXPECT_TRUE(ReadTimerAlerts(TIniFile(path_)).List.empty());
}

TEST(NumberedSectionsTest, TakesOnlyPlainNumbersWithinTheLimit) {
    const std::vector<std::wstring> names = {L"TimerAlert3", L"TimerAlert1", L"TIMERALERT2", L"TimerAlert", L"TimerAlert0",
                                             L"TimerAlert01", L"TimerAlert-1", L"TimerAlert1x", L"TimerAlert99999999999",
                                             L"TimerAlert1", L"Other1"};
    EXPECT_EQ(NumberedSections(names, L"TimerAlert", 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(NumberedSections(names, L"TimerAlert", 2147483647), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(NumberedSections(names, L"TimerAlert", 0).empty());
}

TEST_P(SettingsFileTest, MigrationFillsRestDefaultsAndFoldsTheOldShutDown) {
    FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    Fixture({L"[vyn]", L"TimeShutDownCount=2", L"[eye]", L"run=1", L"[vynShutDown]", L"ShutDownAlertTime=21-30",
             L"ShutDownAlertRepeat=1", L"ShutDownStyle=3", L"[vynShutDown1]", L"ShutDownAlertTime=22:00",
             L"ShutDownAlertRepeat=0", L"LastSetDate=20130716", L"State=1", L"[vynShutDown2]", L"ShutDownAlertTime=23:00",
             L"ShutDownAlertRepeat=1", L"State=0"});
    TIniFile ini(path_);
    ASSERT_TRUE(MigrateSettingsFile(ini));
    EXPECT_EQ(Get(L"eye", L"interval"), L"120");
    EXPECT_EQ(Get(L"eye", L"resttime"), L"5");
    EXPECT_EQ(Get(L"vyn", L"TimeShutDownCount"), L"3");
    EXPECT_EQ(Get(L"vynShutDown1", L"ShutDownAlertTime"), L"00:00");  // "2130": an hour over 23
    EXPECT_EQ(Get(L"vynShutDown1", L"ShutDownStyle"), L"3");
    EXPECT_EQ(Get(L"vynShutDown1", L"State"), L"1");
    EXPECT_EQ(Get(L"vynShutDown2", L"ShutDownAlertTime"), L"22:00");
    EXPECT_EQ(Get(L"vynShutDown3", L"ShutDownAlertTime"), L"23:00");
    EXPECT_EQ(Get(L"vynShutDown3", L"State"), L"0");
    EXPECT_FALSE(HasSection(L"vynShutDown"));
}

TEST_P(SettingsFileTest, MigrationLeavesOtherRestSettingsAlone) {
    Fixture({L"[eye]", L"run=1", L"interval=30"});
    TIniFile ini(path_);
    ASSERT_TRUE(MigrateSettingsFile(ini));
    EXPECT_EQ(Get(L"eye", L"interval"), L"30");
    EXPECT_EQ(Get(L"eye", L"resttime"), L"<none>");

    Fixture({L"[eye]", L"run=0"});
    ASSERT_TRUE(MigrateSettingsFile(ini));
    EXPECT_EQ(Get(L"eye", L"interval"), L"<none>");
    EXPECT_EQ(Get(L"vyn", L"TimeShutDownCount"), L"0");  // written even with no shutdown

    settingstest::RemovePath(path_);
    ASSERT_TRUE(MigrateSettingsFile(ini));
    EXPECT_FALSE(settingstest::IsFile(path_)) << "no file, nothing to migrate";
}

TEST_P(SettingsFileTest, AFailedSaveReportsItselfAndARetryFromMemoryCompletes) {
    FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    Fixture({L"[vyn]", L"TimerAlertCount=2", L"[TimerAlert1]", L"TimerAlertTime=08:00", L"[TimerAlert2]",
             L"TimerAlertTime=09:00"});
    TIniFile ini(path_);
    TReminderRead read = ReadTimerAlerts(ini);
    read.List.push_back(read.List[0]);
    read.List.back().Time = L"10:00";

    // Running as root ignores read-only bits: a folder in the file's place
    // is what makes every write fail.
    settingstest::RemovePath(path_);
    ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    int oldCount = read.OldCount;
    EXPECT_FALSE(SaveTimerAlertSections(ini, read.List, oldCount));
    EXPECT_EQ(oldCount, 3) << "a retry must erase whatever this attempt may have written";
    EXPECT_FALSE(WriteGeneralSettings(ini, TGeneralSettings()));
    EXPECT_FALSE(WriteRestSettings(ini, 30, 5));
    EXPECT_FALSE(WriteRestRun(ini, true));
    EXPECT_FALSE(WriteEyeProtectionFlag(ini, true));
    EXPECT_TRUE(ReadTimerAlerts(ini).List.empty()) << "reading a folder gives the defaults";
    EXPECT_TRUE(MigrateSettingsFile(ini)) << "a folder is no settings file to migrate";

    // The retry writes the lists kept in memory over a half-written file.
    settingstest::RemovePath(path_);
    Fixture({L"[vyn]", L"TimerAlertCount=1", L"[TimerAlert3]", L"TimerAlertTime=07:00", L"Stale=1"});
    ASSERT_TRUE(SaveTimerAlertSections(ini, read.List, oldCount));
    EXPECT_EQ(Get(L"vyn", L"TimerAlertCount"), L"3");
    EXPECT_EQ(Get(L"TimerAlert3", L"TimerAlertTime"), L"10:00");
    EXPECT_EQ(Get(L"TimerAlert3", L"Stale"), L"<none>");
}

TEST_P(SettingsFileTest, RestSaveClampsAndSchedulesTheNextRest) {
    struct Case {
        int interval, restTime;
        const wchar_t *interval_, *rest_, *next;
    };
    const Case cases[] = {
        {30, 10, L"30", L"10", L"2330"}, {0, 0, L"120", L"5", L"0100"},      {800, 300, L"720", L"240", L"1100"},
        {-3, -1, L"120", L"5", L"0100"}, {720, 240, L"720", L"240", L"1100"}, {1, 1, L"1", L"1", L"2301"},
    };
    FixedClock clock(At(2013, 7, 15, 23, 0, 30));
    Fixture({L"[eye]", L"run=1"});
    TIniFile ini(path_);
    for (const Case& c : cases) {
        std::wstring shown;
        ASSERT_TRUE(WriteRestSettings(ini, c.interval, c.restTime, &shown));
        EXPECT_EQ(Get(L"eye", L"interval"), c.interval_) << c.interval;
        EXPECT_EQ(Get(L"eye", L"resttime"), c.rest_) << c.restTime;
        EXPECT_EQ(Get(L"eye", L"next"), c.next) << c.interval;
        EXPECT_EQ(shown, std::wstring(c.next).substr(0, 2) + L":" + std::wstring(c.next).substr(2));
    }
    ASSERT_TRUE(WriteRestRun(ini, false));
    EXPECT_EQ(Get(L"eye", L"run"), L"0");
    ASSERT_TRUE(WriteRestRun(ini, true));
    EXPECT_EQ(Get(L"eye", L"run"), L"1");
    ASSERT_TRUE(WriteEyeProtectionFlag(ini, true));
    EXPECT_EQ(Get(L"vyn", L"seteyeprotection"), L"true");
}

TEST_P(SettingsFileTest, GeneralSaveWritesBooleansAsOneAndZero) {
    Fixture({L"[vyn]", L"WiseHealthAlert=true"});
    TIniFile ini(path_);
    TGeneralSettings g;
    g.WiseHealthAlert = false;
    g.UseWiseAlertRing = true;
    g.Ring = L"C:\\铃.wav";
    g.CustomWeather = true;
    g.ProvinceCode = L"10101";
    g.CityCode = L"101010100";
    ASSERT_TRUE(WriteGeneralSettings(ini, g));
    EXPECT_EQ(Get(L"vyn", L"WiseHealthAlert"), L"0");
    EXPECT_EQ(Get(L"vyn", L"UseWiseAlertRing"), L"1");
    EXPECT_EQ(Get(L"vyn", L"CustomWeather"), L"1");
    EXPECT_EQ(Get(L"vyn", L"Ring"), L"C:\\铃.wav");
    EXPECT_EQ(Keys(L"vyn"), L"WiseHealthAlert,UseWiseAlertRing,Ring,CustomWeather,ProvinceCode,CityCode,");
}

// What a general save that cannot finish puts back: the keys that were there
// exactly, the absent ones erased again; a file it could not read when it
// looked loses nothing.
TEST_P(SettingsFileTest, TheGeneralKeysGoBackOnlyAsFarAsTheyWereRead) {
    for (const bool readable : {true, false}) {
        SCOPED_TRACE(readable ? "read" : "not readable");
        Fixture({L"[vyn]", L"WiseHealthAlert=0", L"Ring=D:\\铃声\\叮 咚.wav", L"CityCode=101280101", L"x=1"});
        TIniFile ini(path_);
        base::FileHandle held;
        if (!readable)
            held.Reset(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_EQ(held.Valid(), !readable);
        const auto before = ReadGeneralKeys(ini);
        held.Reset();
        TGeneralSettings g;
        g.UseWiseAlertRing = true;
        g.Ring = L"C:\\new.wav";
        g.ProvinceCode = L"10101";
        ASSERT_TRUE(WriteGeneralSettings(ini, g));
        RestoreGeneralKeys(ini, before);
        EXPECT_EQ(Keys(L"vyn"), readable ? L"WiseHealthAlert,Ring,CityCode,x,"
                                         : L"WiseHealthAlert,Ring,CityCode,x,UseWiseAlertRing,CustomWeather,ProvinceCode,");
        EXPECT_EQ(Get(L"vyn", L"Ring"), readable ? L"D:\\铃声\\叮 咚.wav" : L"C:\\new.wav");
        EXPECT_EQ(Get(L"vyn", L"WiseHealthAlert"), readable ? L"0" : L"1");
        EXPECT_EQ(Get(L"vyn", L"CityCode"), readable ? L"101280101" : L"");
    }
}

TEST_P(SettingsFileTest, ReadOnlyAndHiddenFilesAreStillWritten) {
    Fixture({L"[vyn]", L"x=1"});
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    TIniFile ini(path_);
    std::vector<TShutDownAlertInfo> list(1);
    list[0].LastSetDate = L"20130101";
    int oldCount = 0;
    ASSERT_TRUE(SaveShutDownSections(ini, list, oldCount));
    EXPECT_EQ(::GetFileAttributesW(path_.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, SettingsFileTest,
                         ::testing::Values(Encoding::Ansi936, Encoding::Utf16Bom),
                         [](const ::testing::TestParamInfo<Encoding>& info) { return settingstest::EncodingName(info.param); });

TEST(ValueTextsTest, OutOfRangeValuesGiveEmptyTextsOrEditorDefaults) {
    EXPECT_EQ(RepeatKindText(0, false), L"提醒一次");
    EXPECT_EQ(RepeatKindText(0, true), L"关机一次");
    EXPECT_EQ(RepeatKindText(1, true), L"每天");
    EXPECT_EQ(RepeatKindText(2, false), L"星期一到星期五");
    EXPECT_EQ(RepeatKindText(3, false), L"星期六到星期日");
    for (int bad : {-1, 4, 255, 2147483647, -2147483647 - 1}) {
        EXPECT_EQ(RepeatKindText(bad, false), L"") << bad;
        EXPECT_EQ(ShutDownStyleText(bad + (bad == 4 ? 2 : 0)), L"") << bad;
        EXPECT_EQ(ShutDownStyleShortName(bad + (bad == 4 ? 2 : 0)), L"") << bad;
        EXPECT_EQ(RepeatListIndex(bad), 0) << bad;
        EXPECT_EQ(StyleListIndex(bad + (bad == 4 ? 2 : 0)), 1) << bad;
    }
    EXPECT_EQ(ShutDownStyleText(0), L"强制关机(关机前强制结束运行中的程序)");
    EXPECT_EQ(ShutDownStyleShortName(0), L"强制关机");
    EXPECT_EQ(ShutDownStyleShortName(4), L"重启");
    EXPECT_EQ(ShutDownStyleText(5), L"睡眠");  // the test system is Vista or later
    EXPECT_EQ(RepeatListIndex(3), 2);
    EXPECT_EQ(StyleListIndex(5), 5);
    EXPECT_EQ(RepeatKindFromText(L"星期六到星期日"), 3);
    EXPECT_EQ(RepeatKindFromText(L"每周"), 0);
}

}  // namespace
