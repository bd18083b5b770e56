#include "settings/model/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "base/log.h"
#include "base/numbers.h"
#include "base/registry_values.h"
#include "base/text.h"
#include "protocol/eye_protection_color.h"
#include "protocol/program_names.h"
#include "settings/model/GlobalFuncs.h"
#include "base/handles.h"

namespace settings {

// The file's values, shared with Corvalle.
using protocol::kDefaultReminderText;
using protocol::kEyeProtectionColor;
using protocol::kRepeatEveryDay;
using protocol::kRepeatOnce;
using protocol::kRepeatWeekdays;
using protocol::kRepeatWeekend;
using protocol::kStateActive;
using protocol::kStateExpired;
using protocol::kStatePaused;
using protocol::kStyleForcedPowerOff;
using protocol::kStylePowerOff;
using protocol::kStyleStandby;

namespace keys = protocol::ini;

namespace {

using protocol::kRunKey;
using protocol::kRunValueName;
using keys::kEye;
using keys::kGeneral;
using keys::kReminderPrefix;
using keys::kShutDownPrefix;
constexpr wchar_t kColorsKey[] = L"Control Panel\\Colors";
constexpr wchar_t kRunValuePlace[] = L"the log-on Run value";
constexpr wchar_t kColorPlace[] = L"the window colour";

// A write the file refused, logged with its place and the system's cause.
bool Written(BOOL result, const std::wstring& path, const wchar_t* section, const wchar_t* key) {
    if (result) return true;
    const DWORD code = ::GetLastError();
    std::wstring where = L"writing " + path + L" [" + (section ? section : L"") + L"]";
    if (key) where += std::wstring(L" ") + key;
    base::LogFailedCall(where.c_str(), L"WritePrivateProfileStringW", code);
    return false;
}

std::wstring WithoutDashes(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'-'), text.end());
    return text;
}

std::wstring NormalTime(const std::wstring& text) {
    return FormatHHNN(ParseTime(text));
}

std::wstring NormalDate(const std::wstring& text) {
    return FormatYYYYMMDD(ParseDate8(text));
}

bool Expired(const std::wstring& date, const std::wstring& time) {
    return !(Now() < DueMoment(date, time));
}

std::wstring SectionName(const wchar_t* prefix, int n) {
    return protocol::NumberedSectionName(prefix, n);
}

// Mirelo's reading of a list section (protocol::ListReading names how it
// differs from Corvalle's): missing keys take the file's defaults, a set
// date today.
protocol::ListReading SettingsReading(const TIniFile& ini) {
    protocol::ListReading r;
    r.Text = [&ini](const wchar_t* section, const wchar_t* key, const std::wstring& def) {
        return ini.ReadString(section, key, def);
    };
    r.Integer = [](const std::wstring& text, int def) {
        int value;
        return base::ParseDecimalOrHex(text, value) ? value : def;
    };
    const std::wstring today = FormatYYYYMMDD(Now());
    r.ReminderDefaults = {L"", kRepeatOnce, kDefaultReminderText, today, L"", kStateActive};
    r.ShutDownDefaults = {L"", kRepeatOnce, kStyleForcedPowerOff, today, kStatePaused};
    return r;
}

LONG OpenRunKey(base::RegKey& key) {
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, RegAccess(KEY_READ | KEY_WRITE), key.Put());
}

protocol::ValueWriter ValueWriter(TIniFile& ini) {
    return [&ini](const wchar_t* section, const wchar_t* key, const std::wstring& value) {
        return ini.WriteString(section, key, value);
    };
}

template <typename Entry, typename WriteEntry>
bool SaveSections(TIniFile& ini, const wchar_t* prefix, const wchar_t* countKey, const std::vector<Entry>& list,
                  int& oldCount, WriteEntry writeEntry) {
    const int length = static_cast<int>(list.size());
    ini.NormalizeAttributes();
    bool ok = true;
    for (int n : NumberedSections(ini.SectionNames(), prefix, oldCount)) {
        if (!ini.EraseSection(SectionName(prefix, n).c_str())) {
            ok = false;
            break;
        }
    }
    ok = ok && ini.WriteInteger(kGeneral, countKey, length);
    for (int i = 0; ok && i < length; ++i) ok = writeEntry(SectionName(prefix, i + 1), list[i]);
    oldCount = ok ? length : std::max(oldCount, length);
    return ok;
}

}  // namespace

// ---------------------------------------------------------------- TIniFile

std::wstring TIniFile::ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& def) const {
    std::vector<wchar_t> buffer(1024);
    for (;;) {
        const DWORD n = ::GetPrivateProfileStringW(section, key, def.c_str(), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= 1u << 20) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
}

int TIniFile::ReadInteger(const wchar_t* section, const wchar_t* key, int def) const {
    int value;
    return base::ParseDecimalOrHex(ReadString(section, key, L""), value) ? value : def;
}

bool TIniFile::ReadBool(const wchar_t* section, const wchar_t* key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    return Written(::WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str()), path_, section, key);
}

bool TIniFile::WriteInteger(const wchar_t* section, const wchar_t* key, int value) {
    return WriteString(section, key, std::to_wstring(value));
}

bool TIniFile::WriteBool(const wchar_t* section, const wchar_t* key, bool value) {
    return WriteString(section, key, value ? L"1" : L"0");
}

bool TIniFile::EraseSection(const wchar_t* section) {
    return Written(::WritePrivateProfileStringW(section, nullptr, nullptr, path_.c_str()), path_, section, nullptr);
}

bool TIniFile::EraseKey(const wchar_t* section, const wchar_t* key) {
    return Written(::WritePrivateProfileStringW(section, key, nullptr, path_.c_str()), path_, section, key);
}

bool TIniFile::SectionExists(const wchar_t* section) const {
    wchar_t buffer[64];
    return ::GetPrivateProfileSectionW(section, buffer, 64, path_.c_str()) > 0;
}

bool TIniFile::ValueExists(const wchar_t* section, const wchar_t* key) const {
    std::vector<wchar_t> buffer(4096);
    DWORD n;
    for (;;) {
        n = ::GetPrivateProfileSectionW(section, buffer.data(), static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n + 2 < buffer.size() || buffer.size() >= 1u << 22) break;
        buffer.resize(buffer.size() * 4);
    }
    const std::wstring wanted = base::LowerCase(key);
    for (const wchar_t* line = buffer.data(); *line && line < buffer.data() + n; line += std::wcslen(line) + 1) {
        std::wstring name(line);
        const size_t eq = name.find(L'=');
        if (eq != std::wstring::npos) name.resize(eq);
        while (!name.empty() && name.back() == L' ') name.pop_back();
        if (base::LowerCase(name) == wanted) return true;
    }
    return false;
}

std::vector<std::wstring> TIniFile::SectionNames() const {
    std::vector<wchar_t> buffer(4096);
    DWORD n;
    for (;;) {
        n = ::GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n + 2 < buffer.size() || buffer.size() >= 1u << 22) break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<std::wstring> names;
    for (const wchar_t* name = buffer.data(); *name && name < buffer.data() + n; name += std::wcslen(name) + 1)
        names.emplace_back(name);
    return names;
}

bool TIniFile::FileExists() const {
    const DWORD attributes = ::GetFileAttributesW(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void TIniFile::NormalizeAttributes() const {
    if (::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ---------------------------------------------------------------- values

std::wstring SettingsFilePath() {
    return protocol::SettingsFileIn(GetAppDataDir());
}

std::wstring RepeatKindText(int kind, bool shutdown) {
    switch (kind) {
    case kRepeatOnce: return shutdown ? L"关机一次" : L"提醒一次";
    case kRepeatEveryDay: return L"每天";
    case kRepeatWeekdays: return L"星期一到星期五";
    case kRepeatWeekend: return L"星期六到星期日";
    default: return std::wstring();
    }
}

std::wstring ShutDownStyleText(int style) {
    static const wchar_t* const kTexts[] = {L"强制关机(关机前强制结束运行中的程序)", L"正常关机", L"注销", L"锁定", L"重启"};
    if (style >= 0 && style < 5) return kTexts[style];
    if (style == kStyleStandby) return IsVistaOrLater() ? L"睡眠" : L"待机";
    return std::wstring();
}

std::wstring ShutDownStyleShortName(int style) {
    if (style == kStyleForcedPowerOff) return L"强制关机";
    return ShutDownStyleText(style);
}

int RepeatListIndex(int kind) {
    return kind >= kRepeatEveryDay && kind <= kRepeatWeekend ? kind - 1 : 0;
}

int StyleListIndex(int style) {
    return style >= kStyleForcedPowerOff && style <= kStyleStandby ? style : kStylePowerOff;
}

int RepeatKindFromText(const std::wstring& text) {
    for (int kind = kRepeatEveryDay; kind <= kRepeatWeekend; ++kind)
        if (text == RepeatKindText(kind, false)) return kind;
    return kRepeatOnce;
}

TDateTime DueMoment(const std::wstring& lastSetDate, const std::wstring& time) {
    const TDateTime day = ParseDate8(lastSetDate);
    const TDateTime t = ParseTime(time);
    return day.AddSeconds(t.SecondsOfDay());
}

std::wstring DefaultRing() {
    // The Windows folder as the system reports it: an environment variable
    // may be missing or name a relative folder.
    wchar_t root[MAX_PATH] = {};
    const UINT n = ::GetWindowsDirectoryW(root, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    std::wstring path = root;
    if (path.back() != L'\\') path.push_back(L'\\');
    path += L"Media\\chimes.wav";
    return FileExistsByAttributes(path) ? path : std::wstring();
}

TGeneralSettings ReadGeneralSettings(const TIniFile& ini, const std::wstring& defaultRing) {
    TGeneralSettings s;
    s.WiseHealthAlert = ini.ReadBool(kGeneral, keys::kWiseHealthAlert, true);
    s.UseWiseAlertRing = ini.ReadBool(kGeneral, keys::kUseWiseAlertRing, false);
    s.Ring = ini.ReadString(kGeneral, keys::kRing, L"");
    if (s.Ring.empty()) s.Ring = defaultRing;
    s.CustomWeather = ini.ReadBool(kGeneral, keys::kCustomWeather, false);
    s.ProvinceCode = ini.ReadString(kGeneral, keys::kProvinceCode, L"");
    s.CityCode = ini.ReadString(kGeneral, keys::kCityCode, L"");
    return s;
}

bool WriteGeneralSettings(TIniFile& ini, const TGeneralSettings& s) {
    ini.NormalizeAttributes();
    return ini.WriteBool(kGeneral, keys::kWiseHealthAlert, s.WiseHealthAlert) &&
           ini.WriteBool(kGeneral, keys::kUseWiseAlertRing, s.UseWiseAlertRing) &&
           ini.WriteString(kGeneral, keys::kRing, s.Ring) &&
           ini.WriteBool(kGeneral, keys::kCustomWeather, s.CustomWeather) &&
           ini.WriteString(kGeneral, keys::kProvinceCode, s.ProvinceCode) &&
           ini.WriteString(kGeneral, keys::kCityCode, s.CityCode);
}

TStoredGeneralKeys ReadGeneralKeys(const TIniFile& ini) {
    TStoredGeneralKeys stored;
    // Held open for reading while the keys are read: a file this handle can
    // read, nobody can take for himself until the reads are done, and a
    // file it cannot open is either not there (every key absent) or not
    // readable now (nothing known).
    const base::FileHandle hold(::CreateFileW(ini.Path().c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hold) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            // A general save that fails after this cannot be taken back.
            base::LogFailedCall(L"reading the general settings before a save", L"CreateFileW", error);
            return stored;
        }
    }
    for (const wchar_t* key : {keys::kWiseHealthAlert, keys::kUseWiseAlertRing, keys::kRing, keys::kCustomWeather,
                               keys::kProvinceCode, keys::kCityCode})
        stored.Keys.push_back({key, ini.ValueExists(kGeneral, key), ini.ReadString(kGeneral, key, L"")});
    stored.Known = true;
    return stored;
}

bool RestoreGeneralKeys(TIniFile& ini, const TStoredGeneralKeys& stored) {
    if (!stored.Known) return false;
    ini.NormalizeAttributes();
    bool ok = true;
    for (const TStoredKey& k : stored.Keys)
        ok = (k.Present ? ini.WriteString(kGeneral, k.Key, k.Text) : ini.EraseKey(kGeneral, k.Key)) && ok;
    return ok;
}

TRestSettings ReadRestSettings(const TIniFile& ini) {
    TRestSettings r;
    r.Run = ini.ReadBool(kEye, keys::kRun, false);
    r.Interval = ini.ReadInteger(kEye, keys::kInterval, 120);
    if (r.Interval < 0) r.Interval = 120;
    r.RestTime = ini.ReadInteger(kEye, keys::kRestTime, 5);
    if (r.RestTime < 0) r.RestTime = 5;
    std::wstring next = ini.ReadString(kEye, keys::kNext, L"");
    if (!next.empty()) {
        const size_t colon = next.find(L':');
        if (colon != std::wstring::npos) next.erase(colon, 1);
        const std::wstring head = next.substr(0, 2);
        const std::wstring tail = next.size() >= 2 ? next.substr(next.size() - 2) : next;
        r.NextShown = head + L":" + tail;
    }
    return r;
}

int ClampInterval(int minutes) {
    return minutes <= 0 ? 120 : minutes > 720 ? 720 : minutes;
}

int ClampRestTime(int minutes) {
    return minutes <= 0 ? 5 : minutes > 240 ? 240 : minutes;
}

bool WriteRestSettings(TIniFile& ini, int interval, int restTime, std::wstring* nextShown) {
    interval = ClampInterval(interval);
    restTime = ClampRestTime(restTime);
    const TDateTime next = Now().AddSeconds(int64_t(interval) * 60);
    wchar_t hhnn[8];
    std::swprintf(hhnn, 8, L"%.2d%.2d", next.Hour, next.Minute);
    ini.NormalizeAttributes();
    const bool ok = ini.WriteInteger(kEye, keys::kInterval, interval) && ini.WriteInteger(kEye, keys::kRestTime, restTime) &&
                    ini.WriteString(kEye, keys::kNext, hhnn);
    if (ok && nextShown) *nextShown = FormatHHNN(next);
    return ok;
}

bool WriteRestRun(TIniFile& ini, bool on) {
    ini.NormalizeAttributes();
    return ini.WriteBool(kEye, keys::kRun, on);
}

bool WriteEyeProtectionFlag(TIniFile& ini, bool on) {
    ini.NormalizeAttributes();
    return ini.WriteString(kGeneral, keys::kSetEyeProtection, on ? L"true" : L"false");
}

// ---------------------------------------------------------------- lists

std::vector<int> NumberedSections(const std::vector<std::wstring>& names, const std::wstring& prefix, long long limit) {
    std::vector<int> numbers;
    const std::wstring lowerPrefix = base::LowerCase(prefix);
    for (const std::wstring& name : names) {
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 10) continue;
        if (base::LowerCase(name.substr(0, prefix.size())) != lowerPrefix) continue;
        const std::wstring digits = name.substr(prefix.size());
        uint64_t n = 0;
        if (digits[0] == L'0' || !base::ParseDigits(digits, n)) continue;
        // Ten digits at most: the number fits.
        if (n >= 1 && static_cast<long long>(n) <= limit) numbers.push_back(static_cast<int>(n));
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

TReminderRead ReadTimerAlerts(const TIniFile& ini) {
    TReminderRead read;
    const protocol::ListReading reading = SettingsReading(ini);
    read.OldCount = ini.ReadInteger(kGeneral, keys::kReminderCount, 0);
    for (int n : NumberedSections(ini.SectionNames(), kReminderPrefix, read.OldCount)) {
        const std::wstring section = SectionName(kReminderPrefix, n);
        if (!ini.SectionExists(section.c_str())) continue;
        TTimerAlertInfo info = protocol::ReadReminderSection(reading, section.c_str());
        info.LastSetDate = NormalDate(info.LastSetDate);
        info.Time = NormalTime(WithoutDashes(info.Time));
        if (info.Repeat == kRepeatOnce) {
            if (Expired(info.LastSetDate, info.Time)) info.State = kStateExpired;
            else info.State = info.State != 0 ? kStateActive : kStatePaused;
        } else if (info.State != kStateActive) {
            info.State = kStatePaused;
        }
        read.List.push_back(info);
    }
    return read;
}

TShutDownRead ReadShutDowns(const TIniFile& ini) {
    TShutDownRead read;
    const protocol::ListReading reading = SettingsReading(ini);
    if (ini.SectionExists(kShutDownPrefix)) {
        TShutDownAlertInfo info = protocol::ReadShutDownSection(reading, kShutDownPrefix);
        info.Time = NormalTime(WithoutDashes(info.Time));
        info.LastSetDate = NormalDate(info.LastSetDate);
        // The older layout had no State: it only held the shutdown in force,
        // so a future one-time entry stays in force.
        if (info.Repeat != kRepeatOnce) info.State = kStateActive;
        else info.State = Expired(info.LastSetDate, info.Time) ? kStateExpired : kStateActive;
        read.List.push_back(info);
        read.HadUnnumbered = true;
    }
    read.StoredCount = ini.ReadInteger(kGeneral, keys::kShutDownCount, 0);
    for (int n : NumberedSections(ini.SectionNames(), kShutDownPrefix, read.StoredCount)) {
        const std::wstring section = SectionName(kShutDownPrefix, n);
        if (!ini.SectionExists(section.c_str())) continue;
        TShutDownAlertInfo info = protocol::ReadShutDownSection(reading, section.c_str());
        info.Time = NormalTime(info.Time);
        info.LastSetDate = NormalDate(info.LastSetDate);
        if (info.Repeat == kRepeatOnce) {
            if (Expired(info.LastSetDate, info.Time)) info.State = kStateExpired;
            else if (info.State != 0) info.State = kStateActive;
        } else if (info.State != kStateActive && info.State != kStateExpired) {
            // A state of no known meaning would show a button that does
            // nothing: it counts as paused, which the user can resume.
            info.State = kStatePaused;
        }
        read.List.push_back(info);
    }
    read.OldCount = static_cast<int>(read.List.size());
    return read;
}

bool SaveTimerAlertSections(TIniFile& ini, const std::vector<TTimerAlertInfo>& list, int& oldCount) {
    return SaveSections(ini, kReminderPrefix, keys::kReminderCount, list, oldCount,
                        [&ini](const std::wstring& s, const TTimerAlertInfo& e) {
                            return protocol::WriteReminderSection(ValueWriter(ini), s.c_str(), e);
                        });
}

bool SaveShutDownSections(TIniFile& ini, const std::vector<TShutDownAlertInfo>& list, int& oldCount) {
    return SaveSections(ini, kShutDownPrefix, keys::kShutDownCount, list, oldCount,
                        [&ini](const std::wstring& s, const TShutDownAlertInfo& e) {
                            return protocol::WriteShutDownSection(ValueWriter(ini), s.c_str(), e);
                        });
}

bool EraseUnnumberedShutDown(TIniFile& ini) {
    if (!ini.SectionExists(kShutDownPrefix)) return true;
    return ini.EraseSection(kShutDownPrefix);
}

bool MigrateSettings() {
    const std::wstring path = SettingsFilePath();
    if (path.empty()) {
        base::LogLine(L"settings migration", L"the data folder is unknown; nothing migrated");
        return false;
    }
    TIniFile ini(path);
    return MigrateSettingsFile(ini);
}

bool MigrateSettingsFile(TIniFile& ini) {
    if (!ini.FileExists()) return true;
    ini.NormalizeAttributes();
    if (ini.SectionExists(kEye) && ini.ReadBool(kEye, keys::kRun, false) && !ini.ValueExists(kEye, keys::kInterval)) {
        if (!ini.WriteInteger(kEye, keys::kInterval, 120) || !ini.WriteInteger(kEye, keys::kRestTime, 5)) return false;
    }
    TShutDownRead read = ReadShutDowns(ini);
    int oldCount = read.StoredCount > 0 && read.OldCount > 0 ? read.OldCount : 0;
    if (!SaveShutDownSections(ini, read.List, oldCount)) return false;
    return !read.HadUnnumbered || EraseUnnumberedShutDown(ini);
}

// ---------------------------------------------------------------- registry

std::wstring CorvalleRunValue(const std::wstring& folder) {
    return protocol::CompanionRunValue(folder);
}

std::wstring AutorunValue(const std::wstring& folder) {
    return protocol::AutorunRunValue(folder);
}

bool LoadAutorunState(const std::wstring& folder) {
    base::RegKey key;
    if (OpenRunKey(key) != ERROR_SUCCESS) return false;
    std::wstring value;
    if (!base::ReadRegText(key.Get(), kRunValueName, value)) return false;
    if (::lstrcmpiW(value.c_str(), CorvalleRunValue(folder).c_str()) == 0) {
        if (!base::WriteRegText(key.Get(), kRunValueName, AutorunValue(folder)))
            base::LogFailedCall(kRunValuePlace, L"RegSetValueExW");
        return true;
    }
    return ::lstrcmpiW(value.c_str(), AutorunValue(folder).c_str()) == 0;
}

bool WriteAutorun(const std::wstring& folder, bool on) {
    base::RegKey key;
    const LONG opened = OpenRunKey(key);
    if (opened != ERROR_SUCCESS) {
        // A key that cannot be opened for writing still counts as done when
        // it holds no value to delete.
        base::RegKey readOnly;
        std::wstring value;
        const bool done =
            !on &&
            (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, RegAccess(KEY_READ), readOnly.Put()) != ERROR_SUCCESS ||
             !base::ReadRegText(readOnly.Get(), kRunValueName, value));
        if (!done) base::LogFailedCall(kRunValuePlace, L"RegOpenKeyExW", static_cast<DWORD>(opened));
        return done;
    }
    if (on) {
        if (base::WriteRegText(key.Get(), kRunValueName, AutorunValue(folder))) return true;
        base::LogFailedCall(kRunValuePlace, L"RegSetValueExW");
        return false;
    }
    const LONG rc = ::RegDeleteValueW(key.Get(), kRunValueName);
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return true;
    base::LogFailedCall(kRunValuePlace, L"RegDeleteValueW", static_cast<DWORD>(rc));
    return false;
}

void SetWindowColor(COLORREF color) {
    base::RegKey key;
    const LONG opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, kColorsKey, 0, RegAccess(KEY_WRITE), key.Put());
    if (opened == ERROR_SUCCESS) {
        wchar_t text[32];
        std::swprintf(text, 32, L"%d %d %d", GetRValue(color), GetGValue(color), GetBValue(color));
        if (!base::WriteRegText(key.Get(), L"Window", text)) base::LogFailedCall(kColorPlace, L"RegSetValueExW");
    } else {
        base::LogFailedCall(kColorPlace, L"RegOpenKeyExW", static_cast<DWORD>(opened));
    }
    const INT element = COLOR_WINDOW;
    if (!::SetSysColors(1, &element, &color)) base::LogFailedCall(kColorPlace, L"SetSysColors");
}

bool IsEyeProtectionColorOn() {
    return ::GetSysColor(COLOR_WINDOW) == kEyeProtectionColor;
}

}  // namespace settings
