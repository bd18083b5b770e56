#include "companion/system/desktop_shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/handles.h"
#include "base/log.h"
#include "companion/system/paths.h"

namespace companion {

namespace {

constexpr wchar_t kShortcutName[] = L"ZubVynmar.lnk";

}  // namespace

int ShellLinkCreate(const wchar_t* target, const wchar_t* shortcut) {
    if (!target || !shortcut || !*target || !*shortcut) return -5;
    if (GetPathType(target) != 1) return -4;
    if (GetPathType(shortcut) == 1) return 0;

    const std::wstring where = std::wstring(L"shortcut ") + shortcut;
    base::ComScope com;
    if (!com.Ok()) {
        base::LogLine(where, L"COM cannot be started; not written");
        return -1;
    }
    base::ComPtr<IShellLinkW> link;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr,
                                    CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER, IID_IShellLinkW,
                                    link.PutVoid());
    if (FAILED(hr)) {
        base::LogFailedCall(where.c_str(), L"CoCreateInstance", static_cast<DWORD>(hr));
        return -2;
    }
    base::ComPtr<IPersistFile> file;
    if (FAILED(hr = link->SetPath(target)) || FAILED(hr = link->QueryInterface(IID_IPersistFile, file.PutVoid()))) {
        base::LogFailedCall(where.c_str(), L"IShellLinkW", static_cast<DWORD>(hr));
        return -3;
    }
    if (FAILED(hr = file->Save(shortcut, FALSE))) {
        base::LogFailedCall(where.c_str(), L"IPersistFile::Save", static_cast<DWORD>(hr));
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
