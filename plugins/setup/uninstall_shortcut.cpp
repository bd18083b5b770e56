#include "plugins/setup/uninstall_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "plugins/setup/setup_folders.h"
#include "base/handles.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace {

bool SaveLinkFile(const std::wstring& linkPath, const ShortcutSpec& shortcut) {
    base::ComScope com;
    base::ComPtr<IShellLinkW> link;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr)) {
        LogFailure(linkPath.c_str(), L"CoCreateInstance(ShellLink)", static_cast<DWORD>(hr));
        return false;
    }
    if (FAILED(hr = link->SetPath(shortcut.target.c_str())) ||
        FAILED(hr = link->SetArguments(shortcut.arguments.c_str())) ||
        FAILED(hr = link->SetWorkingDirectory(shortcut.workingFolder.c_str())) ||
        FAILED(hr = link->SetDescription(L"")) || FAILED(hr = link->SetIconLocation(shortcut.iconPath.c_str(), 0))) {
        LogFailure(linkPath.c_str(), L"IShellLinkW", static_cast<DWORD>(hr));
        return false;
    }
    base::ComPtr<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.PutVoid())) ||
        FAILED(hr = file->Save(linkPath.c_str(), TRUE))) {
        LogFailure(linkPath.c_str(), L"IPersistFile::Save", static_cast<DWORD>(hr));
        return false;
    }
    return true;
}

}  // namespace

bool SaveShortcut(const std::wstring& linkPath, const ShortcutSpec& shortcut) {
    // Saved whole beside the link first: a save that fails half-way (the
    // shell-link object may delete what it could not finish) never costs the
    // link it was to replace.
    const std::wstring folder = FolderOf(linkPath);
    wchar_t fresh[MAX_PATH] = {};
    if (folder.empty() || folder.size() >= MAX_PATH - 14) {
        LogFailureLine(linkPath.c_str(), L"no folder a shortcut can be saved in");
        return false;
    }
    if (!::GetTempFileNameW(folder.c_str(), L"~lk", 0, fresh)) {
        LogFailure(linkPath.c_str(), L"GetTempFileNameW");
        return false;
    }
    bool saved = SaveLinkFile(fresh, shortcut);
    if (saved && !::MoveFileExW(fresh, linkPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        LogFailure(linkPath.c_str(), L"MoveFileExW");
        saved = false;
    }
    if (!saved) ::DeleteFileW(fresh);
    return saved;
}

}  // namespace setup
