// Paths of the companion and of the security product it sits beside.
#pragma once

#include <string>

namespace companion {

// Folder of Corvalle.exe, ending in '\'.
bool GetExeDir(std::wstring& dir);

// The temporary folder as the system gives it (ending in '\'); false when it
// cannot be had or does not fit a path.
bool GetTempDir(std::wstring& dir);

// Creates every missing folder of `path`; false when a prefix cannot be made,
// or the path is null or has no separator.
bool CreateDirectoryTree(const wchar_t* path);

// 1 a file, 2 a folder, -1 the path cannot be queried, 0 anything else
// (also a null or empty path). Blanks around the path and trailing '\' are
// ignored.
int GetPathType(const wchar_t* path);

// The security product's folder, ending in '\': 0 found; -2 not found (the
// result is empty); -1 Corvalle's own folder is unknown.
int GetTarviskDir(std::wstring& dir);

// The folder above `dirWithSlash` (ending in '\'); empty when there is none.
std::wstring ParentDir(const std::wstring& dirWithSlash);

}  // namespace companion
