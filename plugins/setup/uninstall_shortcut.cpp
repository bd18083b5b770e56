#include "plugins/setup/uninstall_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "plugins/setup/setup_folders.h"
#include "base/handles.h"

namespace setup {

namespace {

bool SaveLinkFile(const std::wstring& linkPath, const ShortcutSpec& shortcut) {
    base::ComScope com;
    base::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
        return false;
    if (FAILED(link->SetPath(shortcut.target.c_str())) || FAILED(link->SetArguments(shortcut.arguments.c_str())) ||
        FAILED(link->SetWorkingDirectory(shortcut.workingFolder.c_str())) || FAILED(link->SetDescription(L"")) ||
        FAILED(link->SetIconLocation(shortcut.iconPath.c_str(), 0)))
        return false;
    base::ComPtr<IPersistFile> file;
    return SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) &&
           SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

}  // namespace

bool SaveShortcut(const std::wstring& linkPath, const ShortcutSpec& shortcut) {
    // Saved whole beside the link first: a save that fails half-way (the
    // shell-link object may delete what it could not finish) never costs the
    // link it was to replace.
    const std::wstring folder = FolderOf(linkPath);
    wchar_t fresh[MAX_PATH] = {};
    if (folder.empty() || folder.size() >= MAX_PATH - 14 || !::GetTempFileNameW(folder.c_str(), L"~lk", 0, fresh))
        return false;
    const bool saved =
        SaveLinkFile(fresh, shortcut) && ::MoveFileExW(fresh, linkPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!saved) ::DeleteFileW(fresh);
    return saved;
}

}  // namespace setup
