// Corvalle.ini, the file Mirelo writes and Corvalle reads: its sections and
// keys, the two lists' records and their enums, the layout of the numbered
// list sections, and the rule that says on which days a list entry fires.
//
// Both programs read the same keys, each by its own rules (ListReading
// below); where those rules differ, the difference is named there and
// nowhere else.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace protocol {

namespace ini {

// Sections.
constexpr wchar_t kGeneral[] = L"vyn";
constexpr wchar_t kEye[] = L"eye";
constexpr wchar_t kPosition[] = L"vynpos";
// The lists: "<prefix><n>" for n = 1..count, n in plain decimal. The bare
// shutdown prefix is also the older single-entry section.
constexpr wchar_t kReminderPrefix[] = L"TimerAlert";
constexpr wchar_t kShutDownPrefix[] = L"vynShutDown";

// [vyn]
constexpr wchar_t kWiseHealthAlert[] = L"WiseHealthAlert";
constexpr wchar_t kUseWiseAlertRing[] = L"UseWiseAlertRing";
constexpr wchar_t kRing[] = L"Ring";
constexpr wchar_t kCustomWeather[] = L"CustomWeather";
constexpr wchar_t kProvinceCode[] = L"ProvinceCode";
constexpr wchar_t kCityCode[] = L"CityCode";
constexpr wchar_t kSetEyeProtection[] = L"seteyeprotection";  // "true" / "false"
constexpr wchar_t kReminderCount[] = L"TimerAlertCount";
constexpr wchar_t kShutDownCount[] = L"TimeShutDownCount";
constexpr wchar_t kLastShutDownTime[] = L"lastshutdowntime";  // "YYYYMMDDHHNN"
constexpr wchar_t kTopmost[] = L"topmost";                    // Corvalle's own, "true" / "false"
constexpr wchar_t kPrompt[] = L"prompt";
constexpr wchar_t kFirstRunTip[] = L"firstruntip";
constexpr wchar_t kCompatible[] = L"compatible";

// [vynpos], Corvalle's own.
constexpr wchar_t kX[] = L"x";
constexpr wchar_t kY[] = L"y";

// [vynplayer], Corvalle's own: the player it started last, by process id
// and creation time (a FILETIME in decimal), so that a later copy stops that
// very process and no other program's player.
constexpr wchar_t kPlayer[] = L"vynplayer";
constexpr wchar_t kPlayerProcessId[] = L"pid";
constexpr wchar_t kPlayerCreated[] = L"created";

// [eye]
constexpr wchar_t kRun[] = L"run";
constexpr wchar_t kInterval[] = L"interval";  // minutes
constexpr wchar_t kRestTime[] = L"resttime";  // minutes
constexpr wchar_t kNext[] = L"next";          // "HHNN"

// A reminder section, keys in the order they are written.
constexpr wchar_t kReminderTime[] = L"TimerAlertTime";  // "HH:NN"
constexpr wchar_t kReminderRepeat[] = L"TimerAlertRepeat";
constexpr wchar_t kReminderContent[] = L"TimerAlertContent";
constexpr wchar_t kLastSetDate[] = L"LastSetDate";  // "YYYYMMDD"
constexpr wchar_t kReminderRing[] = L"Ring";
constexpr wchar_t kState[] = L"State";
// A shutdown section, keys in the order they are written (then LastSetDate, State).
constexpr wchar_t kShutDownTime[] = L"ShutDownAlertTime";
constexpr wchar_t kShutDownRepeat[] = L"ShutDownAlertRepeat";
constexpr wchar_t kShutDownStyle[] = L"ShutDownStyle";

}  // namespace ini

enum RepeatKind : int { kRepeatOnce = 0, kRepeatEveryDay = 1, kRepeatWeekdays = 2, kRepeatWeekend = 3 };
enum ShutDownStyle : int {
    kStyleForcedPowerOff = 0,
    kStylePowerOff = 1,
    kStyleLogOff = 2,
    kStyleLock = 3,
    kStyleRestart = 4,
    kStyleStandby = 5,
};
constexpr int kShutDownStyleCount = 6;
// Only active entries fire.
enum EntryState : int { kStateExpired = -1, kStatePaused = 0, kStateActive = 1 };

// A reminder's text when none is given (also the file's default).
constexpr wchar_t kDefaultReminderText[] = L"请添加您要提醒的内容";
constexpr size_t kReminderTextLimit = 77;

// One entry of each list; the initial values are those of a new entry in
// Mirelo's editor.
struct ReminderEntry {
    std::wstring Time = L"00:00";
    int Repeat = kRepeatEveryDay;
    std::wstring Content = kDefaultReminderText;
    std::wstring LastSetDate;
    std::wstring Ring;
    int State = kStateActive;
};

struct ShutDownEntry {
    std::wstring Time = L"00:00";
    int Repeat = kRepeatOnce;
    int Style = kStylePowerOff;
    std::wstring LastSetDate;
    int State = kStatePaused;
};

// The firing rule of both lists: whether an entry of `repeat` fires on `day`
// ("YYYYMMDD", day of week 0 = Sunday). A one-time entry fires only on its
// set date; an unknown repeat never.
bool RepeatAllows(int repeat, const std::wstring& lastSetDate, const std::wstring& day, int dayOfWeek);

// "<prefix><n>".
std::wstring NumberedSectionName(const wchar_t* prefix, int n);

// How a program reads the values of a list section. The two programs read
// the same keys differently, and both ways are kept:
// - Integers. Corvalle: the leading decimal digits (none gives 0, the
//   default is never used). Mirelo: a whole decimal, or hexadecimal after
//   "0x" or "$", number; anything else gives the key's default.
// - Missing keys. Corvalle: an empty text and 0, so a reminder without a
//   State never fires there. Mirelo: the file's defaults (reminder State 1,
//   shutdown State 0, content the default text, set date today).
// - Long texts. Corvalle reads at most 1023 characters of a value; Mirelo
//   the whole value.
// - Which sections. Both read "<prefix><n>" for n = 1..count where present.
//   Corvalle bounds the count and reads a section without keys as an empty
//   record (State 0: it never fires); Mirelo skips it.
// - Afterwards. Mirelo normalises the time and the date and derives the
//   state of one-time entries from the clock; Corvalle takes the values as
//   they are (a time not in "HH:NN" never fires).
struct ListReading {
    // The text of `key`, `def` when the key is missing.
    std::function<std::wstring(const wchar_t* section, const wchar_t* key, const std::wstring& def)> Text;
    // The integer a value's text stands for, `def` when it stands for none.
    std::function<int(const std::wstring& text, int def)> Integer;
    // What each key of a section reads as when it is missing.
    ReminderEntry ReminderDefaults;
    ShutDownEntry ShutDownDefaults;
};

ReminderEntry ReadReminderSection(const ListReading& reading, const wchar_t* section);
ShutDownEntry ReadShutDownSection(const ListReading& reading, const wchar_t* section);

// Writes one value; false when it could not be written.
using ValueWriter = std::function<bool(const wchar_t* section, const wchar_t* key, const std::wstring& value)>;
// The keys of one entry in the order above; stops at the first failure.
bool WriteReminderSection(const ValueWriter& write, const wchar_t* section, const ReminderEntry& entry);
bool WriteShutDownSection(const ValueWriter& write, const wchar_t* section, const ShutDownEntry& entry);

}  // namespace protocol
