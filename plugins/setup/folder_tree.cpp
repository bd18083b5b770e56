#include "plugins/setup/folder_tree.h"

#include <windows.h>
#include <shlwapi.h>

#include "base/path_join.h"
#include "plugins/setup/web_app_counter.h"
#include "base/handles.h"

namespace setup {

namespace {

// The full form of `folder` without a trailing backslash; empty when it
// must not be removed. Only a fully qualified path is resolved: "C:",
// "C:name" and "\\name" name places under the current folder or drive.
std::wstring SafeFolder(const wchar_t* folder) {
    if (!folder || !base::IsFullyQualified(folder)) return std::wstring();
    wchar_t full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(folder, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring path(full, length);
    // Resolving can itself lead into the device namespace ("C:\x\con").
    if (!base::IsFullyQualified(path)) return std::wstring();
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    // A root is refused in every spelling: "C:", "C:\", "\\server\share".
    if (path.size() < 3 || ::PathIsRootW((path + L"\\").c_str()) || ::PathIsRootW(path.c_str()))
        return std::wstring();
    if (path.size() + 1 >= MAX_PATH) return std::wstring();
    return path;
}

void RemoveTree(const std::wstring& folder, LockedFileHandler onLockedFile) {
    const std::wstring pattern = folder + L"\\*.*";
    if (pattern.size() < MAX_PATH) {
        WIN32_FIND_DATAW found = {};
        base::FindHandle search(::FindFirstFileW(pattern.c_str(), &found));
        if (search) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = folder + L"\\" + name;
                if (path.size() >= MAX_PATH) continue;
                const DWORD attributes = found.dwFileAttributes;
                if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                    // A link to a folder goes, its target stays.
                    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveTree(path, onLockedFile);
                    ::RemoveDirectoryW(path.c_str());
                } else if (!::DeleteFileW(path.c_str()) && onLockedFile) {
                    onLockedFile(path.c_str());
                }
            } while (::FindNextFileW(search.Get(), &found));
        }
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

bool RemoveFolderTree(const wchar_t* folder, LockedFileHandler onLockedFile) {
    const std::wstring path = SafeFolder(folder);
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        ::RemoveDirectoryW(path.c_str());
        return true;
    }
    RemoveTree(path, onLockedFile);
    return true;
}

void ScheduleDeleteOnReboot(const wchar_t* path) {
    if (path) ::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void RemoveWebAppFolder(const wchar_t* folder) {
    RemoveFolderTree(folder, &ScheduleDeleteOnReboot);
    IncrementWebAppCounter();
}

}  // namespace setup
