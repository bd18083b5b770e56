// The folders and files the setup utility works on. Every look-up gives an
// empty text when it fails or when the path would not fit 260 characters:
// a relative path would let a search find a planted library or write into
// the current folder, so callers skip their step on an empty path.
#pragma once

#include <string>

#include "base/path_join.h"

namespace setup {

// The manager's folder from the kernel, ending in "\"; only a fully
// qualified one (drive and "\", or UNC).
std::wstring ManagerFolder();
// HKLM App Paths "tarvisk.exe" value "Path", by base's one rule for it.
std::wstring SecurityFolder();
// The security folder + "Pellor\" + name.
std::wstring ManagerFile(const wchar_t* name);
// The user's application-data folder + name.
std::wstring AppDataFile(const wchar_t* name);
// "PellorandProxy.exe" in the host program's folder.
std::wstring ProxyProgram();
std::wstring DesktopFolder();
// A shell folder (CSIDL_...) as a full path; empty when there is none.
std::wstring ShellFolder(int csidl);
// The folder of the host program (the process's own executable).
std::wstring HostFolder();
// The system's temporary folder, ending in "\".
std::wstring TempFolder();

// folder + "\" + name, empty unless `folder` is a full path (base's one join helper).
using base::JoinPath;

// The folder part of a path with its trailing backslash, empty when it has
// no backslash (not checked: JoinPath refuses what is not fully qualified).
std::wstring FolderOf(const std::wstring& path);

}  // namespace setup
