#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <functional>
#include <vector>

#include "companion/actions/rest_actions.h"
#include "tests/companion/fake_action_environment.h"

using namespace companion;

namespace {

constexpr DWORD kPoll = 5000;
constexpr DWORD kMinute = 60000;

class TimedUseTest : public ::testing::Test {
protected:
    void SetUp() override { settings_.WiseHealthAlert = true; }

    // Polls every five seconds for `span` ms from now; `beforePoll` may change
    // the world at each step. Returns the times (ms from the start) of the
    // polls at which the action was due.
    std::vector<DWORD> Poll(IVynAction& action, DWORD span,
                            const std::function<void(DWORD elapsed)>& beforePoll = nullptr) {
        std::vector<DWORD> due;
        for (DWORD elapsed = kPoll; elapsed <= span; elapsed += kPoll) {
            env_.tick += kPoll;
            elapsed_ += kPoll;
            if (beforePoll) beforePoll(elapsed_);
            if (action.CheckCondition()) due.push_back(elapsed_);
        }
        return due;
    }

    FakeActionEnvironment env_;
    SharedSettings settings_;
    DWORD elapsed_ = 0;
};

TEST_F(TimedUseTest, RestComesAtThePollAfterOneHundredFiftyMinutes) {
    CActionRest rest(env_, settings_);
    const std::vector<DWORD> due = Poll(rest, 310 * kMinute);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0], 150 * kMinute + kPoll) << "measured up to the previous poll";
    EXPECT_EQ(due[1], due[0] + 150 * kMinute + kPoll) << "the next period starts at the reminder";
}

TEST_F(TimedUseTest, DrinkComesAfterOneHundredTwentyMinutes) {
    CActionDrink drink(env_, settings_);
    const std::vector<DWORD> due = Poll(drink, 125 * kMinute);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0], 120 * kMinute + kPoll);
}

TEST_F(TimedUseTest, TestModeShortensTheIntervalsToSeconds) {
    settings_.TestMode = true;
    CActionRest rest(env_, settings_);
    EXPECT_EQ(Poll(rest, 160000).at(0), 155000u);
    elapsed_ = 0;
    CActionDrink drink(env_, settings_);
    EXPECT_EQ(Poll(drink, 130000).at(0), 125000u);
}

TEST_F(TimedUseTest, TheSwitchOffMeansNeverDue) {
    settings_.WiseHealthAlert = false;
    CActionRest rest(env_, settings_);
    EXPECT_TRUE(Poll(rest, 400 * kMinute).empty());
}

TEST_F(TimedUseTest, AFullScreenGameHoldsTheReminderUntilItEnds) {
    CActionRest rest(env_, settings_);
    const std::vector<DWORD> due =
        Poll(rest, 330 * kMinute, [&](DWORD t) { env_.busy = t >= 149 * kMinute && t < 170 * kMinute; });
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0], 170 * kMinute) << "the first free poll";
    EXPECT_EQ(due[1], 170 * kMinute + 150 * kMinute + kPoll);
}

TEST_F(TimedUseTest, ALockedSessionRestartsThePeriodAtTheUnlock) {
    CActionRest rest(env_, settings_);
    const std::vector<DWORD> due = Poll(rest, 400 * kMinute, [&](DWORD t) {
        if (t == 140 * kMinute) rest.SetAway(true);
        if (t == 150 * kMinute) rest.SetAway(false);
    });
    ASSERT_FALSE(due.empty());
    EXPECT_EQ(due[0], 150 * kMinute + 150 * kMinute + kPoll);
}

TEST_F(TimedUseTest, AnAwayNoticeBetweenPollsNeverFiresAFalseReminder) {
    CActionDrink drink(env_, settings_);
    Poll(drink, 10 * kMinute);
    // The notice comes on the UI thread after the last poll: the period now
    // starts after the last poll, and an unsigned difference would wrap.
    env_.tick += 1000;
    drink.SetAway(false);
    env_.tick += 1000;
    EXPECT_FALSE(drink.CheckCondition());
}

TEST_F(TimedUseTest, TheScreenSaverKeepsRestartingThePeriod) {
    CActionRest rest(env_, settings_);
    rest.SetScreenSaverRunning(true);
    EXPECT_TRUE(Poll(rest, 200 * kMinute).empty());
    rest.SetScreenSaverRunning(false);
    const std::vector<DWORD> due = Poll(rest, 200 * kMinute);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0], 200 * kMinute + 150 * kMinute + kPoll);
}

TEST_F(TimedUseTest, TheTickCountWrapsWithoutAFalseOrLostReminder) {
    env_.tick = 0xFFFFFFFFu - 60 * kMinute;  // wraps an hour into the period
    CActionRest rest(env_, settings_);
    const std::vector<DWORD> due = Poll(rest, 160 * kMinute);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0], 150 * kMinute + kPoll);
}

TEST_F(TimedUseTest, TheRingPlaysOnlyForAnExistingFile) {
    settings_.TestMode = true;
    settings_.UseWiseAlertRing = true;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);

    const struct {
        std::wstring ring;
        bool plays;
    } cases[] = {{self, true}, {windows, false}, {L"C:\\no\\such\\ring.wav", false}, {L"", false}};
    for (const auto& c : cases) {
        settings_.Ring.Set(c.ring);
        env_.played.clear();
        CActionRest rest(env_, settings_);
        EXPECT_EQ(Poll(rest, 160000).size(), 1u) << "due with or without a sound";
        EXPECT_EQ(env_.played.size(), c.plays ? 1u : 0u);
        if (c.plays) {
            EXPECT_EQ(env_.played[0], c.ring);
        }
    }
    settings_.UseWiseAlertRing = false;
    settings_.Ring.Set(self);
    env_.played.clear();
    CActionDrink drink(env_, settings_);
    Poll(drink, 130000);
    EXPECT_TRUE(env_.played.empty()) << "the ring switch is off";
}

TEST_F(TimedUseTest, RestAndEyeExerciseRestCarryTheirLinks) {
    CActionRest rest(env_, settings_);
    CActionDrink drink(env_, settings_);
    CActionRestAF eyes(env_, settings_);
    EXPECT_EQ(rest.GetLinkText(), L"做颈椎操");
    EXPECT_NE(rest.GetLinkBehavior(), nullptr);
    EXPECT_EQ(drink.GetLinkText(), L"");
    EXPECT_EQ(drink.GetLinkBehavior(), nullptr);
    EXPECT_EQ(eyes.GetLinkText(), L"眼保健操");
    EXPECT_NE(eyes.GetLinkBehavior(), nullptr);
}

TEST_F(TimedUseTest, EyeExerciseRestFollowsALongBusyRun) {
    const struct {
        DWORD busyMinutes;
        size_t reminders;
    } cases[] = {{100, 1}, {80, 0}, {91, 1}, {89, 0}};
    for (const auto& c : cases) {
        elapsed_ = 0;
        CActionRestAF eyes(env_, settings_);
        const DWORD from = 10 * kMinute;
        const std::vector<DWORD> due = Poll(eyes, 200 * kMinute, [&](DWORD t) {
            env_.busy = t >= from && t < from + c.busyMinutes * kMinute;
        });
        EXPECT_EQ(due.size(), c.reminders) << c.busyMinutes << " busy minutes";
        if (!due.empty()) {
            EXPECT_EQ(due[0], from + c.busyMinutes * kMinute) << "when the run ends";
        }
    }
}

TEST_F(TimedUseTest, AScreenSaverClosesTheBusyRunWithoutAReminder) {
    CActionRestAF eyes(env_, settings_);
    const std::vector<DWORD> due = Poll(eyes, 200 * kMinute, [&](DWORD t) {
        env_.busy = t < 150 * kMinute;
        if (t == 120 * kMinute) eyes.SetScreenSaverRunning(true);
    });
    EXPECT_TRUE(due.empty());
}

TEST_F(TimedUseTest, EyeExerciseRestInTestModeNeedsNinetySecondsOfBusyUse) {
    settings_.TestMode = true;
    CActionRestAF eyes(env_, settings_);
    const std::vector<DWORD> due = Poll(eyes, 200000, [&](DWORD t) { env_.busy = t < 100000; });
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0], 100000u);
}

class EyeGuardianTest : public TimedUseTest {
protected:
    void SetUp() override {
        TimedUseTest::SetUp();
        settings_.EyeRun = true;
        settings_.Interval = 45;
    }
};

TEST_F(EyeGuardianTest, FiresAtTheUsersIntervalAndStaysDueUntilTheClockIsReset) {
    CActionEyeGuardian guardian(env_, settings_);
    EXPECT_EQ(settings_.EyeClockStart.load(), env_.tick) << "the clock starts with the action";
    std::vector<DWORD> due = Poll(guardian, 46 * kMinute);
    ASSERT_GE(due.size(), 2u);
    EXPECT_EQ(due[0], 45 * kMinute + kPoll);
    EXPECT_EQ(due[1], due[0] + kPoll) << "due at every free poll after it fired";
    EXPECT_EQ(guardian.GetTipText(), L"$eyeguardian$");

    settings_.EyeClockStart = env_.tick;  // the main window ends the rest
    elapsed_ = 0;
    due = Poll(guardian, 50 * kMinute);
    ASSERT_FALSE(due.empty());
    EXPECT_EQ(due[0], 45 * kMinute + kPoll);
}

TEST_F(EyeGuardianTest, NeverDueWhenSwitchedOffOrWithoutAnInterval) {
    for (const auto& setup : std::vector<std::function<void()>>{
             [&] { settings_.EyeRun = false; }, [&] { settings_.Interval = 0; }, [&] { settings_.Interval = -30; },
             [&] { settings_.Interval = INT_MAX; }, [&] { settings_.Interval = 1000000; }}) {
        settings_.EyeRun = true;
        settings_.Interval = 45;
        setup();
        CActionEyeGuardian guardian(env_, settings_);
        EXPECT_TRUE(Poll(guardian, 24 * 60 * kMinute).empty());
    }
}

TEST_F(EyeGuardianTest, TestModeCountsTheIntervalInSeconds) {
    settings_.TestMode = true;
    CActionEyeGuardian guardian(env_, settings_);
    EXPECT_EQ(Poll(guardian, 60000).at(0), 50000u);
}

TEST_F(EyeGuardianTest, AwayOrScreenSaverHoldItAndAwayRestartsTheClock) {
    CActionEyeGuardian guardian(env_, settings_);
    const std::vector<DWORD> due = Poll(guardian, 120 * kMinute, [&](DWORD t) {
        if (t == 30 * kMinute) guardian.SetAway(true);
        if (t == 40 * kMinute) guardian.SetAway(false);
        env_.busy = t >= 85 * kMinute && t < 86 * kMinute;
    });
    ASSERT_FALSE(due.empty());
    EXPECT_EQ(due[0], 86 * kMinute) << "45 minutes after the unlock, after the busy minute";
    guardian.SetScreenSaverRunning(true);
    EXPECT_TRUE(Poll(guardian, 10 * kMinute).empty());
}

TEST_F(EyeGuardianTest, ShowsNoAnimationAndHasNothingToCleanUp) {
    CActionEyeGuardian guardian(env_, settings_);
    EXPECT_EQ(guardian.GetBitmap(), nullptr);
    EXPECT_EQ(guardian.GetFrames(), 0);
    EXPECT_EQ(guardian.GetCx(), 0);
    EXPECT_EQ(guardian.GetLinkBehavior(), nullptr);
    EXPECT_EQ(guardian.OnDone(), 0);
    EXPECT_EQ(env_.stops, 0);
    EXPECT_TRUE(env_.loadedStrips.empty());
}

}  // namespace
