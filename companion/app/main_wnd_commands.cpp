// The mouse, the menus, their commands, the navigation pop-up as seen from
// the main window, and the leaving sequence.
#include "companion/app/main_wnd.h"

#include <shellapi.h>

#include "base/service_addresses.h"
#include "companion/system/screen.h"
#include "companion/system/settings_launcher.h"
#include "companion/system/shared_settings.h"
#include "companion/system/statistics.h"
#include "companion/ui/corvalle_skin.h"
#include "protocol/corvalle_ini.h"
#include "protocol/program_names.h"
#include "winlib/app_module.h"
#include "base/handles.h"

namespace companion {

namespace ini = protocol::ini;

namespace {

void Send(const wchar_t* event) {
    CStatistics::Instance().SendStatistic(event);
}

}  // namespace

base::Menu BuildMascotMenu(bool forTray, bool topmost) {
    base::Menu owner(::CreatePopupMenu());
    if (!owner) return owner;
    const HMENU menu = owner.Get();
    ::AppendMenuW(menu, MF_STRING, kCmdGuide, L"使用指南");
    ::AppendMenuW(menu, MF_STRING | (topmost ? MF_CHECKED : 0), kCmdTopmost, L"前端显示");
    ::AppendMenuW(menu, MF_STRING, kCmdEyeSettings, L"健康护士");
    ::AppendMenuW(menu, MF_STRING, kCmdTimeAlert, L"定时提醒");
    ::AppendMenuW(menu, MF_STRING, kCmdTimeShutdown, L"定时关机");
    ::AppendMenuW(menu, MF_STRING, kCmdSettings, L"设置");
    if (forTray) ::AppendMenuW(menu, MF_STRING, kCmdShow, L"显示");
    else ::AppendMenuW(menu, MF_STRING, kCmdHide, L"隐藏");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kCmdExit, L"退出");
    return owner;
}

void CMainWnd::TrackMenu(bool forTray) {
    const base::Menu menu = BuildMascotMenu(forTray, Topmost());
    if (!menu) return;
    ::SetForegroundWindow(Hwnd());
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, ClampToMonitor(cursor.x, cursor.y), cursor.y, 0, Hwnd(), nullptr);
}

void CMainWnd::ShowTrayMenu() {
    TrackMenu(true);
}

void CMainWnd::OnTrayClick() {
    OnShow();
}

LRESULT CMainWnd::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
    if (leaving_) return 0;
    const RECT before = WindowRect();
    if (!::IsZoomed(Hwnd())) {
        BOOL fullDrag = FALSE;
        ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
        if (!fullDrag) ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
        ::SetCursor(::LoadCursorW(winlib::Module().Instance(), MAKEINTRESOURCEW(kBexCursorDrag)));
        Window::SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION);
        if (!fullDrag) ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    }
    if (pollingStarted_) {
        const RECT after = WindowRect();
        if (after.left == before.left && after.top == before.top) {
            // Pressed and let go without moving: a click, unless a double click follows.
            doubleClicked_ = false;
            SetTimer(kTimerClick, 200);
        }
    } else {
        StartPolling();
    }
    return 0;
}

LRESULT CMainWnd::OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&) {
    if (leaving_) return 0;
    doubleClicked_ = true;
    if (navigationOpen_) ShowPopWnd(0);
    else SetMascotState(2);
    presenter_.TipClickedAway();
    return 0;
}

LRESULT CMainWnd::OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
    if (navigationOpen_) ShowPopWnd(0);
    if (!pollingStarted_) StartPolling();
    TrackMenu(false);
    return 0;
}

LRESULT CMainWnd::OnOpenNavigation(UINT, WPARAM, LPARAM, BOOL&) {
    if (leaving_ || doubleClicked_) return 0;
    if (presenter_.TipShowing()) {
        SetMascotState(3);
        animator_.SetClickAnimationTimer();
        presenter_.TipClickedAway();
        ShowPopWnd(1);
        Send(L"vyn&type=opennavi");
        return 0;
    }
    if (navigationOpen_) {
        ShowPopWnd(0);
        return 0;
    }
    SetMascotState(3);
    animator_.SetClickAnimationTimer();
    Send(L"vyn&type=opennavi");
    ShowPopWnd(1);
    return 0;
}

LRESULT CMainWnd::OnCloseNavigation(UINT, WPARAM, LPARAM, BOOL&) {
    if (navigationOpen_) SetMascotState(2);
    ShowPopWnd(2);
    return 1;
}

LRESULT CMainWnd::OnHideNavigation(UINT, WPARAM, LPARAM, BOOL&) {
    ShowPopWnd(0);
    return 1;
}

void CMainWnd::ShowPopWnd(int state) {
    if (state == 1) {
        navigationOpen_ = true;
        const RECT rc = WindowRect();
        if (popWindows_.empty()) {
            if (popButtons_.empty()) popButtons_ = LoadPopButtons();
            // Made once, then only shown and hidden.
            for (const PopButton& button : popButtons_) {
                auto pop = std::make_unique<CVynPopWnd>(button);
                if (pop->Create(Hwnd())) popWindows_.push_back(std::move(pop));
            }
        }
        for (auto& pop : popWindows_) pop->ShowButton(true, rc.left, rc.top);
        return;
    }
    if (state == 0) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        for (auto& pop : popWindows_) {
            RECT rc{};
            if (::IsWindowVisible(pop->Hwnd()) && ::GetWindowRect(pop->Hwnd(), &rc) && ::PtInRect(&rc, cursor)) return;
        }
        if (navigationOpen_) SetMascotState(2);
    }
    for (auto& pop : popWindows_) pop->HideButton();
    navigationOpen_ = false;
}

LRESULT CMainWnd::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    const WORD id = LOWORD(wParam);
    if (HIWORD(wParam) != 0) {
        // Accelerator and control notifications: only the program list would take them.
        if (id >= kCmdExit && id <= kCmdTopmost) handled = FALSE;
        return 0;
    }
    switch (id) {
    case kCmdExit:
        OnExit();
        break;
    case kCmdSettings:
        OpenSettings(protocol::kSettingsPageGeneral, L"vynset&type=fromrmenu");
        break;
    case kCmdHide:
        OnHide();
        break;
    case kCmdShow:
        OnShow();
        break;
    case kCmdGuide:
        services_.openPage(ServiceAddress(Service::UserGuide));
        break;
    case kCmdTopmost:
        OnTopmost();
        break;
    case kCmdEyeSettings:
        OpenSettings(protocol::kSettingsPageEye, L"vyneye&type=fromrmenu");
        break;
    case kCmdTimeAlert:
        OpenSettings(protocol::kSettingsPageTimeAlert, L"vynremind&type=fromrmenu");
        break;
    case kCmdTimeShutdown:
        OpenSettings(protocol::kSettingsPageTimeShutdown, L"vynturnoff&type=fromrmenu");
        break;
    default:
        // The program list (506, 510-900) is never filled: nothing to start.
        if (id < kCmdProgramFirst || id > kCmdProgramLast) handled = FALSE;
        break;
    }
    return 0;
}

void CMainWnd::OpenSettings(const wchar_t* page, const wchar_t* statistic) {
    StartSettingsProgram(page);
    Send(statistic);
}

void CMainWnd::OnHide() {
    hiddenByUser_ = true;
    tip_.ShowTip(false);
    ShowWindow(SW_HIDE);
    AddIcon(Hwnd(), base::Icon(static_cast<HICON>(::LoadImageW(
                        winlib::Module().Instance(), MAKEINTRESOURCEW(kBexIconApp), IMAGE_ICON, 16, 16, 0))));
    presenter_.EndForHiddenMascot();
    // Nobody sees a hidden mascot move.
    KillTimer(kTimerMascotFrame);
    std::wstring prompt;
    ReadConfigString(prompt, ini::kGeneral, ini::kPrompt);
    if (prompt != L"true") {
        ShowBalloon();
        WriteConfigString(ini::kGeneral, ini::kPrompt, L"true");
    }
    Send(L"vyn&type=hide");
}

void CMainWnd::OnShow() {
    ShowWindow(SW_SHOW);
    ::BringWindowToTop(Hwnd());
    ::SetActiveWindow(Hwnd());
    ::SetForegroundWindow(Hwnd());
    hiddenByUser_ = false;
    RemoveIcon();
    animator_.ResumeAnimation();
}

void CMainWnd::OnTopmost() {
    if (Topmost()) {
        WriteConfigString(ini::kGeneral, ini::kTopmost, L"false");
        ::SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    WriteConfigString(ini::kGeneral, ini::kTopmost, L"true");
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(Hwnd());
    ::BringWindowToTop(Hwnd());
    Send(L"vyn&type=topdis");
}

void CMainWnd::OnExit() {
    leaving_ = true;
    ShowPopWnd(0);
    RemoveIcon();
    hiddenByUser_ = false;
    ShowWindow(SW_SHOW);
    tip_.SetTipText(L"主人不要我了，555......");
    tip_.ShowTip(true);
    SetMascotState(1);
    Send(L"vyn&type=exit");
    const RECT rc = WindowRect();
    WriteConfigString(ini::kPosition, ini::kX, std::to_wstring(rc.left).c_str());
    WriteConfigString(ini::kPosition, ini::kY, std::to_wstring(rc.top).c_str());
}

void CMainWnd::FinishLeaving() {
    KillTimer(kTimerLeavingFrame);
    if (HWND settings = ::FindWindowW(protocol::kSettingsWindowClass, nullptr))
        ::PostMessageW(settings, protocol::WM_CLOSE_SETTINGS, 0, 0);
    services_.endProcess();
}

}  // namespace companion
