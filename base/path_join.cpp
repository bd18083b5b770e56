#include "base/path_join.h"

#include <windows.h>

namespace base {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

bool IsFullyQualified(const std::wstring& path) {
    const wchar_t letter = path.empty() ? L'\0' : static_cast<wchar_t>(path[0] | 0x20);
    const bool drive = path.size() >= 3 && letter >= L'a' && letter <= L'z' && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
    // "\\?\" and "\\.\" are not servers but the device namespace: there a
    // root ("\\?\UNC\server\share", "\\.\GLOBALROOT\Device\...") looks like
    // any folder, and ".." is not resolved.
    const bool device = unc && (path[2] == L'?' || path[2] == L'.') && (path.size() == 3 || IsSeparator(path[3]));
    return drive || (unc && !device);
}

std::wstring JoinPath(const std::wstring& folder, const wchar_t* name) {
    if (!IsFullyQualified(folder) || !name || !*name || folder.size() >= MAX_PATH) return std::wstring();
    std::wstring path = folder;
    if (path.back() != L'\\') path += L'\\';
    path += name;
    return path.size() < MAX_PATH ? path : std::wstring();
}

}  // namespace base
