// The guard of the three maintenance checks on the fake clock. The junk scan
// and the kernel point at libraries that do not exist, so each check that
// runs ends "done, not due"; the disk check is scripted.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "companion/actions/maintenance_actions.h"
#include "tests/companion/fake_action_environment.h"

using namespace companion;

namespace {

constexpr wchar_t kNoLibrary[] = L"Z:\\no\\such\\folder\\library.dll";

struct Check {
    const char* name;
    uint32_t delayMs;
    uint32_t testDelayMs;
    std::function<std::unique_ptr<CMaintenanceAction>(FakeActionEnvironment&, SharedSettings&)> make;
};

const Check kChecks[] = {
    {"junk", 1800000, 30000,
     [](FakeActionEnvironment& env, SharedSettings& s) {
         return std::make_unique<CActionTrashClean>(env, s, kNoLibrary);
     }},
    {"disk", 2400000, 40000,
     [](FakeActionEnvironment& env, SharedSettings& s) { return std::make_unique<CActionSysDiskCheck>(env, s); }},
    {"start-up items", 1500000, 25000,
     [](FakeActionEnvironment& env, SharedSettings& s) {
         return std::make_unique<CActionCheckRun>(env, s, kNoLibrary);
     }},
};

class MaintenanceActionTest : public ::testing::Test {
protected:
    void SetUp() override { settings_.WiseHealthAlert = true; }
    FakeActionEnvironment env_;
    SharedSettings settings_;
};

TEST_F(MaintenanceActionTest, EachCheckRunsOnceJustAfterItsDelayInBothModes) {
    for (const bool testMode : {false, true}) {
        for (const Check& check : kChecks) {
            SCOPED_TRACE(std::string(check.name) + (testMode ? " (test mode)" : ""));
            settings_.TestMode = testMode;
            env_.tick = 0xFFFF0000u;  // the clock wraps during the wait
            env_.diskQuestions = 0;
            auto action = check.make(env_, settings_);
            const uint32_t delay = testMode ? check.testDelayMs : check.delayMs;

            env_.tick += delay;
            EXPECT_FALSE(action->CheckCondition());
            EXPECT_FALSE(action->Done()) << "not before the delay has passed";
            env_.tick += 1;
            EXPECT_FALSE(action->CheckCondition());
            EXPECT_TRUE(action->Done()) << "checked once the delay has passed";
            env_.tick += 3600000;
            EXPECT_FALSE(action->CheckCondition());
            EXPECT_LE(env_.diskQuestions, 1) << "never checked twice";
        }
    }
}

TEST_F(MaintenanceActionTest, AShortSystemDiskIsDueOnceOnly) {
    env_.diskShort = true;
    CActionSysDiskCheck disk(env_, settings_);
    env_.tick += CActionSysDiskCheck::kDelayMs + 1;
    EXPECT_TRUE(disk.CheckCondition());
    EXPECT_FALSE(disk.CheckCondition());
    EXPECT_EQ(env_.diskQuestions, 1);
}

TEST_F(MaintenanceActionTest, ABusyUserPostponesAndRemindersOffNeverCheck) {
    for (const Check& check : kChecks) {
        SCOPED_TRACE(check.name);
        auto action = check.make(env_, settings_);
        env_.tick += check.delayMs + 1;
        env_.busy = true;
        EXPECT_FALSE(action->CheckCondition());
        EXPECT_FALSE(action->Done()) << "postponed while busy";
        env_.busy = false;
        env_.tick += 5000;
        action->CheckCondition();
        EXPECT_TRUE(action->Done()) << "checked when the user is free";

        settings_.WiseHealthAlert = false;
        auto silent = check.make(env_, settings_);
        env_.tick += 10 * check.delayMs;
        EXPECT_FALSE(silent->CheckCondition());
        EXPECT_FALSE(silent->Done()) << "reminders off";
        settings_.WiseHealthAlert = true;
    }
}

TEST_F(MaintenanceActionTest, TheJunkScanWaitsForAnIdleShareAboveNinety) {
    CActionTrashClean junk(env_, settings_, kNoLibrary);
    env_.tick += CActionTrashClean::kDelayMs + 1;
    env_.idlePercent = 90;
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_FALSE(junk.CheckCondition());
        env_.tick += 5000;
    }
    EXPECT_FALSE(junk.Done());
    EXPECT_EQ(env_.idleQuestions, 3);
    env_.idlePercent = 91;
    EXPECT_FALSE(junk.CheckCondition()) << "the library is missing";
    EXPECT_TRUE(junk.Done());
}

}  // namespace
