// Corvalle.ini as the settings program reads and writes it: the ini-file
// object, the records of the two lists, their reading and rewriting rules,
// the migration of older layouts, and the two registry stores beside the
// file (the log-on Run value and the window colour).
//
// Every write reports failure as its result; nothing here throws.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/corvalle_ini.h"
#include "settings/model/DateTime.h"

namespace settings {

class TIniFile {
public:
    explicit TIniFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }

    std::wstring ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& def) const;
    // A value that is not a whole integer (decimal, or hex after "0x" or "$")
    // reads as the default.
    int ReadInteger(const wchar_t* section, const wchar_t* key, int def) const;
    bool ReadBool(const wchar_t* section, const wchar_t* key, bool def) const;
    bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value);
    bool WriteInteger(const wchar_t* section, const wchar_t* key, int value);
    bool WriteBool(const wchar_t* section, const wchar_t* key, bool value);  // "1" / "0"
    bool EraseSection(const wchar_t* section);
    bool EraseKey(const wchar_t* section, const wchar_t* key);
    // A section counts as present when it holds at least one key.
    bool SectionExists(const wchar_t* section) const;
    bool ValueExists(const wchar_t* section, const wchar_t* key) const;
    std::vector<std::wstring> SectionNames() const;
    bool FileExists() const;
    // Read-only or hidden must not stop a write.
    void NormalizeAttributes() const;

private:
    std::wstring path_;
};

// AppData\tarvisk\Corvalle.ini; empty when the data folder is unknown.
std::wstring SettingsFilePath();

// Texts of values read from the file. Values outside their range give the
// empty text: the file is shared and may hold anything.
std::wstring RepeatKindText(int kind, bool shutdown);
std::wstring ShutDownStyleText(int style);       // as in the editor's list
std::wstring ShutDownStyleShortName(int style);  // as in the list rows
// The editor's index for a value; out-of-range values give the editor's
// defaults ("每天", "正常关机").
int RepeatListIndex(int kind);
int StyleListIndex(int style);
// "每天" 1, "星期一到星期五" 2, "星期六到星期日" 3, anything else 0.
int RepeatKindFromText(const std::wstring& text);

using TTimerAlertInfo = protocol::ReminderEntry;
using TShutDownAlertInfo = protocol::ShutDownEntry;

// The moment a one-time entry is due: its day plus its time of day.
TDateTime DueMoment(const std::wstring& lastSetDate, const std::wstring& time);

struct TGeneralSettings {
    bool WiseHealthAlert = true;
    bool UseWiseAlertRing = false;
    std::wstring Ring;
    bool CustomWeather = false;
    std::wstring ProvinceCode;
    std::wstring CityCode;
};

struct TRestSettings {
    bool Run = false;
    int Interval = 120;
    int RestTime = 5;
    std::wstring NextShown = L"00:00";  // "HH:NN" of the stored "HHNN"
};

// "Media\chimes.wav" under %SystemRoot% when it exists, else empty.
std::wstring DefaultRing();

TGeneralSettings ReadGeneralSettings(const TIniFile& ini, const std::wstring& defaultRing);
bool WriteGeneralSettings(TIniFile& ini, const TGeneralSettings& settings);
// The general keys as the file holds them, absent ones as absent, so that a
// general save that cannot finish can put the file back as it was. A file
// that is there but could not be read tells nothing (Known false): the
// profile functions answer it as a file without the keys, which is no reason
// to erase them.
struct TStoredKey {
    const wchar_t* Key;
    bool Present;
    std::wstring Text;
};
struct TStoredGeneralKeys {
    bool Known = false;
    std::vector<TStoredKey> Keys;
};
TStoredGeneralKeys ReadGeneralKeys(const TIniFile& ini);
// Writes the present keys back and erases the absent ones; after a read that
// told nothing it leaves the file alone and returns false.
bool RestoreGeneralKeys(TIniFile& ini, const TStoredGeneralKeys& stored);
TRestSettings ReadRestSettings(const TIniFile& ini);
// The health page's limits: interval 1..720 minutes (0 or less gives 120),
// rest time 1..240 (0 or less gives 5).
int ClampInterval(int minutes);
int ClampRestTime(int minutes);
// Interval and rest time as the health page saves them: clamped, and the
// next rest `interval` minutes after now. `nextShown` gets "HH:NN".
bool WriteRestSettings(TIniFile& ini, int interval, int restTime, std::wstring* nextShown = nullptr);
bool WriteRestRun(TIniFile& ini, bool on);
bool WriteEyeProtectionFlag(TIniFile& ini, bool on);

// The numbers n of the sections "<prefix><n>" present in the file with
// 1 <= n <= limit, ascending. The count keys of the file are never looped
// over: a count of two thousand million costs nothing.
std::vector<int> NumberedSections(const std::vector<std::wstring>& names, const std::wstring& prefix, long long limit);

struct TReminderRead {
    std::vector<TTimerAlertInfo> List;
    int OldCount = 0;  // [vyn] TimerAlertCount as stored
};
TReminderRead ReadTimerAlerts(const TIniFile& ini);

struct TShutDownRead {
    std::vector<TShutDownAlertInfo> List;
    int OldCount = 0;             // entries read, the unnumbered one included
    bool HadUnnumbered = false;   // the older single-entry section was there
    int StoredCount = 0;          // [vyn] TimeShutDownCount as stored
};
TShutDownRead ReadShutDowns(const TIniFile& ini);

// The list save rule: erase the old sections 1..oldCount, write the count,
// write the entries in order. On success oldCount becomes the list's length;
// after a failure it covers every section this attempt may have written, so
// a retry from the same lists erases them all.
bool SaveTimerAlertSections(TIniFile& ini, const std::vector<TTimerAlertInfo>& list, int& oldCount);
bool SaveShutDownSections(TIniFile& ini, const std::vector<TShutDownAlertInfo>& list, int& oldCount);
// The older single-entry shutdown section, erased only once its numbered
// copy has been written.
bool EraseUnnumberedShutDown(TIniFile& ini);

// "init": fills in the rest defaults of old files and folds the older
// shutdown layout into the numbered one. False when something failed (the
// caller stays silent).
bool MigrateSettings();
bool MigrateSettingsFile(TIniFile& ini);

// The log-on value: "\"<folder>Corvalle.exe\" autorun" in the settings
// program's form, the quoted path alone in Corvalle's.
std::wstring AutorunValue(const std::wstring& folder);
std::wstring CorvalleRunValue(const std::wstring& folder);
// Reads the box state, rewriting Corvalle's own form into ours on the way.
bool LoadAutorunState(const std::wstring& folder);
// Writes (on) or deletes (off) the value; the Run key is never created.
// False when the value could not be written, or is still there to delete.
bool WriteAutorun(const std::wstring& folder, bool on);

// HKCU\Control Panel\Colors "Window" and the live system colour.
void SetWindowColor(COLORREF color);
bool IsEyeProtectionColorOn();

}  // namespace settings
