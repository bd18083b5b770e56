#include "companion/app/main_wnd.h"

#include <psapi.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include "base/service_addresses.h"
#include "companion/actions/custom_action.h"
#include "companion/actions/reminder_list.h"
#include "companion/actions/rest_clock.h"
#include "companion/app/first_tip_wnd.h"
#include "companion/app/position_rules.h"
#include "companion/app/startup.h"
#include "base/log.h"
#include "companion/system/desktop_shortcut.h"
#include "companion/system/paths.h"
#include "companion/system/screen.h"
#include "companion/system/settings_launcher.h"
#include "companion/system/shared_settings.h"
#include "companion/system/skin_strip.h"
#include "companion/system/startup_timeline.h"
#include "companion/system/statistics.h"
#include "companion/system/ui_package.h"
#include "companion/ui/corvalle_skin.h"
#include "companion/ui/rest_schedule.h"
#include "protocol/corvalle_ini.h"
#include "protocol/program_names.h"
#include "winlib/app_module.h"
#include "base/handles.h"

namespace companion {

namespace ini = protocol::ini;

namespace {

constexpr wchar_t kProductName[] = L"ZubVynmar";
constexpr DWORD kTrimThreshold = 0x300000;
// A scan in progress (a weather fetch) is let finish, but not for ever.
constexpr DWORD kDetectStopWaitMs = 10000;
// A failed detect thread has posted its last message as it ends.
constexpr DWORD kDetectJoinMs = 5000;
// Enough to outlast a passing failure; a fault that comes back every time
// must not restart the thread for ever.
constexpr int kMaxDetectRestarts = 3;

void FillDefaults(MainWindowServices& s) {
    if (!s.installPackage) s.installPackage = [] { return InstallUiPackage(); };
    if (!s.endProcess) s.endProcess = [] { ::TerminateProcess(::GetCurrentProcess(), 0); };
    if (!s.makeActions) s.makeActions = MakeReminders;
    if (!s.openPage)
        s.openPage = [](const std::wstring& page) {
            if (reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOW)) <= 32)
                base::LogFailedCall((L"open " + page).c_str(), L"ShellExecuteW");
        };
}

}  // namespace

CMainWnd::CMainWnd(MainWindowServices services)
    : CNBTray<CMainWnd>(*services.tray),
      services_(std::move(services)),
      animator_(*this, *services_.environment),
      presenter_(*this, animator_, tip_, *services_.dialogs, *services_.environment) {
    FillDefaults(services_);
    // Binds the statistics library once, before the first event.
    CStatistics::Instance();
}

// The leaving sequence ends the process with the detect thread still
// waiting. Any other end of the window (its message loop ending) stops the
// thread here, before the program returns and its static objects go away
// under it.
CMainWnd::~CMainWnd() {
    if (!detect_) return;
    if (!detect_->StopAndJoin(kDetectStopWaitMs)) {
        // Still running, the thread uses its object and actions: they stay.
        base::LogLine(L"the detect thread does not end; its object is left to it");
        (void)detect_.release();
        return;
    }
    DestroyDetectThread();
}

// The actions go with the object, and the links of their tips with them: a
// click on a tip shown earlier must not reach a freed action.
void CMainWnd::DestroyDetectThread() {
    presenter_.ForgetLinks();
    detect_.reset();
}

LRESULT CMainWnd::OnActionDue(UINT, WPARAM wParam, LPARAM, BOOL&) {
    presenter_.OnActionDue(reinterpret_cast<IVynAction*>(wParam));
    return 1;
}

LRESULT CMainWnd::OnLinkClicked(UINT, WPARAM wParam, LPARAM, BOOL&) {
    presenter_.OnLinkClicked(static_cast<size_t>(wParam));
    return 1;
}

// While the mascot leaves, nothing the user does reaches it any more (and no
// tray icon can come back).
bool CMainWnd::IgnoredWhileLeaving(UINT msg) const {
    switch (msg) {
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_TRAY_NOTIFY:
    case WM_OPEN_NAVIGATION:
        return true;
    default:
        return msg == restartMessage_ || msg == taskbarCreated_;
    }
}

BOOL CMainWnd::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (leaving_ && IgnoredWhileLeaving(msg)) {
        result = 0;
        return TRUE;
    }
    if (ProcessTrayMessage(hwnd, msg, wParam, lParam, result)) return TRUE;
    if (msg == WM_SETCURSOR) {
        ::SetCursor(::LoadCursorW(winlib::Module().Instance(), MAKEINTRESOURCEW(kBexCursorMascot)));
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
        ::TrackMouseEvent(&track);
        result = TRUE;
        return TRUE;
    }
    if (msg == WM_MOUSELEAVE) {
        result = 0;
        return TRUE;
    }
    if (RouteMessage(hwnd, msg, wParam, lParam, &result)) return TRUE;
    return ProcessHandlers(hwnd, msg, wParam, lParam, result);
}

bool CMainWnd::Topmost() const {
    std::wstring value;
    ReadConfigString(value, ini::kGeneral, ini::kTopmost);
    return value != L"false";
}

LRESULT CMainWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    if (!services_.installPackage()) {
        ::MessageBoxW(nullptr, L"文件损坏，请重新下载！", kProductName, MB_OK);
        services_.openPage(ServiceAddress(Service::HomePage));
        services_.endProcess();
        return -1;
    }
    MarkStartupStep(L"skin package");
    EnsureCompatible();
    ::SetWindowTextW(Hwnd(), kProductName);
    Window::SendMessage(WM_SETICON, ICON_BIG,
                        reinterpret_cast<LPARAM>(::LoadIconW(winlib::Module().Instance(), MAKEINTRESOURCEW(kBexIconBig))));
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_, 0);

    std::wstring firstRunTip;
    ReadConfigString(firstRunTip, ini::kGeneral, ini::kFirstRunTip);
    const bool firstRun = firstRunTip != L"false";
    if (firstRun) WriteConfigString(ini::kGeneral, ini::kFirstRunTip, L"false");
    PlaceAtStart();
    MarkStartupStep(L"placed");

    animator_.Animations().Load(
        [this](const wchar_t* s, const wchar_t* k) { return services_.environment->ReadActionString(s, k); },
        SkinFilePath);
    SetMascotState(0);
    MarkStartupStep(L"animations");
    tip_.Create(Hwnd());
    MarkStartupStep(L"tip bubble");
    if (firstRun && GetPathType(DesktopShortcutPath().c_str()) != 1) services_.dialogs->RunFirstRunChooser(Hwnd());
    ShowWindow(SW_SHOW);
    animator_.ShowCurrentFrame();
    MarkStartupStep(L"shown");

    SharedSettings& settings = SharedSettings::Instance();
    ReadGeneralConfig(settings);
    ReadEyeConfig(settings);
    BindWebIdentify();
    if (settings.EyeRun) {
        const SYSTEMTIME now = services_.environment->LocalTime();
        // At the start a negative interval counts as none.
        const int32_t interval = settings.Interval.load();
        WriteConfigString(ini::kEye, ini::kNext, NextRestTime(now.wHour, now.wMinute, interval < 0 ? 0 : interval).c_str());
    }

    MarkStartupStep(L"settings");
    detect_ = std::make_unique<CDetectActionCondition>(Hwnd(), services_.pollPauseMs, services_.detectEvents);
    for (std::unique_ptr<IVynAction>& action : services_.makeActions()) detect_->AddAction(std::move(action));
    if (firstRun) {
        firstTip_ = std::make_unique<CFirstTipWnd>();
        if (firstTip_->Create(Hwnd())) firstTip_->ShowWindow(SW_SHOWNOACTIVATE);
        SetTimer(kTimerFirstRun, 5000);
    } else {
        StartPolling();
    }
    MarkStartupStep(L"actions and polling");
    // Without the notices a lock does not count as away; the rest goes on.
    sessionNotices_ = ::WTSRegisterSessionNotification(Hwnd(), NOTIFY_FOR_ALL_SESSIONS) != FALSE;
    if (!sessionNotices_)
        base::LogFailedCall(L"session notices", L"WTSRegisterSessionNotification");
    SetTimer(kTimerWatch, 1000);
    if (settings.Autorun) {
        // In test mode the start-up report waits half a minute, as the short
        // intervals there would otherwise report before the user could see it.
        if (settings.TestMode) SetTimer(kTimerStartStatistic, 30000);
        else CStatistics::Instance().SendStatistic(L"vyn&type=fromauto");
    } else {
        CStatistics::Instance().SendStatistic(L"vyn&type=fromuser");
    }
    SetTimer(kTimerTrimMemory, 300000);
    MarkStartupStep(L"created");
    return 0;
}

void CMainWnd::EnsureCompatible() {
    std::wstring compatible;
    ReadConfigString(compatible, ini::kGeneral, ini::kCompatible);
    if (compatible == L"true") return;
    WriteConfigString(ini::kGeneral, ini::kCompatible, L"true");
    const std::wstring settingsProgram = SettingsProgramPath();
    if (settingsProgram.empty()) return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box: a missing settings program must not stop the start.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = settingsProgram.c_str();
    info.lpParameters = protocol::kSettingsJobMigrate;
    info.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&info)) {
        base::LogFailedCall((L"settings migration " + settingsProgram).c_str(), L"ShellExecuteExW");
        return;
    }
    base::Process process(info.hProcess);
    if (process) ::WaitForSingleObject(process.Get(), 5000);
}

void CMainWnd::PlaceAtStart() {
    std::wstring x, y;
    ReadConfigString(x, ini::kPosition, ini::kX);
    ReadConfigString(y, ini::kPosition, ini::kY);
    SIZE standing{kMascotOffsetX, kMascotOffsetY};
    if (toolkit::CBexBitmap* bitmap = toolkit::BexSkinBitmap(kBexMascotStanding)) {
        if (bitmap->Handle()) standing = SIZE{bitmap->FrameWidth(), bitmap->Height()};
        // Only its size is needed now; it is decoded again when it is drawn.
        bitmap->Unload();
    }
    const POINT at = InitialMascotPosition(x, y, work_, standing);
    std::wstring topmost;
    ReadConfigString(topmost, ini::kGeneral, ini::kTopmost);
    if (topmost.empty()) WriteConfigString(ini::kGeneral, ini::kTopmost, L"false");
    ::SetWindowPos(Hwnd(), Topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, at.x, at.y, 0, 0, SWP_SHOWWINDOW);
}

void CMainWnd::StartPolling() {
    pollingStarted_ = true;
    KillTimer(kTimerFirstRun);
    if (firstTip_ && firstTip_->IsWindow()) firstTip_->ShowWindow(SW_HIDE);
    if (detect_ && detect_->ThreadId() == 0 && detect_->Start(0, 0, nullptr) != 0) {
        // Without a thread there are no reminders; the mascot itself goes on.
        DestroyDetectThread();
    }
}

// The detect thread failed (its events could not be made, or a scan threw)
// and ended: a new thread takes over, a few times a run. Anyone can post
// this number: a notice about another thread than the one held, or about
// one that has not failed, changes nothing.
LRESULT CMainWnd::OnDetectEnded(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (!detect_ || wParam != static_cast<WPARAM>(detect_->ThreadId()) || !detect_->Failed()) return 0;
    if (!detect_->Join(kDetectJoinMs)) {
        base::LogLine(L"the failed detect thread does not end; it is not started again");
        return 0;
    }
    if (detectRestarts_ < kMaxDetectRestarts && detect_->Start(0, 0, nullptr) == 0) {
        ++detectRestarts_;
        base::LogLine(L"the detect thread failed and was started again", std::to_wstring(detectRestarts_));
        return 0;
    }
    base::LogLine(L"the detect thread failed again; no reminders for the rest of this run");
    DestroyDetectThread();
    return 0;
}

LRESULT CMainWnd::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (LOWORD(wParam) == WA_INACTIVE) ShowPopWnd(0);
    return 0;
}

LRESULT CMainWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    return 0;  // the mascot leaves only through its own exit sequence
}

LRESULT CMainWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (sessionNotices_) ::WTSUnRegisterSessionNotification(Hwnd());
    ::PostQuitMessage(0);
    handled = FALSE;  // the tray hook has removed the icon; the manager lets go
    return 0;
}

LRESULT CMainWnd::OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&) {
    tip_.ShowTip(false);
    ShowWindow(SW_HIDE);
    const RECT rc = WindowRect();
    WriteConfigString(ini::kPosition, ini::kX, std::to_wstring(rc.left).c_str());
    WriteConfigString(ini::kPosition, ini::kY, std::to_wstring(rc.top).c_str());
    return TRUE;
}

LRESULT CMainWnd::OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!(pos->flags & SWP_NOMOVE)) {
        const POINT p = ClampMascotPosition(POINT{pos->x, pos->y}, work_);
        pos->x = p.x;
        pos->y = p.y;
    }
    handled = FALSE;
    return 0;
}

LRESULT CMainWnd::OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    handled = FALSE;
    // Hidden and shown again, the window gets its next frame afresh.
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) animator_.ForgetPushedFrame();
    RECT rc = WindowRect();
    // Every frame drawn reaches here too: only a real move concerns the
    // companions.
    if (placed_ && rc.left == lastPosition_.x && rc.top == lastPosition_.y) return 0;
    if ((rc.left < 78 || rc.top < 78) && !positionRepaired_) {
        positionRepaired_ = true;
        const POINT home = DefaultMascotPosition(work_);
        if (home.x < 78 || home.y < 78) ::MessageBoxW(nullptr, L"Vyn取初始位置出现异常", L"Vynmar", MB_OK);
        ::SetWindowPos(Hwnd(), Topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, home.x, home.y, 0, 0, SWP_NOACTIVATE);
        rc = WindowRect();
    }
    if (tip_.Hwnd()) ::SendMessageW(tip_.Hwnd(), WM_TIP_MOVE, static_cast<WPARAM>(rc.left), rc.top);
    if (navigationOpen_)
        for (auto& pop : popWindows_)
            ::SendMessageW(pop->Hwnd(), WM_MOVE_NAVIGATION, static_cast<WPARAM>(rc.left), rc.top);
    if (HWND first = ::FindWindowW(L"CorvalleFirstTipWnd", nullptr))
        ::SendMessageW(first, WM_TIP_MOVE, static_cast<WPARAM>(rc.left), rc.top);
    placed_ = true;
    lastPosition_ = POINT{rc.left, rc.top};
    return 0;
}

LRESULT CMainWnd::OnCopyData(UINT, WPARAM, LPARAM, BOOL&) {
    return TRUE;  // temperature reports are acknowledged; no reminder uses them
}

LRESULT CMainWnd::OnDisplayChange(UINT, WPARAM, LPARAM lParam, BOOL&) {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_, 0);
    ::SetWindowPos(Hwnd(), Topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, LOWORD(lParam) - kMascotOffsetX,
                   HIWORD(lParam) - kMascotOffsetY, 0, 0, SWP_NOACTIVATE);
    return 0;
}

LRESULT CMainWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    switch (wParam) {
    case kTimerActionFrame:
        presenter_.StepActionFrame();
        break;
    case kTimerMascotFrame:
    case kTimerLeavingFrame:
        animator_.StepRecordFrame(wParam);
        break;
    case kTimerWatch:
        OnWatchTimer();
        break;
    case kTimerTrimMemory:
        TrimWorkingSet();
        break;
    case kTimerClick:
        KillTimer(kTimerClick);
        animator_.KillClickAnimationTimer();
        if (!doubleClicked_) Window::PostMessage(WM_OPEN_NAVIGATION);
        break;
    case kTimerClickAnimation:
        animator_.KillClickAnimationTimer();
        SetMascotState(4);
        break;
    case kTimerFirstRun:
        if (!pollingStarted_) StartPolling();
        KillTimer(kTimerFirstRun);
        break;
    case kTimerStartStatistic:
        KillTimer(kTimerStartStatistic);
        CStatistics::Instance().SendStatistic(L"vyn&type=fromauto");
        break;
    default:
        handled = FALSE;
        break;
    }
    return 0;
}

void CMainWnd::OnWatchTimer() {
    BOOL running = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    if (detect_) detect_->NotifyScreenSaverRunning(running != FALSE);
    // Also while the user has hidden the mascot: a reminder shown over it
    // must still give way to a full-screen program.
    if (IsFullScreenAppRunning()) {
        tip_.ShowTip(false);
        ShowWindow(SW_HIDE);
    } else if (!hiddenByUser_ && !::IsWindowVisible(Hwnd())) {
        ShowWindow(SW_SHOWNOACTIVATE);
    }
}

void CMainWnd::TrimWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)) &&
        counters.WorkingSetSize > kTrimThreshold)
        ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void CMainWnd::SetAway(bool away) {
    away_ = away;
    if (detect_) detect_->NotifyAway(away);
    if (away) KillTimer(kTimerMascotFrame);
    else animator_.ResumeAnimation();
}

LRESULT CMainWnd::OnPowerBroadcast(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == PBT_APMSUSPEND) SetAway(true);
    else if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC) SetAway(false);
    return TRUE;
}

LRESULT CMainWnd::OnSessionChange(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == WTS_SESSION_LOCK) SetAway(true);
    else if (wParam == WTS_SESSION_UNLOCK) SetAway(false);
    return 0;
}

LRESULT CMainWnd::OnSettingsChanged(UINT, WPARAM, LPARAM, BOOL&) {
    CActionCustom::AlertsLoaded().exchange(0);
    ReadGeneralConfig();
    return 1;
}

LRESULT CMainWnd::OnReserved(UINT, WPARAM, LPARAM, BOOL&) {
    return 1;
}

LRESULT CMainWnd::OnRestSettingsChanged(UINT, WPARAM, LPARAM, BOOL&) {
    ReadEyeConfig();
    CRestClock().RestartEyeClock(services_.environment->TickCount());
    return 1;
}

LRESULT CMainWnd::OnStatistic(UINT, WPARAM wParam, LPARAM, BOOL&) {
    CStatistics::Instance().SendSettingsEvent(static_cast<int>(wParam));
    return 1;
}

LRESULT CMainWnd::OnShowNeckExercise(UINT, WPARAM, LPARAM, BOOL&) {
    if (!neckOpen_) {
        neckOpen_ = true;
        services_.dialogs->RunNeckExercise();
        neckOpen_ = false;
    }
    return 1;
}

LRESULT CMainWnd::OnShowEyeExercise(UINT, WPARAM, LPARAM, BOOL&) {
    if (!eyeOpen_) {
        eyeOpen_ = true;
        services_.dialogs->RunEyeExercise();
        eyeOpen_ = false;
    }
    return 1;
}

}  // namespace companion
