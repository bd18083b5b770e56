// The names by which the programs find each other: program files, the shared
// settings file, the log-on Run value, and the window classes and named
// objects that one program looks up in another.
#pragma once

#include <windows.h>

#include <string>

namespace protocol {

// The programs, side by side in one folder.
constexpr wchar_t kCompanionProgram[] = L"Corvalle.exe";
constexpr wchar_t kSettingsProgram[] = L"Mirelo.exe";
constexpr wchar_t kPlayerProgram[] = L"Piravel.exe";

// The shared settings file, under the user's roaming application-data folder.
constexpr wchar_t kSettingsFileName[] = L"Corvalle.ini";
constexpr wchar_t kSettingsFileRelativePath[] = L"tarvisk\\Corvalle.ini";
// `dataFolder` with or without its trailing backslash; empty stays empty.
std::wstring SettingsFileIn(const std::wstring& dataFolder);

// HKCU ...\Run: the value that starts Corvalle at log-on. Mirelo writes it
// with the autorun switch, Corvalle without; both delete it.
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Corvalle";
// "\"<folder>Corvalle.exe\"" (Corvalle's own form), and the same followed by
// " autorun" (Mirelo's form). `folder` ends in a backslash.
std::wstring CompanionRunValue(const std::wstring& folder);
std::wstring AutorunRunValue(const std::wstring& folder);

// Window classes that another program looks for by name.
constexpr wchar_t kCompanionWindowClass[] = L"Corvalle";
constexpr wchar_t kSettingsWindowClass[] = L"TFormCorvalleOption";

// Named objects: Corvalle's single-instance mutex; Mirelo's per-argument one
// is this prefix followed by its command-line argument.
constexpr wchar_t kCompanionMutex[] = L"Corvalle_Single";
constexpr wchar_t kSettingsMutexPrefix[] = L"CorvalleOption_MUTEX_NEW";

}  // namespace protocol
