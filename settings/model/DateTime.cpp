#include "settings/model/DateTime.h"

#include <windows.h>

namespace settings {

namespace {

std::function<TDateTime()>& ClockSlot() {
    static std::function<TDateTime()> clock;
    return clock;
}

constexpr int64_t kTicksPerSecond = 10000000;

}  // namespace

bool TDateTime::Make(int year, int month, int day, int hour, int minute, int second, TDateTime& out) {
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = month == 2 && leap ? 29 : kDays[month - 1];
    if (day > last) return false;
    out = TDateTime{year, month, day, hour, minute, second};
    return true;
}

int64_t TDateTime::Seconds() const {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(Year);
    st.wMonth = static_cast<WORD>(Month);
    st.wDay = static_cast<WORD>(Day);
    st.wHour = static_cast<WORD>(Hour);
    st.wMinute = static_cast<WORD>(Minute);
    st.wSecond = static_cast<WORD>(Second);
    FILETIME ft{};
    if (!::SystemTimeToFileTime(&st, &ft)) return 0;
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(v.QuadPart / kTicksPerSecond);
}

TDateTime TDateTime::FromSeconds(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    ULARGE_INTEGER v;
    v.QuadPart = static_cast<ULONGLONG>(seconds) * kTicksPerSecond;
    FILETIME ft{v.LowPart, v.HighPart};
    SYSTEMTIME st{};
    ::FileTimeToSystemTime(&ft, &st);
    return TDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

TDateTime TDateTime::DateOnly() const {
    return TDateTime{Year, Month, Day, 0, 0, 0};
}

int TDateTime::DayOfWeek() const {
    // 1 January 1601 was a Monday.
    const int64_t days = DateOnly().Seconds() / 86400;
    return static_cast<int>((days + 1) % 7);
}

TDateTime Now() {
    if (ClockSlot()) return ClockSlot()();
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return TDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

void SetClock(std::function<TDateTime()> clock) {
    ClockSlot() = std::move(clock);
}

}  // namespace settings
