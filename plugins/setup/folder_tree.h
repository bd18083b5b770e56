// Removing a web app's folder. The folders come from the app-centre
// library's records, so the path is refused unless it is fully qualified
// (drive and "\", or UNC), then made full and refused when it is a drive
// root or too long; links inside the tree (junctions, symbolic links) are
// removed themselves, never followed.
#pragma once

#include <string>

namespace setup {

using LockedFileHandler = void (*)(const wchar_t* path);

// False when the folder was refused; otherwise every entry was tried and a
// file that could not be deleted was handed to `onLockedFile`.
bool RemoveFolderTree(const wchar_t* folder, LockedFileHandler onLockedFile);
// Deletes the file at the next restart.
void ScheduleDeleteOnReboot(const wchar_t* path);
// RemoveFolderTree with ScheduleDeleteOnReboot, then one more on the shared
// web-app counter.
void RemoveWebAppFolder(const wchar_t* folder);

}  // namespace setup
