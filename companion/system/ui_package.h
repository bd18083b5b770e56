// The skin package "halvet.ui" (a zip archive beside Corvalle.exe) is
// unpacked into the user's data folder at every start, before anything reads
// the pictures, Actions.ini or vynPop.xml.
#pragma once

#include <functional>
#include <string>

namespace companion {

// Shows one failure of the installation to the user (a message box in the
// program, recorded in tests).
using PackageFailureReport = std::function<void(const wchar_t* text)>;
void ShowPackageFailure(const wchar_t* text);

// Unpacks the package into "<AppData>\tarvisk\vyn\" (trying once more after
// emptying the old folder) and checks that Actions.ini arrived.
bool InstallUiPackage(const PackageFailureReport& report = ShowPackageFailure);
// As above, from a given archive into a given data folder (ending in '\').
bool InstallUiPackageFrom(const std::wstring& archive, const std::wstring& dataDir,
                          const PackageFailureReport& report);

// True only when every entry was written below `targetDir` and the end of the
// archive was reached. Entries that would land outside the folder fail it.
bool UnzipToDir(const std::wstring& archive, const std::wstring& targetDir);

// Deletes every file below `folder` (the folders stay); links are removed
// themselves, never followed. 0 when the path is too short or cannot be
// listed, else 1.
int WipeFolder(const std::wstring& folder);

// Removes every junction or symbolic link below `folder` (the link itself,
// never what it leads to). False when one could not be removed.
bool RemoveLinksUnder(const std::wstring& folder);
// Removes the link at `path` itself; false when `path` cannot be opened as
// the link itself (then nothing is touched).
bool RemoveLink(const std::wstring& path);

// Whether a zip entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const std::wstring& name);

}  // namespace companion
