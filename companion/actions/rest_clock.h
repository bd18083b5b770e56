// The eye guardian's clock and the span of the last full-screen rest. The
// main window starts and ends the rest and restarts the clock; the guardian
// counts its interval from the clock, and the user's own reminders look at
// the span to fire what the rest covered. All of them go through here; the
// values live in the shared record, which the two threads both see.
#pragma once

#include <cstdint>

#include "companion/system/shared_settings.h"

namespace companion {

class CRestClock {
public:
    explicit CRestClock(SharedSettings& settings = SharedSettings::Instance()) : settings_(settings) {}

    // The guardian's interval runs from `tick` on: when the guardian starts,
    // when the user goes away or comes back, after a rest, and when the rest
    // settings change.
    void RestartEyeClock(uint32_t tick) { settings_.EyeClockStart = tick; }
    uint32_t EyeClockStart() const { return settings_.EyeClockStart.load(); }

    // A full-screen rest began or ended at `unixTime`: an ended one counts
    // even when its countdown was cancelled.
    void RestBegan(int64_t unixTime) { settings_.RestBegin = unixTime; }
    void RestEnded(int64_t unixTime) { settings_.RestEnd = unixTime; }
    // Whether `unixTime` fell strictly inside the last rest; never before
    // a rest has begun and ended.
    bool CoveredByLastRest(int64_t unixTime) const;

private:
    SharedSettings& settings_;
};

}  // namespace companion
