// Where a program or a DLL of ours lies: the folder its sibling programs,
// skins and logs are found in.
#pragma once

#include <windows.h>

#include <string>

namespace base {

// Room for the longest path the system allows.
constexpr DWORD kLongPathCapacity = 32768;

// The full file name of `module` (null: the program), or empty when it
// cannot be read or needs `capacity` characters or more with its terminator.
// Most callers keep to MAX_PATH because what they build from it goes into
// MAX_PATH buffers further on.
std::wstring ModuleFilePath(HMODULE module = nullptr, DWORD capacity = MAX_PATH);
// The folder of ModuleFilePath with a trailing backslash; empty when the
// path is empty or has no folder.
std::wstring ModuleFolder(HMODULE module = nullptr, DWORD capacity = MAX_PATH);

}  // namespace base
