#include "plugins/setup/desktop_shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_text.h"
#include "plugins/setup/uninstall_shortcut.h"
#include "base/handles.h"

namespace setup {

std::vector<std::wstring> DesktopLinks(const std::wstring& desktop) {
    std::vector<std::wstring> names;
    const std::wstring pattern = JoinPath(desktop, L"*.lnk");
    if (pattern.empty()) return names;
    WIN32_FIND_DATAW found = {};
    base::FindHandle search(::FindFirstFileW(pattern.c_str(), &found));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (::FindNextFileW(search.Get(), &found));
    return names;
}

namespace {

std::wstring Normalised(const std::wstring& path) { return UpperCase(TrimSpace(path)); }

}  // namespace

bool ReadShortcut(const wchar_t* linkPath, std::wstring* target, std::wstring* arguments) {
    if (!linkPath) return false;
    base::ComScope com;
    base::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
        return false;
    base::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return false;
    // One spare character for each text: one that fills its buffer was cut,
    // and a cut target could equal another program's path.
    wchar_t path[MAX_PATH + 1] = {};
    wchar_t args[MAX_PATH + 1] = {};
    if (FAILED(file->Load(linkPath, STGM_READ)) || FAILED(link->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH)) ||
        link->GetPath(path, MAX_PATH + 1, nullptr, SLGP_UNCPRIORITY) != S_OK ||
        (arguments && FAILED(link->GetArguments(args, MAX_PATH + 1))))
        return false;
    path[MAX_PATH] = L'\0';
    args[MAX_PATH] = L'\0';
    if (wcslen(path) >= MAX_PATH || wcslen(args) >= MAX_PATH) return false;
    *target = path;
    if (arguments) *arguments = args;
    return true;
}

std::wstring ResolveShortcutTarget(const wchar_t* linkPath) {
    std::wstring target;
    return ReadShortcut(linkPath, &target, nullptr) ? target : std::wstring();
}

void DeleteDesktopShortcutsTo(const wchar_t* targetPath) {
    if (!targetPath || !targetPath[0]) return;
    const std::wstring wanted = Normalised(targetPath);
    if (wanted.empty()) return;
    const std::wstring desktop = DesktopFolder();
    for (const std::wstring& name : DesktopLinks(desktop)) {
        const std::wstring path = JoinPath(desktop, name.c_str());
        if (path.empty()) continue;
        if (Normalised(ResolveShortcutTarget(path.c_str())) == wanted) ::DeleteFileW(path.c_str());
    }
}

bool CreateShortcut(const std::wstring& folder, const wchar_t* name, const std::wstring& target,
                    const wchar_t* arguments, const std::wstring& iconPath) {
    const std::wstring linkPath = JoinPath(folder, name);
    if (linkPath.empty() || target.empty()) return false;
    std::vector<wchar_t> targetFolder(target.begin(), target.end());
    targetFolder.push_back(L'\0');
    ::PathRemoveFileSpecW(targetFolder.data());
    return SaveShortcut(linkPath, ShortcutSpec{target, arguments ? arguments : L"", targetFolder.data(), iconPath});
}

void ReplaceGameCentreShortcut(const wchar_t* programPath) {
    static const wchar_t kName[] = L"Zub游戏中心.lnk";
    if (!programPath || TrimSpace(programPath).empty()) return;
    const std::wstring desktop = DesktopFolder();
    const std::wstring manager = ManagerFile(L"Pellorand.exe");
    const std::wstring icon = ManagerFile(L"Tolvane.ico");
    if (manager.empty() || icon.empty()) return;
    for (const std::wstring& name : DesktopLinks(desktop)) {
        // Exact: another spelling of the name is not the game centre's link.
        if (std::wcscmp(name.c_str(), kName) != 0) continue;
        // Saving replaces the old link only once the new one is whole.
        CreateShortcut(desktop, kName, manager, L"page=14", icon);
        return;
    }
}

}  // namespace setup
