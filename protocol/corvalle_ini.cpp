#include "protocol/corvalle_ini.h"

namespace protocol {

namespace {

bool IsWeekend(int dayOfWeek) { return dayOfWeek == 0 || dayOfWeek == 6; }

int ReadInteger(const ListReading& reading, const wchar_t* section, const wchar_t* key, int def) {
    return reading.Integer(reading.Text(section, key, L""), def);
}

}  // namespace

bool RepeatAllows(int repeat, const std::wstring& lastSetDate, const std::wstring& day, int dayOfWeek) {
    switch (repeat) {
    case kRepeatOnce: return lastSetDate == day;
    case kRepeatEveryDay: return true;
    case kRepeatWeekdays: return !IsWeekend(dayOfWeek);
    case kRepeatWeekend: return IsWeekend(dayOfWeek);
    default: return false;
    }
}

std::wstring NumberedSectionName(const wchar_t* prefix, int n) {
    return prefix + std::to_wstring(n);
}

ReminderEntry ReadReminderSection(const ListReading& reading, const wchar_t* section) {
    const ReminderEntry& def = reading.ReminderDefaults;
    auto integer = [&](const wchar_t* key, int fallback) { return ReadInteger(reading, section, key, fallback); };
    ReminderEntry entry;
    entry.Time = reading.Text(section, ini::kReminderTime, def.Time);
    entry.Repeat = integer(ini::kReminderRepeat, def.Repeat);
    entry.Content = reading.Text(section, ini::kReminderContent, def.Content);
    entry.LastSetDate = reading.Text(section, ini::kLastSetDate, def.LastSetDate);
    entry.Ring = reading.Text(section, ini::kReminderRing, def.Ring);
    entry.State = integer(ini::kState, def.State);
    return entry;
}

ShutDownEntry ReadShutDownSection(const ListReading& reading, const wchar_t* section) {
    const ShutDownEntry& def = reading.ShutDownDefaults;
    auto integer = [&](const wchar_t* key, int fallback) { return ReadInteger(reading, section, key, fallback); };
    ShutDownEntry entry;
    entry.Time = reading.Text(section, ini::kShutDownTime, def.Time);
    entry.Repeat = integer(ini::kShutDownRepeat, def.Repeat);
    entry.Style = integer(ini::kShutDownStyle, def.Style);
    entry.LastSetDate = reading.Text(section, ini::kLastSetDate, def.LastSetDate);
    entry.State = integer(ini::kState, def.State);
    return entry;
}

bool WriteReminderSection(const ValueWriter& write, const wchar_t* section, const ReminderEntry& e) {
    return write(section, ini::kReminderTime, e.Time) &&
           write(section, ini::kReminderRepeat, std::to_wstring(e.Repeat)) &&
           write(section, ini::kReminderContent, e.Content) && write(section, ini::kLastSetDate, e.LastSetDate) &&
           write(section, ini::kReminderRing, e.Ring) && write(section, ini::kState, std::to_wstring(e.State));
}

bool WriteShutDownSection(const ValueWriter& write, const wchar_t* section, const ShutDownEntry& e) {
    return write(section, ini::kShutDownTime, e.Time) &&
           write(section, ini::kShutDownRepeat, std::to_wstring(e.Repeat)) &&
           write(section, ini::kShutDownStyle, std::to_wstring(e.Style)) &&
           write(section, ini::kLastSetDate, e.LastSetDate) && write(section, ini::kState, std::to_wstring(e.State));
}

}  // namespace protocol
