#include "companion/actions/custom_action.h"

#include <algorithm>
#include <cwchar>
#include <cstdint>
#include <ctime>
#include <string_view>
#include <unordered_set>

#include "base/numbers.h"
#include "base/text.h"
#include "companion/actions/action_sections.h"
#include "companion/actions/calendar_actions.h"
#include "companion/actions/rest_clock.h"
#include "companion/actions/tip_markers.h"
#include "companion/system/paths.h"
#include "companion/system/power.h"

namespace companion {

namespace {

int ReadInt(const wchar_t* section, const wchar_t* key) {
    std::wstring value;
    ReadConfigString(value, section, key);
    return ToInt(value);
}

std::wstring ReadText(const wchar_t* section, const wchar_t* key) {
    std::wstring value;
    ReadConfigString(value, section, key);
    return value;
}

// A count from the file is never trusted: a hostile one must not keep the
// detect thread busy.
int BoundedCount(int count) {
    return std::clamp(count, 0, CActionCustom::kMaxRecords);
}

bool IsKnownStyle(int style) {
    return style >= 0 && style < protocol::kShutDownStyleCount;
}

// Corvalle's reading of a list section (protocol::ListReading names how it
// differs from Mirelo's): a missing key is an empty text or 0, integers are
// their leading digits.
const protocol::ListReading& CompanionReading() {
    static const protocol::ListReading reading = [] {
        protocol::ListReading r;
        r.Text = [](const wchar_t* section, const wchar_t* key, const std::wstring&) { return ReadText(section, key); };
        r.Integer = [](const std::wstring& text, int) { return static_cast<int>(ToInt(text)); };
        r.ReminderDefaults = {L"", 0, L"", L"", L"", 0};
        r.ShutDownDefaults = {L"", 0, 0, L"", 0};
        return r;
    }();
    return reading;
}

}  // namespace

bool ParseAlertTime(const std::wstring& text, int& hour, int& minute) {
    if (text.size() != 5 || text[2] != L':') return false;
    const std::wstring_view view(text);
    uint64_t h = 0, m = 0;
    if (!base::ParseDigits(view.substr(0, 2), h) || !base::ParseDigits(view.substr(3, 2), m)) return false;
    hour = static_cast<int>(h);
    minute = static_cast<int>(m);
    return hour < 24 && minute < 60;
}

bool InAlertWindow(const std::wstring& stored, int hour, int minute, int second) {
    int storedHour = 0, storedMinute = 0;
    if (!ParseAlertTime(stored, storedHour, storedMinute)) return false;
    wchar_t now[16] = {};
    std::swprintf(now, 16, L"%.2d:%.2d:%.2d", hour, minute, second);
    if (std::wcscmp(now, stored.c_str()) < 0) return false;
    int late = -1;
    if (hour == storedHour) late = minute - storedMinute;
    else if (storedMinute >= 58 && hour == storedHour + 1) late = minute + 60 - storedMinute;
    return late >= 0 && late <= 2;
}

CActionCustom::CActionCustom(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kCustom, env, settings) {}

CActionCustom::~CActionCustom() {
    if (keptAwake_) PowerControl().KeepAwake(false);
}

std::atomic<long>& CActionCustom::AlertsLoaded() {
    static std::atomic<long> loaded{0};
    return loaded;
}

namespace {

// Reads the records "<prefix>1" .. "<prefix><count>" that exist in the file,
// in order; `read` gives one record's values from its section.
template <typename Record, typename Read>
std::vector<Record> ReadNumberedSections(const std::unordered_set<std::wstring>& existing, const wchar_t* countKey,
                                         const wchar_t* prefix, Read read) {
    std::vector<Record> records;
    const int count = BoundedCount(ReadInt(protocol::ini::kGeneral, countKey));
    for (int i = 1; i <= count; ++i) {
        const std::wstring section = protocol::NumberedSectionName(prefix, i);
        if (!existing.count(base::LowerAscii(section))) continue;
        Record r;
        read(section.c_str(), r);
        records.push_back(std::move(r));
    }
    return records;
}

// A list saved again the same day must not fire what already fired: a new
// record takes the flag of the first old one with the same time and set date.
template <typename Record>
void CarryFiredFlags(std::vector<Record>& fresh, const std::vector<Record>& old) {
    for (Record& r : fresh) {
        const auto same = std::find_if(old.begin(), old.end(), [&](const Record& o) {
            return o.Time == r.Time && o.LastSetDate == r.LastSetDate;
        });
        if (same != old.end()) r.firedToday = same->firedToday;
    }
}

}  // namespace

void CActionCustom::LoadAlerts(const std::wstring& today) {
    std::unordered_set<std::wstring> existing;
    for (std::wstring& name : ConfigSectionNames()) existing.insert(std::move(name));

    namespace ini = protocol::ini;
    auto alerts = ReadNumberedSections<TimerAlertRecord>(
        existing, ini::kReminderCount, ini::kReminderPrefix, [](const wchar_t* section, TimerAlertRecord& r) {
            static_cast<protocol::ReminderEntry&>(r) = protocol::ReadReminderSection(CompanionReading(), section);
        });
    auto shutdowns = ReadNumberedSections<ShutdownRecord>(
        existing, ini::kShutDownCount, ini::kShutDownPrefix, [](const wchar_t* section, ShutdownRecord& r) {
            static_cast<protocol::ShutDownEntry&>(r) = protocol::ReadShutDownSection(CompanionReading(), section);
        });

    if (loadDate_ == today) {
        CarryFiredFlags(alerts, alerts_);
        CarryFiredFlags(shutdowns, shutdowns_);
    }
    alerts_ = std::move(alerts);
    shutdowns_ = std::move(shutdowns);
    loadDate_ = today;
}

bool CActionCustom::RestModeCoveredTime(const std::wstring& stored, const SYSTEMTIME& now) {
    int hour = 0, minute = 0;
    if (!Settings().EyeRun.load() || !ParseAlertTime(stored, hour, minute)) return false;
    wchar_t current[16] = {};
    std::swprintf(current, 16, L"%.2d:%.2d:%.2d", now.wHour, now.wMinute, now.wSecond);
    if (std::wcscmp(current, stored.c_str()) < 0) return false;
    std::tm at{};
    at.tm_year = now.wYear - 1900;
    at.tm_mon = now.wMonth - 1;
    at.tm_mday = now.wDay;
    at.tm_hour = hour;
    at.tm_min = minute;
    at.tm_isdst = -1;
    const int64_t when = ::_mktime64(&at);
    return when != -1 && CRestClock(Settings()).CoveredByLastRest(when);
}

bool CActionCustom::WasShutDownForAlert(const ShutdownRecord& record, const std::wstring& today) const {
    std::wstring last;
    ReadConfigString(last, protocol::ini::kGeneral, protocol::ini::kLastShutDownTime);
    // "yyyymmddHHMM", digits only.
    uint64_t stamp = 0;
    if (last.size() != 12 || record.Time.size() != 5 || !base::ParseDigits(last, stamp)) return false;
    // The date of the last shutdown, not the record's set date: a repeating
    // record was set long ago, yet shut the machine down today.
    if (last.compare(0, 8, today) != 0) return false;
    const int hour = static_cast<int>(stamp / 100 % 100);
    const int minute = static_cast<int>(stamp % 100);
    return InAlertWindow(record.Time, hour, minute, 0);
}

void CActionCustom::KeepSystemAwake(const SYSTEMTIME& now, const std::wstring& today) {
    const int nowMinutes = now.wHour * 60 + now.wMinute;
    const bool pending = std::any_of(shutdowns_.begin(), shutdowns_.end(), [&](const ShutdownRecord& r) {
        int hour = 0, minute = 0;
        if (r.State != protocol::kStateActive || r.firedToday || !IsKnownStyle(r.Style) ||
            !ParseAlertTime(r.Time, hour, minute))
            return false;
        if (r.Repeat == protocol::kRepeatEveryDay || r.Repeat == protocol::kRepeatWeekdays ||
            r.Repeat == protocol::kRepeatWeekend)
            return true;
        // A one-time shutdown can only fire on its own day, up to the end of its window.
        return r.Repeat == protocol::kRepeatOnce && r.LastSetDate == today && nowMinutes <= hour * 60 + minute + 2;
    });
    if (pending != keptAwake_) {
        PowerControl().KeepAwake(pending);
        keptAwake_ = pending;
    }
}

bool CActionCustom::CheckCondition() {
    const SYSTEMTIME now = Env().LocalTime();
    const std::wstring today = FormatDate(now);
    // Marked current before reading, so a save that lands during the read
    // clears the mark again and is read at the next poll.
    if (AlertsLoaded().exchange(1) == 0 || loadDate_ != today) LoadAlerts(today);

    for (TimerAlertRecord& r : alerts_) {
        if (r.firedToday || r.State != protocol::kStateActive ||
            !RepeatAllows(r.Repeat, r.LastSetDate, today, now.wDayOfWeek))
            continue;
        if (!InAlertWindow(r.Time, now.wHour, now.wMinute, now.wSecond) && !RestModeCoveredTime(r.Time, now))
            continue;
        tipText_ = CustomTip(r.Content);
        r.firedToday = true;
        if (!r.Ring.empty() && GetPathType(r.Ring.c_str()) == 1) Env().PlaySound(r.Ring);
        return true;
    }

    KeepSystemAwake(now, today);

    for (ShutdownRecord& r : shutdowns_) {
        if (r.firedToday || r.State != protocol::kStateActive || !IsKnownStyle(r.Style) ||
            !RepeatAllows(r.Repeat, r.LastSetDate, today, now.wDayOfWeek))
            continue;
        const bool window = InAlertWindow(r.Time, now.wHour, now.wMinute, now.wSecond);
        if (!(window && !WasShutDownForAlert(r, today)) && !RestModeCoveredTime(r.Time, now)) continue;
        tipText_ = ShutdownTip(r.Style);
        r.firedToday = true;
        return true;
    }
    return false;
}

}  // namespace companion
