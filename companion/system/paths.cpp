#include "companion/system/paths.h"

#include <windows.h>
#include <sys/stat.h>
#include <direct.h>

#include <vector>

#include "base/app_paths.h"
#include "base/module_path.h"
#include "companion/system/text_utils.h"
#include "protocol/program_names.h"

namespace companion {

namespace {

// The registered folder, by the one App Paths rule (base/app_paths.h): a
// library is loaded from it, so anything doubtful counts as missing.
bool ReadRegisteredProductDir(std::wstring& dir) {
    dir = base::ReadTarviskFolder();
    if (dir.empty()) return false;
    if (dir.back() != L'\\') dir.push_back(L'\\');
    return true;
}

}  // namespace

bool GetExeDir(std::wstring& dir) {
    const std::wstring folder = base::ModuleFolder();
    if (folder.empty()) return false;
    dir = folder;
    return true;
}

int GetPathType(const wchar_t* path) {
    if (!path) return 0;
    std::wstring text(path);
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return 0;
    text.erase(0, first);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\\')) text.pop_back();
    if (text.empty()) return 0;
    // "C:" alone names the current folder of the drive; the root is meant.
    if (text.size() == 2 && text[1] == L':') text.push_back(L'\\');

    struct _stat info {};
    if (::_wstat(text.c_str(), &info) != 0) return -1;
    if (info.st_mode & _S_IFREG) return 1;
    if (info.st_mode & _S_IFDIR) return 2;
    return 0;
}

int GetTarviskDir(std::wstring& dir) {
    dir.clear();
    if (ReadRegisteredProductDir(dir)) return 0;
    dir.clear();

    std::wstring own;
    if (!GetExeDir(own)) return -1;
    if (GetPathType((own + protocol::kSecurityProgram).c_str()) == 1) {
        dir = own;
        return 0;
    }
    const std::wstring parent = ParentDir(own);
    if (!parent.empty() && GetPathType((parent + protocol::kSecurityProgram).c_str()) == 1) {
        dir = parent;
        return 0;
    }
    return -2;
}

std::wstring ParentDir(const std::wstring& dirWithSlash) {
    if (dirWithSlash.size() < 2) return std::wstring();
    const size_t cut = dirWithSlash.find_last_of(L'\\', dirWithSlash.size() - 2);
    if (cut == std::wstring::npos) return std::wstring();
    return dirWithSlash.substr(0, cut + 1);
}

bool GetTempDir(std::wstring& dir) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD len = ::GetTempPathW(MAX_PATH, buffer);
    if (len == 0 || len > MAX_PATH) return false;
    dir.assign(buffer, len);
    return true;
}

bool CreateDirectoryTree(const wchar_t* path) {
    if (!path) return false;
    const std::wstring text(path);
    std::vector<std::wstring> parts;
    if (SplitString(text, L"\\", parts) != 0 && SplitString(text, L"/", parts) != 0) return false;
    const bool unc = text.compare(0, 2, L"\\\\") == 0;
    std::wstring prefix = unc ? L"\\\\" : L"";
    for (size_t i = 0; i < parts.size(); ++i) {
        prefix += parts[i];
        // A drive ("C:") or a UNC server and share cannot be made and need not be.
        const bool root = (i == 0 && parts[i].size() == 2 && parts[i][1] == L':') || (unc && i < 2);
        if (!root && GetPathType(prefix.c_str()) != 2 && ::_wmkdir(prefix.c_str()) != 0) return false;
        prefix += L'\\';
    }
    return true;
}

}  // namespace companion
