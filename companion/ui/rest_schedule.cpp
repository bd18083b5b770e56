#include "companion/ui/rest_schedule.h"

#include <climits>

#include "companion/actions/action_environment.h"
#include "companion/system/shared_settings.h"
#include "companion/system/text_utils.h"
#include "protocol/corvalle_ini.h"

namespace companion {

namespace {

LocalTimeSource g_localTime = nullptr;

}  // namespace

SYSTEMTIME DialogLocalTime() {
    if (g_localTime) return g_localTime();
    return SystemActionEnvironment().LocalTime();
}

void SetDialogLocalTime(LocalTimeSource source) { g_localTime = source; }

std::wstring NextRestTime(int hour, int minute, int64_t intervalMinutes) {
    constexpr int64_t kDay = 24 * 60;
    int64_t total = (static_cast<int64_t>(hour) * 60 + minute) % kDay + intervalMinutes % kDay;
    total = ((total % kDay) + kDay) % kDay;
    std::wstring text;
    FormatWString(text, L"%.2d%.2d", static_cast<int>(total / 60), static_cast<int>(total % 60));
    return text;
}

int WriteNextRestTime(const SYSTEMTIME& now) {
    const std::wstring next = NextRestTime(now.wHour, now.wMinute, SharedSettings::Instance().Interval.load());
    return WriteConfigString(protocol::ini::kEye, protocol::ini::kNext, next.c_str());
}

const wchar_t* RestPictureName(int hour) { return hour < 6 || hour > 17 ? L"night169.png" : L"day169.png"; }

int RestSeconds(int minutes) {
    const int64_t seconds = static_cast<int64_t>(minutes) * 60;
    if (seconds <= 0) return 0;
    return seconds > INT_MAX ? INT_MAX : static_cast<int>(seconds);
}

std::wstring FormatRestCountdown(int seconds) {
    if (seconds < 0) seconds = 0;
    std::wstring text;
    FormatWString(text, L"{&#color=0x30bb82}%.2d:%.2d{&#/color}", seconds / 60, seconds % 60);
    return text;
}

std::wstring FormatRestClock(const SYSTEMTIME& now) {
    std::wstring text;
    FormatWString(text, L"{&#color=0xffffff}%.2d:%.2d{&#/color}", now.wHour, now.wMinute);
    return text;
}

}  // namespace companion
