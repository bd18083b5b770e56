#include "companion/actions/custom_action.h"

#include <algorithm>
#include <cwchar>
#include <ctime>
#include <unordered_set>

#include "base/text.h"
#include "companion/actions/action_sections.h"
#include "companion/actions/calendar_actions.h"
#include "companion/system/paths.h"
#include "companion/system/power.h"

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

std::wstring Numbered(const wchar_t* prefix, int i) {
    wchar_t name[64] = {};
    std::swprintf(name, 64, L"%ls%d", prefix, i);
    return name;
}

bool IsWeekend(int dayOfWeek) {
    return dayOfWeek == 0 || dayOfWeek == 6;
}

constexpr int kShutdownStyleCount = 6;

}  // namespace

bool ParseAlertTime(const std::wstring& text, int& hour, int& minute) {
    if (text.size() != 5 || text[2] != L':') return false;
    for (size_t i : {0u, 1u, 3u, 4u})
        if (text[i] < L'0' || text[i] > L'9') return false;
    hour = (text[0] - L'0') * 10 + (text[1] - L'0');
    minute = (text[3] - L'0') * 10 + (text[4] - L'0');
    return hour < 24 && minute < 60;
}

bool RepeatAllows(int repeat, const std::wstring& lastSetDate, const std::wstring& today, int dayOfWeek) {
    switch (repeat) {
    case 0:
        return lastSetDate == today;
    case 1:
        return true;
    case 2:
        return !IsWeekend(dayOfWeek);
    case 3:
        return IsWeekend(dayOfWeek);
    default:
        return false;
    }
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

std::wstring StripMarkers(std::wstring text) {
    static const wchar_t* const kMarkers[] = {L"$shutdown$", L"$eyeguardian$", L"$custom$", L"$cpugpu$"};
    // Taking one marker out can join the halves of another.
    for (bool found = true; found;) {
        found = false;
        for (const wchar_t* marker : kMarkers) {
            for (size_t at; (at = text.find(marker)) != std::wstring::npos;) {
                text.erase(at, std::wcslen(marker));
                found = true;
            }
        }
    }
    return text;
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
// in order; `read` fills one record from its section.
template <typename Record, typename Read>
std::vector<Record> ReadNumberedSections(const std::unordered_set<std::wstring>& existing, const wchar_t* countKey,
                                         const wchar_t* prefix, Read read) {
    std::vector<Record> records;
    const int count = BoundedCount(ReadInt(L"vyn", countKey));
    for (int i = 1; i <= count; ++i) {
        const std::wstring section = Numbered(prefix, i);
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
            return o.time == r.time && o.lastSetDate == r.lastSetDate;
        });
        if (same != old.end()) r.firedToday = same->firedToday;
    }
}

}  // namespace

void CActionCustom::LoadAlerts(const std::wstring& today) {
    std::unordered_set<std::wstring> existing;
    for (std::wstring& name : ConfigSectionNames()) existing.insert(std::move(name));

    auto alerts = ReadNumberedSections<TimerAlertRecord>(
        existing, L"TimerAlertCount", L"TimerAlert", [](const wchar_t* section, TimerAlertRecord& r) {
            r.time = ReadText(section, L"TimerAlertTime");
            r.repeat = ReadInt(section, L"TimerAlertRepeat");
            r.lastSetDate = ReadText(section, L"LastSetDate");
            r.content = ReadText(section, L"TimerAlertContent");
            r.ring = ReadText(section, L"Ring");
            r.state = ReadInt(section, L"State");
        });
    auto shutdowns = ReadNumberedSections<ShutdownRecord>(
        existing, L"TimeShutDownCount", L"vynShutDown", [](const wchar_t* section, ShutdownRecord& r) {
            r.time = ReadText(section, L"ShutDownAlertTime");
            r.repeat = ReadInt(section, L"ShutDownAlertRepeat");
            r.style = ReadInt(section, L"ShutDownStyle");
            r.lastSetDate = ReadText(section, L"LastSetDate");
            r.state = ReadInt(section, L"State");
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
    const int64_t begin = Settings().RestBegin.load();
    const int64_t end = Settings().RestEnd.load();
    if (begin == 0 || end == 0) return false;
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
    return when != -1 && when > begin && when < end;
}

bool CActionCustom::WasShutDownForAlert(const ShutdownRecord& record, const std::wstring& today) const {
    std::wstring last;
    ReadConfigString(last, L"vyn", L"lastshutdowntime");
    if (last.size() != 12 || record.time.size() != 5) return false;
    for (wchar_t c : last)
        if (c < L'0' || c > L'9') return false;
    // The date of the last shutdown, not the record's set date: a repeating
    // record was set long ago, yet shut the machine down today.
    if (last.compare(0, 8, today) != 0) return false;
    const int hour = (last[8] - L'0') * 10 + (last[9] - L'0');
    const int minute = (last[10] - L'0') * 10 + (last[11] - L'0');
    return InAlertWindow(record.time, hour, minute, 0);
}

void CActionCustom::KeepSystemAwake(const SYSTEMTIME& now, const std::wstring& today) {
    const int nowMinutes = now.wHour * 60 + now.wMinute;
    const bool pending = std::any_of(shutdowns_.begin(), shutdowns_.end(), [&](const ShutdownRecord& r) {
        int hour = 0, minute = 0;
        if (r.state != 1 || r.firedToday || r.style < 0 || r.style >= kShutdownStyleCount ||
            !ParseAlertTime(r.time, hour, minute))
            return false;
        if (r.repeat == 1 || r.repeat == 2 || r.repeat == 3) return true;
        // A one-time shutdown can only fire on its own day, up to the end of its window.
        return r.repeat == 0 && r.lastSetDate == today && nowMinutes <= hour * 60 + minute + 2;
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
        if (r.firedToday || r.state != 1 || !RepeatAllows(r.repeat, r.lastSetDate, today, now.wDayOfWeek)) continue;
        if (!InAlertWindow(r.time, now.wHour, now.wMinute, now.wSecond) && !RestModeCoveredTime(r.time, now))
            continue;
        tipText_ = L"$custom$" + StripMarkers(r.content);
        r.firedToday = true;
        if (!r.ring.empty() && GetPathType(r.ring.c_str()) == 1) Env().PlaySound(r.ring);
        return true;
    }

    KeepSystemAwake(now, today);

    for (ShutdownRecord& r : shutdowns_) {
        if (r.firedToday || r.state != 1 || r.style < 0 || r.style >= kShutdownStyleCount ||
            !RepeatAllows(r.repeat, r.lastSetDate, today, now.wDayOfWeek))
            continue;
        const bool window = InAlertWindow(r.time, now.wHour, now.wMinute, now.wSecond);
        if (!(window && !WasShutDownForAlert(r, today)) && !RestModeCoveredTime(r.time, now)) continue;
        tipText_ = L"$shutdown$" + std::to_wstring(r.style);
        r.firedToday = true;
        return true;
    }
    return false;
}
