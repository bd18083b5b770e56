// The names by which the programs find each other: program files, the kernel
// library, the shared settings file, the skin package and its unpacked
// folder, Mirelo's command-line words, the log-on Run value, and the window
// classes and named objects that one program looks up in another.
#pragma once

#include <windows.h>

#include <string>

namespace protocol {

// The programs, side by side in one folder.
constexpr wchar_t kCompanionProgram[] = L"Corvalle.exe";
constexpr wchar_t kSettingsProgram[] = L"Mirelo.exe";
constexpr wchar_t kPlayerProgram[] = L"Piravel.exe";
// The maker's security product, beside or above Corvalle's folder.
constexpr wchar_t kSecurityProgram[] = L"Tarvisk.exe";
// The software manager's folder inside the security product's, and the
// manager's kernel library that Corvalle and the plug-ins load.
constexpr wchar_t kManagerFolderName[] = L"Pellor";
constexpr wchar_t kKernelLibrary[] = L"bexkernl.dll";

// The one word Corvalle starts Mirelo with: the page group it opens on, or
// one of its two windowless jobs.
constexpr wchar_t kSettingsPageGeneral[] = L"general";
constexpr wchar_t kSettingsPageEye[] = L"eye";
constexpr wchar_t kSettingsPageTimeAlert[] = L"timealert";
constexpr wchar_t kSettingsPageTimeShutdown[] = L"timeshutdown";
constexpr wchar_t kSettingsJobMigrate[] = L"init";
constexpr wchar_t kSettingsJobUninstall[] = L"uninstall";

// The shared settings file, under the user's roaming application-data folder.
constexpr wchar_t kSettingsFileName[] = L"Corvalle.ini";
constexpr wchar_t kSettingsFileRelativePath[] = L"tarvisk\\Corvalle.ini";
// `dataFolder` with or without its trailing backslash; empty stays empty.
std::wstring SettingsFileIn(const std::wstring& dataFolder);

// The skin package beside Corvalle.exe holds the folder kSkinFolderName; it
// is unpacked into kSkinParentRelativePath under the same data folder.
constexpr wchar_t kSkinPackageName[] = L"halvet.ui";
constexpr wchar_t kSkinParentRelativePath[] = L"tarvisk\\vyn\\";
constexpr wchar_t kSkinFolderName[] = L"halvet";
// The action file, in the skin folder.
constexpr wchar_t kActionFileName[] = L"Actions.ini";
// "<dataFolder>\tarvisk\vyn\halvet\" (with its trailing backslash), as
// SettingsFileIn.
std::wstring SkinFolderIn(const std::wstring& dataFolder);

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
