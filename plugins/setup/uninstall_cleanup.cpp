// Class 88 slot 4: the manager's traces taken out of the shell when it is
// removed. No step stops the sequence: one that can't run or throws is
// skipped.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "base/exception_barrier.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/desktop_shortcuts.h"
#include "plugins/setup/dock_button.h"
#include "plugins/setup/lite_folder.h"
#include "plugins/setup/privacy_protector.h"
#include "plugins/setup/setup_classes.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_registrations.h"
#include "plugins/setup/setup_steps.h"
#include "plugins/setup/taskbar_unpin.h"
#include "plugins/setup/web_app_shortcuts.h"
#include "base/handles.h"
#include "plugins/setup/x_logger.h"

namespace setup {

using protocol::PluginRef;

namespace {

constexpr UINT kCloseCode = 517;
constexpr UINT kTaskbarRefresh = 0x0C98;
constexpr wchar_t kDesktopUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZubDesktop";

// Started hidden or shown, SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
// the process handle, or an empty owner when it did not start.
base::KernelHandle Start(const std::wstring& program, const wchar_t* parameters, int show) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = program.c_str();
    info.lpParameters = parameters;
    info.nShow = show;
    if (!::ShellExecuteExW(&info)) {
        LogFailure(program.c_str(), L"ShellExecuteExW");
        return base::KernelHandle();
    }
    return base::KernelHandle(info.hProcess);
}

bool DesktopProductRegistered() {
    wchar_t name[MAX_PATH] = {};
    DWORD bytes = sizeof(name);
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kDesktopUninstallKey, L"DisplayName", RRF_RT_REG_SZ, nullptr, name,
                          &bytes) == ERROR_SUCCESS;
}

void RunDesktopUninstaller() {
    // Without the manager's folder the name would be relative and the
    // search path could find any program of that name.
    const std::wstring program = JoinPath(ManagerFolder(), L"..\\DtMgr\\Uninstall.exe");
    if (program.empty()) return;
    base::KernelHandle process = Start(program, L"/Uninst", SW_HIDE);
    if (!process) return;
    for (int i = 0; i < 60 && DesktopProductRegistered(); ++i) ::Sleep(500);
}

// The setup job's uninstall steps.
void RunSetupJobSteps() {
    if (const PluginRef<ISetupjob> job = plugin::CreateClassObject<ISetupjob>()) {
        job->Nothing6();
        job->Nothing7();
        job->UnregisterShellExtension();
        job->Uninstall();
    }
}

// The Start-menu pin's scan and unpin.
void RunStartMenuSteps() {
    if (const PluginRef<IPinToStartMenu> pin = plugin::CreateClassObject<IPinToStartMenu>()) {
        pin->ScanPinnedStartMenu();
        pin->Unpin();
    }
}

BOOL CALLBACK CollectPellorvan(HWND window, LPARAM windows) {
    // FALSE ends the enumeration: what was found so far is closed.
    return base::CallGuarded(L"CollectPellorvan", FALSE, [&]() -> BOOL {
        wchar_t title[32] = {};
        if (::GetWindowTextW(window, title, 32) > 0 && std::wstring(title) == L"ZubPellorvan")
            reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        return TRUE;
    });
}

void CloseMakersWindows() {
    auto close = [](HWND window) {
        if (window) ::PostMessageW(window, WM_CLOSE, kCloseCode, kCloseCode);
    };
    close(::FindWindowW(L"ZubOneKeyInstall", nullptr));
    close(::FindWindowW(nullptr, L"Zub升级提示小助手"));
    // One request to each, found once: a window that never closes must not
    // keep the clean-up looping.
    std::vector<HWND> pellorvan;
    ::EnumWindows(&CollectPellorvan, reinterpret_cast<LPARAM>(&pellorvan));
    for (HWND window : pellorvan) close(window);
    close(::FindWindowW(L"ZubTolvaneClass", nullptr));
}

void RunAdvUtils() {
    const std::wstring program = JoinPath(ManagerFolder(), L"AdvUtils.exe");
    if (program.empty()) return;
    base::KernelHandle process = Start(program, L"WritebackReg", SW_SHOW);
    if (process) ::WaitForSingleObject(process.Get(), 30000);
}

}  // namespace

LONG BEX_CALL CBexSetupUtil::UninstallCleanup() {
    return base::CallGuarded(L"CBexSetupUtil::UninstallCleanup", 0L, []() -> LONG {
        // One COM scope for the whole job: the privacy step's own pair nests
        // inside it and can't leave the later link steps without COM.
        base::ComScope com;
        RunSetupStep(L"UninstallCleanup: dock button", [] {
            RemoveDockButton(HKEY_LOCAL_MACHINE,
                             L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartButtonDock");
        });
        RunSetupStep(L"UninstallCleanup: taskbar", [] {
            if (HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(tray, kTaskbarRefresh, 0, 0, SMTO_NORMAL, 2000, &result);
            }
        });
        RunSetupStep(L"UninstallCleanup: desktop uninstaller", &RunDesktopUninstaller);
        RunSetupStep(L"UninstallCleanup: setup job", &RunSetupJobSteps);
        RunSetupStep(L"UninstallCleanup: Start menu", &RunStartMenuSteps);
        RunSetupStep(L"UninstallCleanup: maker's windows", &CloseMakersWindows);
        RunSetupStep(L"UninstallCleanup: privacy protector", &RemovePrivacyProtector);
        RunSetupStep(L"UninstallCleanup: URL protocol", [] { ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"pellorandzub"); });
        RunSetupStep(L"UninstallCleanup: context menu", [] { RegisterContextMenuHandler(false); });
        RunSetupStep(L"UninstallCleanup: AdvUtils", &RunAdvUtils);
        RunSetupStep(L"UninstallCleanup: web proxy", [] { RegisterWebProxyDll(false); });
        RunSetupStep(L"UninstallCleanup: web apps", &RemoveWebAppShortcuts);
        RunSetupStep(L"UninstallCleanup: taskbar icon", &UnpinTaskbarIcon);
        RunSetupStep(L"UninstallCleanup: game centre links",
                     [] { DeleteDesktopShortcutsTo(ManagerFile(L"Tolvane.exe").c_str()); });
        RunSetupStep(L"UninstallCleanup: manager links",
                     [] { DeleteDesktopShortcutsTo(ManagerFile(L"Pellorand.exe").c_str()); });
        RunSetupStep(L"UninstallCleanup: lite folder", &SaveLiteFolder);
        return 0;
    });
}

}  // namespace setup
