// The settings window's values apart from the window: each save changes the
// values kept only once the file took the write.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/model/OptionValues.h"
#include "tests/settings/test_support.h"

using namespace settings;

using settingstest::At;
using settingstest::FixedClock;
using settingstest::Profile;

namespace {

class OptionValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        values_.Path = settingstest::WorkDir() + L"option_values.ini";
        settingstest::RemovePath(values_.Path);
        ASSERT_TRUE(settingstest::WriteFixture(values_.Path, L"[eye]\r\nrun=0\r\n", settingstest::Encoding::Utf16Bom));
    }
    void TearDown() override { settingstest::RemovePath(values_.Path); }

    // Running as root ignores read-only bits: a folder in the file's place
    // is what makes every write fail.
    void BreakFile() {
        settingstest::RemovePath(values_.Path);
        ASSERT_TRUE(::CreateDirectoryW(values_.Path.c_str(), nullptr));
    }

    TOptionValues values_;
};

TEST_F(OptionValuesTest, RestSaveKeepsTheClampedValuesAndTheNextRest) {
    struct Case {
        int interval, restTime, keptInterval, keptRestTime;
        const wchar_t* next;
    };
    const Case cases[] = {{30, 10, 30, 10, L"23:30"}, {0, 0, 120, 5, L"01:00"}, {800, 300, 720, 240, L"11:00"}};
    FixedClock clock(At(2013, 7, 15, 23, 0, 30));
    for (const Case& c : cases) {
        ASSERT_TRUE(values_.SaveRest(c.interval, c.restTime));
        EXPECT_EQ(values_.Rest.Interval, c.keptInterval) << c.interval;
        EXPECT_EQ(values_.Rest.RestTime, c.keptRestTime) << c.restTime;
        EXPECT_EQ(values_.Rest.NextShown, c.next) << c.interval;
    }
    ASSERT_TRUE(values_.WriteRestRun(true));
    EXPECT_TRUE(values_.Rest.Run);
    EXPECT_EQ(Profile(values_.Path, L"eye", L"run"), L"1");
}

TEST_F(OptionValuesTest, AFailedWriteLeavesTheValuesAsTheyWere) {
    BreakFile();
    EXPECT_FALSE(values_.SaveRest(30, 10));
    EXPECT_FALSE(values_.WriteRestRun(true));
    EXPECT_EQ(values_.Rest.Interval, 120);
    EXPECT_EQ(values_.Rest.RestTime, 5);
    EXPECT_FALSE(values_.Rest.Run);
    values_.TimerAlerts.emplace_back();
    EXPECT_FALSE(values_.SaveTimerAlerts());
    EXPECT_FALSE(values_.SaveEyeProtectionFlag(true));
}

TEST_F(OptionValuesTest, ListSavesWriteTheListsHeld) {
    values_.TimerAlerts.resize(2);
    values_.TimerAlerts[1].Time = L"09:30";
    values_.ShutDowns.resize(1);
    ASSERT_TRUE(values_.SaveTimerAlerts());
    ASSERT_TRUE(values_.SaveShutDowns());
    EXPECT_EQ(Profile(values_.Path, L"vyn", L"TimerAlertCount"), L"2");
    EXPECT_EQ(Profile(values_.Path, L"TimerAlert2", L"TimerAlertTime"), L"09:30");
    EXPECT_EQ(Profile(values_.Path, L"vyn", L"TimeShutDownCount"), L"1");
}

}  // namespace
