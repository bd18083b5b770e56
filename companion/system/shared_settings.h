// The companion's process-wide copy of the Corvalle.ini values its reminder
// engine needs, and the small readers and writers of that file.
//
// The UI thread writes the record (at start-up and when the settings program
// announces a change); the detect thread reads it without waiting. Scalars are
// atomics; texts are swapped whole under a lock so a reader never sees half of
// an old path and half of a new one.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace companion {

struct WebIdentifyBinding;

class SharedText {
public:
    std::wstring Get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }
    void Set(std::wstring text) {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.swap(text);
    }

private:
    mutable std::mutex mutex_;
    std::wstring text_;
};

struct SharedSettings {
    std::atomic<bool> WiseHealthAlert{false};
    std::atomic<bool> TestMode{false};
    std::atomic<uint32_t> EyeClockStart{0};
    std::atomic<bool> EyeRun{false};
    SharedText EyeNext;
    std::atomic<int32_t> RestTime{0};
    std::atomic<int32_t> Interval{0};
    std::atomic<bool> UseWiseAlertRing{false};
    SharedText Ring;
    std::atomic<bool> CustomWeather{false};
    SharedText CityCode;
    std::atomic<int64_t> RestBegin{0};
    std::atomic<int64_t> RestEnd{0};
    std::atomic<bool> Autorun{false};
    std::atomic<WebIdentifyBinding*> WebIdentify{nullptr};

    // The one record of the process.
    static SharedSettings& Instance();
};

// The user's roaming application-data folder, always ending in '\'.
bool GetAppDataDir(std::wstring& path);

// Full path of Corvalle.ini; empty when the data folder cannot be found.
std::wstring ConfigFilePath();

// 0: value is non-empty; -2: empty or missing; -1: no path or a missing argument.
int ReadConfigString(std::wstring& value, const wchar_t* section, const wchar_t* key);
// 0: written; -2: the write failed; -1: no path or a missing argument.
int WriteConfigString(const wchar_t* section, const wchar_t* key, const wchar_t* value);

// Full path of the action file Actions.ini of the unpacked skin.
std::wstring ActionFilePath();
// As ReadConfigString, on Actions.ini.
int ReadActionString(std::wstring& value, const wchar_t* section, const wchar_t* key);

// Names of the sections that exist in Corvalle.ini, lower-cased (the
// profile functions ignore case).
std::vector<std::wstring> ConfigSectionNames();

// Reads the [vyn] general keys and the test switch into the record.
void ReadGeneralConfig(SharedSettings& settings = SharedSettings::Instance());
// Reads the [eye] rest keys into the record.
void ReadEyeConfig(SharedSettings& settings = SharedSettings::Instance());

// Exact comparison: equal over the length of `text` and `value` not longer.
bool IsEqual(const std::wstring& value, const wchar_t* text);

// The C library's decimal reading: leading digits, 0 when there are none.
int32_t ToInt(const std::wstring& text);

}  // namespace companion
