// The owning list of timed-shutdown records that the shutdown page shows.
#pragma once

#include <memory>
#include <vector>

#include "settings/model/SettingsFile.h"

namespace settings {

class TShutDownList {
public:
    TShutDownList() = default;
    TShutDownList(const TShutDownList&) = delete;
    TShutDownList& operator=(const TShutDownList&) = delete;

    // Takes the record over; returns its index.
    int Add(std::unique_ptr<TShutDownAlertInfo> record);
    int Add(const TShutDownAlertInfo& record) { return Add(std::make_unique<TShutDownAlertInfo>(record)); }
    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0..Count-1.
    TShutDownAlertInfo* Items(int index) const;
    // Takes the entry out of the list and hands the record to the caller,
    // who decides whether it lives on; null for an index outside the list.
    std::unique_ptr<TShutDownAlertInfo> Delete(int index);
    // The index of `record` in the list, or -1.
    int IndexOf(const TShutDownAlertInfo* record) const;
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TShutDownAlertInfo>> items_;
};

// ------------------------------------------------------------------------
// The rules of the two lists, as functions of the lists and the moment, so
// every rule can be checked at any day of the week without a window.

constexpr wchar_t kSoundExtensions[] = L".wav;.mp3;.mid;.wma";

enum TEntryVerdict {
    evOk,
    evRingMissing,
    evRingFormat,
    evDuplicateReminder,
    evBeyondTwoYears,
    evPastDate,
    evPastTime,
    evDuplicateShutDown,
};
// What the user is told for a refused entry; empty for evOk.
std::wstring VerdictText(TEntryVerdict verdict);

// What the reminder editor holds when "确定" is pressed.
struct TReminderForm {
    bool Repeating = true;
    int RepeatKind = protocol::kRepeatEveryDay;
    int Hour = 0, Minute = 0;
    TDateTime Date;  // the date picker's day
    std::wstring Ring;
    std::wstring Content;
};

struct TShutDownForm {
    bool Repeating = false;
    int RepeatKind = protocol::kRepeatEveryDay;
    int Hour = 0, Minute = 0;
    int Style = protocol::kStylePowerOff;
};

// Is there another entry (not the one at `editIndex`) with the same repeat
// kind and time, and for one-time entries the same day?
template <typename Entry>
bool IsDuplicateEntry(const std::vector<Entry>& list, int editIndex, int repeat, const std::wstring& time,
                      const std::wstring& lastSetDate) {
    for (size_t n = 0; n < list.size(); ++n) {
        if (static_cast<int>(n) == editIndex) continue;
        const Entry& e = list[n];
        if (e.Repeat != repeat || e.Time != time) continue;
        if (repeat == protocol::kRepeatOnce && e.LastSetDate != lastSetDate) continue;
        return true;
    }
    return false;
}

// Checks the editor's values against the list and the clock and, when they
// pass, writes them into `entry` (a copy of the entry under edit, or a new
// one); `entry` is left alone otherwise. `editIndex` is -1 for a new entry.
TEntryVerdict BuildReminder(const std::vector<TTimerAlertInfo>& list, int editIndex, const TReminderForm& form,
                            const TDateTime& now, TTimerAlertInfo& entry);
TEntryVerdict BuildShutDown(const std::vector<TShutDownAlertInfo>& list, int editIndex, const TShutDownForm& form,
                            const TDateTime& now, TShutDownAlertInfo& entry);

// Could `a` and `b` fire on the same day?
bool ShareADay(const TShutDownAlertInfo& a, const TShutDownAlertInfo& b);
// One active shutdown a day: pauses every other entry that is not expired
// and shares a day with the entry at `activeIndex`. Returns how many.
int PauseOverlappingShutDowns(std::vector<TShutDownAlertInfo>& list, int activeIndex);

// Whole seconds until an active shutdown fires next; never negative.
int64_t ShutDownCountdown(const TShutDownAlertInfo& entry, const TDateTime& now);

// The state button: active and paused swap, expired stays.
int ToggledState(int state);

// One tick of the reminder list's timer: one-time entries follow the clock
// between active and expired. True when something changed.
bool TickTimerAlerts(std::vector<TTimerAlertInfo>& list, const TDateTime& now);

struct TShutDownTick {
    bool Changed = false;    // some state changed
    bool Save = false;       // a change that belongs in the file
    bool AnyActive = false;  // a row shows a running countdown
};
TShutDownTick TickShutDowns(std::vector<TShutDownAlertInfo>& list, const TDateTime& now);

// The hour a new entry starts at: the next one, wrapping to 0 after 23
// (`nextDay` tells the caller that the day moved on as well).
int NextHour(const TDateTime& now, bool* nextDay = nullptr);

}  // namespace settings
