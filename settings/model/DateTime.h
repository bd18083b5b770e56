// Local date and time as the settings program reasons about it: calendar
// fields plus a seconds count for arithmetic and comparison. Every "now" goes
// through one clock, so tests can stand at any moment they need.
#pragma once

#include <cstdint>
#include <functional>

namespace settings {

struct TDateTime {
    int Year = 1601, Month = 1, Day = 1;
    int Hour = 0, Minute = 0, Second = 0;

    // Builds a valid moment only: a month 13 or 31 February gives false.
    static bool Make(int year, int month, int day, int hour, int minute, int second, TDateTime& out);
    static TDateTime FromSeconds(int64_t seconds);

    // Whole seconds since 1 January 1601, local time.
    int64_t Seconds() const;
    TDateTime DateOnly() const;
    TDateTime AddSeconds(int64_t seconds) const { return FromSeconds(Seconds() + seconds); }
    TDateTime AddDays(int days) const { return AddSeconds(int64_t(days) * 86400); }
    // 0 Sunday .. 6 Saturday.
    int DayOfWeek() const;
    int SecondsOfDay() const { return Hour * 3600 + Minute * 60 + Second; }

    bool operator<(const TDateTime& o) const { return Seconds() < o.Seconds(); }
    bool operator==(const TDateTime& o) const { return Seconds() == o.Seconds(); }
};

// The current local time, from the system or from the clock a test put in.
TDateTime Now();
// Puts a clock in place; an empty function gives the system clock back.
void SetClock(std::function<TDateTime()> clock);

}  // namespace settings
