#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/app/FrmOption.h"
#include "settings/app/StartUp.h"
#include "settings/model/GlobalFuncs.h"
#include "tests/settings/test_support.h"

using namespace settings;

using settingstest::At;
using settingstest::FixedClock;

namespace {

std::wstring Stamp(const TDateTime& t) {
    wchar_t b[32];
    swprintf(b, 32, L"%.4d-%.2d-%.2d %.2d:%.2d:%.2d", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
    return b;
}

struct DateCase {
    const wchar_t* text;
    const wchar_t* expected;
};

TEST(ParseDate8Test, ClampsEachPartAndFallsBackToToday) {
    FixedClock clock(At(2013, 7, 15, 9, 30, 5));
    const DateCase cases[] = {
        {L"20120231", L"2012-02-29 00:00:00"},  // cut to the month, leap year counted
        {L"20130231", L"2013-02-28 00:00:00"},
        {L"20121315", L"2012-12-15 00:00:00"},  // month over 12
        {L"20120015", L"2012-01-15 00:00:00"},  // month 0
        {L"20120400", L"2012-04-01 00:00:00"},  // day 0
        {L"20120431", L"2012-04-30 00:00:00"},
        {L"abcd0102", L"2013-01-02 00:00:00"},  // year not a number: this year
        {L"2012xx03", L"2012-07-03 00:00:00"},  // month not a number: this month
        {L"201203yy", L"2012-03-15 00:00:00"},  // day not a number: today's day
        {L"2012", L"2013-07-15 00:00:00"},      // wrong length: today
        {L"", L"2013-07-15 00:00:00"},
        {L"201203041", L"2013-07-15 00:00:00"},
        {L"00000101", L"2013-07-15 00:00:00"},  // no such year: now (the date of it)
    };
    for (const DateCase& c : cases) EXPECT_EQ(Stamp(ParseDate8(c.text)), c.expected) << "text " << testing::PrintToString(std::wstring(c.text));
}

struct TimeCase {
    const wchar_t* text;
    const wchar_t* expected;  // HH:MM:SS
};

TEST(ParseTimeTest, ClampsHoursMinutesAndSeconds) {
    FixedClock clock(At(2013, 7, 15, 9, 30, 5));
    const TimeCase cases[] = {
        {L"25:70:10", L"00:59:10"},
        {L"08:05", L"08:05:00"},
        {L"23:59:59", L"23:59:59"},
        {L"24:00", L"00:00:00"},
        {L"ab:cd", L"00:00:00"},
        {L"12", L"12:00:00"},
        {L"1230", L"00:00:00"},  // a time stored as "12-30" once the dash is gone
        {L"7:61:99", L"07:59:59"},
        {L"", L"09:30:00"},        // empty: the current hour and minute
        {L"-1:10", L"09:30:05"},   // not a valid time: now
    };
    for (const TimeCase& c : cases) {
        const TDateTime t = ParseTime(c.text);
        wchar_t b[16];
        swprintf(b, 16, L"%.2d:%.2d:%.2d", t.Hour, t.Minute, t.Second);
        EXPECT_STREQ(b, c.expected) << "text " << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(FormattingTest, TextsOfTimesDatesAndDurations) {
    EXPECT_EQ(FormatSeconds(90061), L"25:01:01");
    EXPECT_EQ(FormatSeconds(0), L"00:00:00");
    EXPECT_EQ(FormatSeconds(359999), L"99:59:59");
    EXPECT_EQ(FormatSeconds(360000), L"100:00:00");
    EXPECT_EQ(FormatHHNN(At(2012, 1, 1, 7, 5)), L"07:05");
    EXPECT_EQ(FormatYYYYMMDD(At(2012, 3, 4)), L"20120304");
    wchar_t separator[8] = {};
    ASSERT_GT(::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, separator, 8), 0);
    EXPECT_EQ(FormatDate8(L"20120304"), std::wstring(L"2012") + separator + L"03" + separator + L"04");
    EXPECT_EQ(FormatDate8(L"2012"), L"2012");
}

TEST(SplitAtTest, SplitsAtTheFirstSeparatorOnly) {
    std::wstring right, left;
    SplitAt(L"1440|900", L"|", right, left);
    EXPECT_EQ(left, L"1440");
    EXPECT_EQ(right, L"900");
    SplitAt(L"1440", L"|", right, left);
    EXPECT_EQ(left, L"1440");
    EXPECT_EQ(right, L"");
    SplitAt(L"1|2|3", L"|", right, left);
    EXPECT_EQ(left, L"1");
    EXPECT_EQ(right, L"2|3");
}

TEST(CalendarTest, DaysInMonthAndTimeOfDayOrder) {
    const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(DaysInMonth(m, 2013), days[m - 1]) << m;
    EXPECT_EQ(DaysInMonth(2, 2012), 29);
    EXPECT_EQ(DaysInMonth(2, 1900), 28);
    EXPECT_EQ(DaysInMonth(2, 2000), 29);
    EXPECT_TRUE(TimeOfDayBefore(At(2020, 1, 1, 8, 0, 0), At(2010, 1, 1, 8, 0, 1)));
    EXPECT_FALSE(TimeOfDayBefore(At(2010, 1, 1, 8, 0, 1), At(2020, 1, 1, 8, 0, 1)));
    EXPECT_EQ(At(2013, 7, 14).DayOfWeek(), 0);  // a Sunday
    EXPECT_EQ(At(2013, 7, 15).AddDays(1).Day, 16);
    EXPECT_EQ(At(2012, 12, 31, 23, 59, 0).AddSeconds(120).Year, 2013);
}

struct ExtensionCase {
    const wchar_t* name;
    bool expected;
};

TEST(FileHasExtensionTest, ComparesTheWholeExtensionInAnyCase) {
    const std::wstring dir = settingstest::WorkDir();
    const ExtensionCase cases[] = {
        {L"ALARM.WAV", true}, {L"a.mp3", true}, {L"song.Mid", true}, {L"b.wma", true},
        {L"x.wa", false},     {L"x.mp", false}, {L"x.wavx", false},  {L"x.av", false},
        {L"noext", false},    {L"x.", false},   {L"x.v", false},     {L"x.txt", false},
    };
    for (const ExtensionCase& c : cases) {
        const std::wstring path = dir + c.name;
        ASSERT_TRUE(settingstest::WriteFixture(path, L"x", settingstest::Encoding::Ansi936));
        EXPECT_EQ(FileHasExtension(path, L".wav;.mp3;.mid;.wma"), c.expected) << testing::PrintToString(std::wstring(c.name));
    }
    EXPECT_TRUE(FileHasExtension(L"", L".wav"));
    EXPECT_FALSE(FileHasExtension(dir + L"missing.wav", L".wav;.mp3"));
    // A folder with a sound-like name is no sound file.
    ASSERT_TRUE(::CreateDirectoryW((dir + L"folder.wav").c_str(), nullptr));
    EXPECT_FALSE(FileHasExtension(dir + L"folder.wav", L".wav"));
    EXPECT_FALSE(FileExistsByAttributes(dir + L"folder.wav"));
    EXPECT_TRUE(FileExistsAnyView(dir + L"ALARM.WAV"));
}

TEST(PlatformValuesTest, AreSetFromTheRunningSystem) {
    ASSERT_FALSE(ExeFolder().empty());
    EXPECT_EQ(ExeFolder().back(), L'\\');
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(self).rfind(ExeFolder(), 0), 0u);
    // The test prefix reports version 6. It is 64-bit Windows when this
    // program is 64-bit, or a 32-bit one that the system runs under WOW64;
    // only there do registry keys take the 64-bit view.
    BOOL underWow64 = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &underWow64));
    const bool system64 = sizeof(void*) == 8 || underWow64;
    EXPECT_EQ(IsWow64(), system64);
    EXPECT_EQ(RegAccess(KEY_READ), static_cast<REGSAM>(system64 ? KEY_READ | KEY_WOW64_64KEY : KEY_READ));
    EXPECT_TRUE(IsVistaOrLater());
    EXPECT_EQ(UiFontName(), L"微软雅黑");
    EXPECT_FALSE(GetAppDataDir().empty());
}

TEST(EnablePrivilegeTest, APrivilegeTheTokenDoesNotHoldIsNotReportedAsEnabled) {
    EXPECT_TRUE(EnablePrivilege(L"SeShutdownPrivilege", true));
    EXPECT_FALSE(EnablePrivilege(L"SeCreateTokenPrivilege", true));
    EXPECT_FALSE(EnablePrivilege(L"SeNoSuchPrivilege", true));
}

// Records what DoShutdown asks of the system.
class RecordingShutdown : public base::IPower {
public:
    bool endSessionResult = true, initiateResult = true, suspendResult = true, lockResult = true;
    std::vector<std::wstring> calls;
    bool EnableShutdownPrivilege() override {
        calls.push_back(L"privilege SeShutdownPrivilege");
        return true;
    }
    bool ExitSession(UINT flags, DWORD reason) override {
        calls.push_back(L"exit " + std::to_wstring(flags) + L" " + std::to_wstring(reason));
        return endSessionResult;
    }
    bool InitiateShutdown(bool reboot) override {
        calls.push_back(reboot ? L"initiate reboot" : L"initiate poweroff");
        return initiateResult;
    }
    bool Suspend(bool, bool force, bool) override {
        calls.push_back(force ? L"suspend force" : L"suspend");
        return suspendResult;
    }
    bool Lock() override {
        calls.push_back(L"lock");
        return lockResult;
    }
    void KeepAwake(bool) override {}
};

struct ShutdownCase {
    int style;
    bool force;
    bool endSessionWorks;
    bool expected;
    std::vector<std::wstring> calls;
};

TEST(DoShutdownTest, ReportsFailureAndKeepsTheKindInTheFallback) {
    const std::wstring reason = std::to_wstring(0x80020000u);
    const std::wstring priv = L"privilege SeShutdownPrivilege";
    const std::wstring reboot = std::to_wstring(EWX_REBOOT), off = std::to_wstring(EWX_POWEROFF),
                       logoff = std::to_wstring(EWX_LOGOFF);
    const std::wstring forced = std::to_wstring(EWX_REBOOT | EWX_FORCE), offForced = std::to_wstring(EWX_POWEROFF | EWX_FORCE),
                       logoffForced = std::to_wstring(EWX_LOGOFF | EWX_FORCE);
    const std::vector<ShutdownCase> cases = {
        {0, false, true, true, {priv, L"exit " + reboot + L" " + reason}},
        {1, false, true, true, {priv, L"exit " + off + L" " + reason}},
        {2, false, true, true, {priv, L"exit " + logoff + L" " + reason}},
        // A refused request without force is a failure, not a success.
        {0, false, false, false, {priv, L"exit " + reboot + L" " + reason}},
        {2, false, false, false, {priv, L"exit " + logoff + L" " + reason}},
        // The forced fallback restarts a restart and powers off a power-off...
        {0, true, false, true, {priv, L"exit " + forced + L" " + reason, L"initiate reboot"}},
        {1, true, false, true, {priv, L"exit " + offForced + L" " + reason, L"initiate poweroff"}},
        // ...and never turns a log-off into a power-off.
        {2, true, false, false, {priv, L"exit " + logoffForced + L" " + reason}},
        {3, true, true, true, {priv, L"suspend force"}},
        {4, false, true, true, {priv, L"lock"}},
        {7, false, true, false, {priv}},
        {-1, false, true, false, {priv}},
    };
    for (const ShutdownCase& c : cases) {
        RecordingShutdown api;
        api.endSessionResult = c.endSessionWorks;
        EXPECT_EQ(DoShutdown(c.style, c.force, api), c.expected) << "style " << c.style << " force " << c.force;
        EXPECT_EQ(api.calls, c.calls) << "style " << c.style << " force " << c.force;
    }
    RecordingShutdown failing;
    failing.initiateResult = false;
    failing.endSessionResult = false;
    EXPECT_FALSE(DoShutdown(0, true, failing));
    failing.suspendResult = false;
    failing.lockResult = false;
    EXPECT_FALSE(DoShutdown(3, false, failing));
    EXPECT_FALSE(DoShutdown(4, false, failing));
}

TEST(WindowRegionTest, RoundedRectangleWithoutTheFourCornerPixels) {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 320, 365, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    SetRoundWindowRegion(hwnd, 320, 365, 7);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(hwnd, region), ERROR);
    EXPECT_FALSE(::PtInRegion(region, 1, 1));
    EXPECT_FALSE(::PtInRegion(region, 318, 1));
    EXPECT_FALSE(::PtInRegion(region, 1, 363));
    EXPECT_FALSE(::PtInRegion(region, 318, 363));
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_TRUE(::PtInRegion(region, 2, 1) || ::PtInRegion(region, 3, 1));
    EXPECT_TRUE(::PtInRegion(region, 160, 180));
    EXPECT_TRUE(::PtInRegion(region, 319, 180));
    ::DeleteObject(region);
    ::DestroyWindow(hwnd);
}

}  // namespace
