#include "plugins/setup/privacy_protector.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/module_path.h"
#include "plugins/setup/desktop_shortcuts.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_module.h"
#include "plugins/setup/setup_text.h"
#include "base/handles.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace {

constexpr wchar_t kLinkName[] = L"Zub隐私保护器.lnk";
constexpr UINT kCloseCode = 517;

void DeleteLinkIn(const std::wstring& desktop, const std::wstring& program) {
    const std::wstring link = JoinPath(desktop, kLinkName);
    if (link.empty() || ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::wstring target = ResolveShortcutTarget(link.c_str());
    if (!target.empty() && UpperCase(TrimSpace(target)) == UpperCase(program)) ::DeleteFileW(link.c_str());
}

}  // namespace

std::wstring PrivacyProtectorFolder() {
    const std::wstring self = base::ModuleFilePath(LumvexModule());
    if (self.empty()) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    self.copy(path, MAX_PATH - 1);
    if (!::PathRemoveFileSpecW(path) || !::PathRemoveFileSpecW(path)) return std::wstring();
    std::wstring folder = JoinPath(path, L"Tarviskmon\\");
    return folder;
}

void RemovePrivacyProtector() {
    const std::wstring folder = PrivacyProtectorFolder();
    const std::wstring program = JoinPath(folder, L"ZubPrivacyCtrl.exe");
    const std::wstring settings = JoinPath(folder, L"param.ini");
    if (program.empty() || settings.empty()) return;
    base::ComScope com;
    DeleteLinkIn(DesktopFolder(), program);
    DeleteLinkIn(ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), program);
    if (!::WritePrivateProfileStringW(L"Param", L"CreateLnk", L"1", settings.c_str()))
        LogFailure(settings.c_str(), L"WritePrivateProfileStringW");
    if (HWND window = ::FindWindowW(L"QZubPrivacyClass", nullptr)) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, WM_CLOSE, kCloseCode, kCloseCode, SMTO_ABORTIFHUNG, 1000, &result);
    }
    for (const wchar_t* name : {L"ZubPrivacyCtrl.exe", L"Zubprivacymon.dat", L"ZubPrivacyMon.dll", L"AppFltr.dll"}) {
        const std::wstring file = JoinPath(folder, name);
        if (!file.empty()) ::DeleteFileW(file.c_str());
    }
}

}  // namespace setup
