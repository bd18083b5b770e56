#include "companion/app/startup.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "base/log.h"
#include "base/module_exports.h"
#include "base/module_path.h"
#include "base/path_join.h"
#include "base/text.h"
#include "companion/app/main_wnd.h"
#include "companion/system/autorun.h"
#include "companion/system/desktop_shortcut.h"
#include "companion/system/paths.h"
#include "companion/system/registry_values.h"
#include "companion/system/settings_launcher.h"
#include "companion/system/shared_settings.h"
#include "companion/system/startup_timeline.h"
#include "companion/system/web_identify.h"
#include "companion/ui/corvalle_skin.h"
#include "protocol/corvalle_ini.h"
#include "protocol/eye_protection_color.h"
#include "protocol/outside_exports.h"
#include "protocol/program_names.h"
#include "protocol/window_messages.h"
#include "winlib/app_module.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr const wchar_t* kSingleInstanceMutex = protocol::kCompanionMutex;
constexpr wchar_t kManagerServiceKey[] = L"Software\\ZubPellor\\ZubPellorService";
constexpr DWORD kAutorunWaitMs = 120000;
constexpr COLORREF kEyeProtectionGreen = protocol::kEyeProtectionColor;
constexpr COLORREF kWhite = protocol::kWhiteWindowColor;

// The settings program beside this one; empty (and logged) when its folder
// is unknown: nothing is then started from the current folder instead.
std::wstring SettingsProgramFor(const wchar_t* step) {
    const std::wstring program = SettingsProgramPath();
    if (program.empty()) base::LogLine(step, L"the settings program's folder is unknown; not started");
    return program;
}

bool MajorVersionAtLeast6() {
    const DWORD version = ::GetVersion();
    return (version & 0x80000000u) == 0 && LOBYTE(LOWORD(version)) > 5;
}

void RestoreWhiteWindowColour() {
    wchar_t text[32];
    std::swprintf(text, 32, L"%d %d %d", GetRValue(kWhite), GetGValue(kWhite), GetBValue(kWhite));
    WriteUserRegString(L"Window", L"Control Panel\\Colors", text);
    const INT element = COLOR_WINDOW;
    const COLORREF colour = kWhite;
    if (!::SetSysColors(1, &element, &colour)) base::LogFailedCall(L"window colour", L"SetSysColors");
}

}  // namespace

StartSwitch ParseStartSwitch(const wchar_t* commandLine) {
    if (!commandLine) return StartSwitch::None;
    const std::wstring line = base::LowerAscii(commandLine);
    if (line.find(L"uninstall") != std::wstring::npos) return StartSwitch::Uninstall;
    if (line.find(L"eyeguardian") != std::wstring::npos) return StartSwitch::EyeGuardian;
    if (line.find(L"autorun") != std::wstring::npos) return StartSwitch::Autorun;
    return StartSwitch::None;
}

int CorvalleMain(const wchar_t* commandLine, int showCommand) {
    MarkStartupStep(L"entry");
    switch (ParseStartSwitch(commandLine)) {
    case StartSwitch::Uninstall:
        UninstallCleanup();
        return 1;
    case StartSwitch::EyeGuardian: {
        // Before the single-instance test: a second copy still opens the page.
        const std::wstring settings = SettingsProgramFor(L"eyeguardian");
        if (!settings.empty() &&
            reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, nullptr, settings.c_str(), protocol::kSettingsPageEye,
                                                      nullptr, SW_SHOW)) <= 32)
            base::LogFailedCall((L"eyeguardian " + settings).c_str(), L"ShellExecuteW");
        break;
    }
    case StartSwitch::Autorun:
        SharedSettings::Instance().Autorun = true;
        break;
    case StartSwitch::None:
        break;
    }

    if (IsAnotherInstanceRunning()) return 0;
    if (SharedSettings::Instance().Autorun) WaitForManagerService(kAutorunWaitMs);
    MarkStartupStep(L"single instance");

    base::ComScope com;
    MarkStartupStep(L"COM");
    winlib::Module().Init(::GetModuleHandleW(nullptr));
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    MarkStartupStep(L"common controls");

    RegisterCorvalleSkin();
    Run(showCommand);

    winlib::Module().Term();
    return 0;
}

bool IsAnotherInstanceRunning() {
    // Held, never closed, for the life of the process.
    static base::Mutex instanceMutex;
    instanceMutex.Reset(::CreateMutexW(nullptr, TRUE, kSingleInstanceMutex));
    if (!instanceMutex.Valid() || ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (HWND first = ::FindWindowW(protocol::kCompanionWindowClass, nullptr)) {
        ::ShowWindow(first, SW_RESTORE);
        ::SetForegroundWindow(first);
    }
    return true;
}

void WaitForManagerService(DWORD timeoutMs) {
    base::RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kManagerServiceKey, 0, KEY_NOTIFY, key.Put()) != ERROR_SUCCESS)
        return;
    base::Event changed(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!changed) return;
    if (::RegNotifyChangeKeyValue(key.Get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.Get(), TRUE) ==
        ERROR_SUCCESS)
        ::WaitForSingleObject(changed.Get(), timeoutMs);
}

HWND CreateMascotWindow(CMainWnd& window) {
    return window.Create(protocol::kCompanionWindowClass, nullptr, nullptr, L"",
                         WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
}

int Run(int showCommand) {
    CMainWnd mainWindow;
    if (!CreateMascotWindow(mainWindow)) return 0;
    mainWindow.ShowWindow(showCommand);
    return winlib::Module().Loop().Run();
}

void UninstallCleanup() {
    HANDLE settingsProcess = nullptr;
    const std::wstring settings = SettingsProgramFor(L"uninstall");
    if (!settings.empty()) RunElevated(&settingsProcess, settings.c_str());
    base::Process process(settingsProcess);
    // The settings program puts the display back in this mode; wait for it.
    if (process) ::WaitForSingleObject(process.Get(), INFINITE);

    RemoveAutorun();

    std::wstring eyeProtection;
    ReadConfigString(eyeProtection, protocol::ini::kGeneral, protocol::ini::kSetEyeProtection);
    if (::GetSysColor(COLOR_WINDOW) == kEyeProtectionGreen && IsEqual(eyeProtection, L"true"))
        RestoreWhiteWindowColour();

    const std::wstring shortcut = DesktopShortcutPath();
    if (!shortcut.empty()) ::DeleteFileW(shortcut.c_str());
}

void RunElevated(HANDLE* process, const wchar_t* program) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = 0x1400 | (process ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = MajorVersionAtLeast6() ? L"runas" : L"open";
    info.lpFile = program;
    info.lpParameters = protocol::kSettingsJobUninstall;
    info.nShow = SW_HIDE;
    const BOOL started = ::ShellExecuteExW(&info);
    if (!started) base::LogFailedCall((L"uninstall " + std::wstring(program)).c_str(), L"ShellExecuteExW");
    if (process) {
        *process = started ? info.hProcess : nullptr;
    }
}

void BindWebIdentify() {
    SharedSettings& settings = SharedSettings::Instance();
    if (settings.WebIdentify.load()) return;
    // Lives as long as the process; the monitor test reads it from any thread.
    static WebIdentifyBinding binding;
    std::wstring dir;
    if (GetTarviskDir(dir) == 0) {
        const std::wstring name = std::wstring(L"netmon\\") + protocol::outside::kZubWebIdentifyLibrary;
        const std::wstring path = base::JoinPath(dir, name.c_str());
        if (!path.empty()) {
            binding.library.Reset(::LoadLibraryW(path.c_str()));
            if (!binding.library) base::LogFailedCall((L"web-identify library " + path).c_str(), L"LoadLibraryW");
        }
        if (binding.library) {
            binding.getState = base::Export<protocol::outside::GetWebIdentifyStateFn>(
                binding.library.Get(), protocol::outside::kGetWebIdentifyStateName);
            if (!binding.getState) {
                base::LogLine(L"web-identify library", L"no entry; not used: " + path);
                binding.library.Reset();
            }
        }
    }
    settings.WebIdentify.store(&binding);
}

}  // namespace companion
