#include "companion/system/desktop_shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "companion/system/paths.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr wchar_t kShortcutName[] = L"ZubVynmar.lnk";

}  // namespace

int ShellLinkCreate(const wchar_t* target, const wchar_t* shortcut) {
    if (!target || !shortcut || !*target || !*shortcut) return -5;
    if (GetPathType(target) != 1) return -4;
    if (GetPathType(shortcut) == 1) return 0;

    base::ComScope com;
    if (!com.Ok()) return -1;
    base::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER |
                                                                CLSCTX_REMOTE_SERVER,
                                  IID_IShellLinkW, link.PutVoid())))
        return -2;
    if (FAILED(link->SetPath(target))) return -3;
    base::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return -3;
    if (FAILED(file->Save(shortcut, FALSE))) {
        // A shortcut cut off half-way would count as "already there" next time.
        ::DeleteFileW(shortcut);
        return -3;
    }
    return 0;
}

std::wstring DesktopShortcutPath() {
    wchar_t desktop[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE)) return std::wstring();
    std::wstring path(desktop);
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
    return path + kShortcutName;
}

}  // namespace companion
