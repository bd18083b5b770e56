#include "companion/actions/rest_actions.h"

#include "companion/actions/action_sections.h"
#include "companion/actions/rest_clock.h"
#include "companion/actions/tip_markers.h"

namespace companion {

namespace {

constexpr int32_t kRestMs = 9000000;
constexpr int32_t kRestTestMs = 150000;
constexpr int32_t kDrinkMs = 7200000;
constexpr int32_t kDrinkTestMs = 120000;
constexpr int32_t kBusyRunMs = 5400000;
constexpr int32_t kBusyRunTestMs = 90000;
constexpr int64_t kMinuteMs = 60000;
constexpr int64_t kTestMinuteMs = 1000;

}  // namespace

CTimedUseAction::CTimedUseAction(const wchar_t* section, int32_t intervalMs, int32_t testIntervalMs,
                                 IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(section, env, settings),
      intervalMs_(intervalMs),
      testIntervalMs_(testIntervalMs),
      periodStart_(env.TickCount()),
      lastPoll_(env.TickCount()) {}

void CTimedUseAction::SetAway(bool away) {
    away_ = away;
    periodStart_ = Env().TickCount();
}

bool CTimedUseAction::CheckCondition() {
    bool due = false;
    if (!RemindersOn()) {
    } else if (screenSaver_ || away_) {
        periodStart_ = Env().TickCount();
    } else {
        const int32_t interval = Settings().TestMode ? testIntervalMs_ : intervalMs_;
        // Up to the previous poll: the reminder comes at the first poll after
        // one at which the interval was already complete. A busy user keeps
        // the period running, so the reminder waits for the first free poll.
        if (TicksSince(lastPoll_, periodStart_) >= interval && !Env().IsUserBusy()) {
            periodStart_ = Env().TickCount();
            StartAlertSound();
            due = true;
        }
    }
    lastPoll_ = Env().TickCount();
    return due;
}

CActionRest::CActionRest(IActionEnvironment& env, SharedSettings& settings)
    : CTimedUseAction(sections::kRest, kRestMs, kRestTestMs, env, settings) {}

CActionDrink::CActionDrink(IActionEnvironment& env, SharedSettings& settings)
    : CTimedUseAction(sections::kDrink, kDrinkMs, kDrinkTestMs, env, settings) {}

CActionRestAF::CActionRestAF(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kRestAF, env, settings), periodStart_(env.TickCount()), lastPoll_(env.TickCount()) {}

void CActionRestAF::SetAway(bool away) {
    away_ = away;
    periodStart_ = Env().TickCount();
}

bool CActionRestAF::CheckCondition() {
    bool due = false;
    if (!RemindersOn()) {
    } else if (!screenSaver_ && Env().IsUserBusy()) {
        if (!busyRunOpen_) {
            periodStart_ = Env().TickCount();
            busyRunOpen_ = true;
        }
    } else if (busyRunOpen_) {
        const int32_t minimum = Settings().TestMode ? kBusyRunTestMs : kBusyRunMs;
        if (TicksSince(lastPoll_, periodStart_) >= minimum && !screenSaver_) {
            StartAlertSound();
            due = true;
        }
        busyRunOpen_ = false;
    }
    lastPoll_ = Env().TickCount();
    return due;
}

CActionEyeGuardian::CActionEyeGuardian(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kEyeGuardian, env, settings), lastPoll_(env.TickCount()) {
    CRestClock(settings).RestartEyeClock(env.TickCount());
}

void CActionEyeGuardian::SetAway(bool away) {
    away_ = away;
    CRestClock(Settings()).RestartEyeClock(Env().TickCount());
}

bool CActionEyeGuardian::CheckCondition() {
    bool due = false;
    const int32_t minutes = Settings().Interval;
    if (Settings().EyeRun && minutes >= 1 && !screenSaver_ && !away_) {
        // In 64 bits: an absurd interval must never wrap into a small one.
        const int64_t interval = static_cast<int64_t>(minutes) * (Settings().TestMode ? kTestMinuteMs : kMinuteMs);
        if (TicksSince(lastPoll_, CRestClock(Settings()).EyeClockStart()) >= interval && !Env().IsUserBusy()) {
            tipText_ = kEyeGuardianMarker;
            due = true;
        }
    }
    lastPoll_ = Env().TickCount();
    return due;
}

}  // namespace companion
