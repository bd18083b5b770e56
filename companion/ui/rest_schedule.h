// The small rules the countdown and rest dialogs share: when the next rest
// is due, which picture the rest shows, how the counters read, and the local
// time they go by (a seam, so tests pick the hour).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace companion {

// The local time the dialogs use; the system's unless a test set its own.
SYSTEMTIME DialogLocalTime();
using LocalTimeSource = SYSTEMTIME (*)();
// null: the system's clock again.
void SetDialogLocalTime(LocalTimeSource source);

// "HHMM" of hour:minute plus `intervalMinutes`, wrapped around the day (a
// negative or huge interval still gives a time of day).
std::wstring NextRestTime(int hour, int minute, int64_t intervalMinutes);
// Writes [eye] next for `now` plus the rest interval of the shared settings;
// the result of WriteConfigString.
int WriteNextRestTime(const SYSTEMTIME& now);

// "night169.png" before 06:00 and from 18:00, else "day169.png".
const wchar_t* RestPictureName(int hour);

// The rest length in seconds; never negative and never overflowing.
int RestSeconds(int minutes);

// The rest countdown "MM:SS" in its colour markup.
std::wstring FormatRestCountdown(int seconds);
// The rest screen's clock "HH:MM" in its colour markup.
std::wstring FormatRestClock(const SYSTEMTIME& now);

}  // namespace companion
