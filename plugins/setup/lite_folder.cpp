#include "plugins/setup/lite_folder.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "plugins/setup/setup_folders.h"

namespace setup {

namespace {

constexpr FILEOP_FLAGS kQuietCopy = 0x614;  // silent, no confirmation, no error dialog

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The shell reads both paths as lists ending in an empty entry.
std::vector<wchar_t> PathList(const std::wstring& path) {
    std::vector<wchar_t> list(path.begin(), path.end());
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

void CopyFolderInto(const std::wstring& source, const std::wstring& destination) {
    std::vector<wchar_t> from = PathList(source);
    std::vector<wchar_t> to = PathList(destination);
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_COPY;
    operation.pFrom = from.data();
    operation.pTo = to.data();
    operation.fFlags = kQuietCopy;
    ::SHFileOperationW(&operation);
}

}  // namespace

void RestoreLiteFolder() {
    const std::wstring kept = JoinPath(TempFolder(), L"ZubPellorLite");
    if (kept.empty() || !IsFolder(kept)) return;
    const std::wstring destination = AppDataFile(L"tarvisk");
    if (destination.empty()) return;
    if (!IsFolder(destination)) ::SHCreateDirectory(nullptr, destination.c_str());
    const std::wstring restored = JoinPath(destination, L"ZubPellorLite");
    if (restored.empty() || ::PathFileExistsW(restored.c_str())) return;
    CopyFolderInto(kept, destination);
}

void SaveLiteFolder() {
    const std::wstring lite = AppDataFile(L"tarvisk\\ZubPellorLite");
    const std::wstring temp = TempFolder();
    if (lite.empty() || temp.empty() || !IsFolder(lite)) return;
    CopyFolderInto(lite, temp);
}

}  // namespace setup
