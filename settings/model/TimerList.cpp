#include "settings/model/TimerList.h"

#include <algorithm>
#include <cwchar>

#include "base/text.h"
#include "settings/model/GlobalFuncs.h"

namespace settings {

// The file's values, shared with Corvalle.
using protocol::kDefaultReminderText;
using protocol::kReminderTextLimit;
using protocol::kRepeatEveryDay;
using protocol::kRepeatOnce;
using protocol::kStateActive;
using protocol::kStateExpired;
using protocol::kStatePaused;

int TShutDownList::Add(std::unique_ptr<TShutDownAlertInfo> record) {
    if (!record) return -1;
    items_.push_back(std::move(record));
    return Count() - 1;
}

TShutDownAlertInfo* TShutDownList::Items(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

std::unique_ptr<TShutDownAlertInfo> TShutDownList::Delete(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    std::unique_ptr<TShutDownAlertInfo> record = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return record;
}

int TShutDownList::IndexOf(const TShutDownAlertInfo* record) const {
    for (int n = 0; n < Count(); ++n)
        if (items_[static_cast<size_t>(n)].get() == record) return n;
    return -1;
}

namespace {

std::wstring HHNN(int hour, int minute) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%.2d:%.2d", hour, minute);
    return text;
}

// The firing rule shared with Corvalle, on a day of the calendar.
bool FiresOn(int repeat, const std::wstring& lastSetDate, const TDateTime& day) {
    return protocol::RepeatAllows(repeat, lastSetDate, FormatYYYYMMDD(day), day.DayOfWeek());
}

// Two years after `now`, 29 February falling back to the 28th.
TDateTime TwoYearsOn(const TDateTime& now) {
    TDateTime out;
    const int day = std::min(now.Day, DaysInMonth(now.Month, now.Year + 2));
    if (!TDateTime::Make(now.Year + 2, now.Month, day, now.Hour, now.Minute, now.Second, out)) return now;
    return out;
}

TEntryVerdict CheckRing(const std::wstring& ring) {
    if (base::Trim(ring, base::kTypedBlanks).empty()) return evOk;
    if (!FileExistsAnyView(ring)) return evRingMissing;
    if (!FileHasExtension(ring, kSoundExtensions)) return evRingFormat;
    return evOk;
}

}  // namespace

std::wstring VerdictText(TEntryVerdict verdict) {
    switch (verdict) {
    case evRingMissing: return L"提醒铃声文件不存在，请重新设置。";
    case evRingFormat: return L"提醒铃声不支持此文件格式！";
    case evDuplicateReminder: return L"不能创建时间重复的提醒！";
    case evBeyondTwoYears: {
        wchar_t text[64];
        std::swprintf(text, 64, L"只能选择%ls年内的日期！", L"两");
        return text;
    }
    case evPastDate: return L"不能选择过期的提醒日期!";
    case evPastTime: return L"不能选择过期的提醒时间!";
    case evDuplicateShutDown: return L"不能创建时间重复的定时关机！";
    default: return std::wstring();
    }
}

TEntryVerdict BuildReminder(const std::vector<TTimerAlertInfo>& list, int editIndex, const TReminderForm& form,
                            const TDateTime& now, TTimerAlertInfo& entry) {
    const TEntryVerdict ring = CheckRing(form.Ring);
    if (ring != evOk) return ring;
    const std::wstring time = HHNN(form.Hour, form.Minute);
    int repeat = kRepeatOnce;
    std::wstring date;
    if (form.Repeating) {
        repeat = form.RepeatKind;
        date = FormatYYYYMMDD(now);
    } else {
        TDateTime due;
        if (!TDateTime::Make(form.Date.Year, form.Date.Month, form.Date.Day, form.Hour, form.Minute, 0, due))
            return evPastDate;
        if (TwoYearsOn(now) < due) return evBeyondTwoYears;
        if (form.Date.DateOnly() < now.DateOnly()) return evPastDate;
        if (form.Date.DateOnly() == now.DateOnly() && !TimeOfDayBefore(now, due)) return evPastTime;
        date = FormatYYYYMMDD(form.Date);
    }
    if (IsDuplicateEntry(list, editIndex, repeat, time, date)) return evDuplicateReminder;
    entry.Time = time;
    entry.Repeat = repeat;
    entry.LastSetDate = date;
    entry.Ring = base::Trim(form.Ring, base::kTypedBlanks).empty() ? std::wstring() : form.Ring;
    const std::wstring content = base::Trim(form.Content, base::kTypedBlanks);
    entry.Content = content.empty() ? std::wstring(kDefaultReminderText) : form.Content.substr(0, kReminderTextLimit);
    if (entry.State != kStatePaused) entry.State = kStateActive;
    return evOk;
}

TEntryVerdict BuildShutDown(const std::vector<TShutDownAlertInfo>& list, int editIndex, const TShutDownForm& form,
                            const TDateTime& now, TShutDownAlertInfo& entry) {
    const std::wstring time = HHNN(form.Hour, form.Minute);
    int repeat = kRepeatOnce;
    std::wstring date;
    if (form.Repeating) {
        repeat = form.RepeatKind;
        date = FormatYYYYMMDD(now);
    } else {
        const bool atOrAfter = now.SecondsOfDay() >= form.Hour * 3600 + form.Minute * 60;
        date = FormatYYYYMMDD(atOrAfter ? now.AddDays(1) : now);
    }
    if (IsDuplicateEntry(list, editIndex, repeat, time, date)) return evDuplicateShutDown;
    entry.Time = time;
    entry.Repeat = repeat;
    entry.LastSetDate = date;
    entry.Style = form.Style;
    if (entry.State != kStatePaused) entry.State = kStateActive;
    return evOk;
}

bool ShareADay(const TShutDownAlertInfo& a, const TShutDownAlertInfo& b) {
    if (a.Repeat == kRepeatOnce) return FiresOn(b.Repeat, b.LastSetDate, ParseDate8(a.LastSetDate));
    if (b.Repeat == kRepeatOnce) return FiresOn(a.Repeat, a.LastSetDate, ParseDate8(b.LastSetDate));
    if (a.Repeat == kRepeatEveryDay || b.Repeat == kRepeatEveryDay) return true;
    return a.Repeat == b.Repeat;
}

int PauseOverlappingShutDowns(std::vector<TShutDownAlertInfo>& list, int activeIndex) {
    if (activeIndex < 0 || activeIndex >= static_cast<int>(list.size())) return 0;
    const TShutDownAlertInfo active = list[static_cast<size_t>(activeIndex)];
    int paused = 0;
    for (size_t n = 0; n < list.size(); ++n) {
        TShutDownAlertInfo& other = list[n];
        if (static_cast<int>(n) == activeIndex || other.State == kStateExpired) continue;
        if (!ShareADay(active, other)) continue;
        if (other.State != kStatePaused) ++paused;
        other.State = kStatePaused;
    }
    return paused;
}

int64_t ShutDownCountdown(const TShutDownAlertInfo& entry, const TDateTime& now) {
    const TDateTime time = ParseTime(entry.Time);
    const int64_t timeOfDay = time.Hour * 3600 + time.Minute * 60;
    if (entry.Repeat == kRepeatOnce) {
        const int64_t left = DueMoment(entry.LastSetDate, entry.Time).Seconds() - now.Seconds();
        // A moment that has passed is not shown as a time still to come.
        return left > 0 ? left : 0;
    }
    const TDateTime today = now.DateOnly();
    for (int d = 0; d <= 7; ++d) {
        const TDateTime day = today.AddDays(d);
        if (!FiresOn(entry.Repeat, entry.LastSetDate, day)) continue;
        const int64_t left = day.Seconds() + timeOfDay - now.Seconds();
        if (left > 0) return left;
    }
    return 0;
}

int ToggledState(int state) {
    if (state == kStateActive) return kStatePaused;
    if (state == kStatePaused) return kStateActive;
    return state;
}

bool TickTimerAlerts(std::vector<TTimerAlertInfo>& list, const TDateTime& now) {
    bool changed = false;
    for (TTimerAlertInfo& e : list) {
        if (e.Repeat != kRepeatOnce) continue;
        const bool before = now < DueMoment(e.LastSetDate, e.Time);
        if (e.State == kStateExpired && before) {
            e.State = kStateActive;
            changed = true;
        } else if (e.State == kStateActive && !before) {
            e.State = kStateExpired;
            changed = true;
        }
    }
    return changed;
}

TShutDownTick TickShutDowns(std::vector<TShutDownAlertInfo>& list, const TDateTime& now) {
    TShutDownTick tick;
    for (size_t n = list.size(); n-- > 0;) {
        TShutDownAlertInfo& e = list[n];
        if (e.Repeat == kRepeatOnce) {
            const TDateTime due = DueMoment(e.LastSetDate, e.Time);
            // A moment that lies ahead again (the clock was set back) comes
            // back paused: it may share its day with an active entry.
            if (e.State == kStateExpired && now < due) {
                e.State = kStatePaused;
                tick.Changed = tick.Save = true;
            } else if (e.State == kStatePaused && due < now) {
                e.State = kStateExpired;
                tick.Changed = tick.Save = true;
            } else if (e.State == kStateActive && due < now) {
                e.State = kStateExpired;
                tick.Changed = true;
            }
        }
        if (e.State == kStateActive) tick.AnyActive = true;
    }
    return tick;
}

int NextHour(const TDateTime& now, bool* nextDay) {
    const bool wraps = now.Hour >= 23;
    if (nextDay) *nextDay = wraps;
    return wraps ? 0 : now.Hour + 1;
}

}  // namespace settings
