#include "companion/system/shared_settings.h"

#include "base/app_data_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <cwctype>
#include <cstdlib>
#include <vector>

#include "base/log.h"
#include "base/numbers.h"
#include "protocol/corvalle_ini.h"
#include "protocol/program_names.h"

namespace companion {

namespace {

constexpr wchar_t kTestSwitchFile[] = L"c:\\vyntest.ini";
constexpr DWORD kValueCapacity = 1024;

std::wstring WithTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
    return path;
}

std::wstring ReadProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key) {
    std::vector<wchar_t> buffer(kValueCapacity, L'\0');
    ::GetPrivateProfileStringW(section, key, L"", buffer.data(), kValueCapacity, file);
    return std::wstring(buffer.data());
}

}  // namespace

SharedSettings& SharedSettings::Instance() {
    static SharedSettings settings;
    return settings;
}

bool GetAppDataDir(std::wstring& path) {
    const std::wstring folder = base::AppDataFolder(base::AppDataFallback::kExpandedVariable);
    if (folder.empty()) return false;
    path = WithTrailingBackslash(folder);
    return true;
}

std::wstring ConfigFilePath() {
    std::wstring dir;
    if (!GetAppDataDir(dir)) return std::wstring();
    return dir + protocol::kSettingsFileRelativePath;
}

namespace {

int ReadIniString(const std::wstring& file, std::wstring& value, const wchar_t* section, const wchar_t* key) {
    value.clear();
    if (!section || !key || file.empty()) return -1;
    value = ReadProfileText(file.c_str(), section, key);
    return value.empty() ? -2 : 0;
}

}  // namespace

int ReadConfigString(std::wstring& value, const wchar_t* section, const wchar_t* key) {
    return ReadIniString(ConfigFilePath(), value, section, key);
}

std::wstring ActionFilePath() {
    std::wstring dir;
    if (!GetAppDataDir(dir)) return std::wstring();
    return protocol::SkinFolderIn(dir) + protocol::kActionFileName;
}

int ReadActionString(std::wstring& value, const wchar_t* section, const wchar_t* key) {
    return ReadIniString(ActionFilePath(), value, section, key);
}

int WriteConfigString(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    if (!section || !key || !value) return -1;
    const std::wstring where = std::wstring(L"Corvalle.ini [") + section + L"] " + key;
    const std::wstring file = ConfigFilePath();
    if (file.empty()) {
        base::LogLine(where, L"the data folder is unknown; not saved");
        return -1;
    }
    if (::WritePrivateProfileStringW(section, key, value, file.c_str())) return 0;
    base::LogFailedCall(where.c_str(), L"WritePrivateProfileStringW");
    return -2;
}

bool IsEqual(const std::wstring& value, const wchar_t* text) {
    return text != nullptr && value == text;
}

int32_t ToInt(const std::wstring& text) {
    return base::LeadingInteger(text);
}

void ReadGeneralConfig(SharedSettings& settings) {
    namespace ini = protocol::ini;
    std::wstring value;
    // Missing or empty means the alerts were never switched off.
    settings.WiseHealthAlert = ReadConfigString(value, ini::kGeneral, ini::kWiseHealthAlert) != 0 ||
                               ToInt(value) != 0;
    settings.TestMode = IsEqual(ReadProfileText(kTestSwitchFile, L"vyntest", L"value"), L"on");
    ReadConfigString(value, ini::kGeneral, ini::kUseWiseAlertRing);
    settings.UseWiseAlertRing = IsEqual(value, L"1");
    ReadConfigString(value, ini::kGeneral, ini::kRing);
    settings.Ring.Set(value);
    ReadConfigString(value, ini::kGeneral, ini::kCustomWeather);
    settings.CustomWeather = IsEqual(value, L"1");
    ReadConfigString(value, ini::kGeneral, ini::kCityCode);
    settings.CityCode.Set(value);
}

void ReadEyeConfig(SharedSettings& settings) {
    namespace ini = protocol::ini;
    std::wstring value;
    ReadConfigString(value, ini::kEye, ini::kRun);
    settings.EyeRun = IsEqual(value, L"1");
    ReadConfigString(value, ini::kEye, ini::kNext);
    settings.EyeNext.Set(value);
    ReadConfigString(value, ini::kEye, ini::kRestTime);
    settings.RestTime = ToInt(value);
    ReadConfigString(value, ini::kEye, ini::kInterval);
    settings.Interval = ToInt(value);
}

std::vector<std::wstring> ConfigSectionNames() {
    std::vector<std::wstring> names;
    const std::wstring file = ConfigFilePath();
    if (file.empty()) return names;
    // The call cuts the list short when the buffer is too small; grow until it fits.
    for (DWORD size = 4096; size <= (1u << 24); size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        const DWORD len = ::GetPrivateProfileSectionNamesW(buffer.data(), size, file.c_str());
        if (len + 2 >= size) continue;
        for (const wchar_t* p = buffer.data(); *p; p += std::wcslen(p) + 1) {
            std::wstring name(p);
            for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
            names.push_back(std::move(name));
        }
        break;
    }
    return names;
}

}  // namespace companion
