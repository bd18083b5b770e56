#include "plugins/setup/uninstall_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "winlib/handles.h"

bool SaveShortcut(const std::wstring& linkPath, const ShortcutSpec& shortcut) {
    winlib::ComScope com;
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return false;
    bool saved = false;
    if (SUCCEEDED(link->SetPath(shortcut.target.c_str())) && SUCCEEDED(link->SetArguments(shortcut.arguments.c_str())) &&
        SUCCEEDED(link->SetWorkingDirectory(shortcut.workingFolder.c_str())) &&
        SUCCEEDED(link->SetDescription(L"")) && SUCCEEDED(link->SetIconLocation(shortcut.iconPath.c_str(), 0))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
            file->Release();
        }
    }
    link->Release();
    return saved;
}
