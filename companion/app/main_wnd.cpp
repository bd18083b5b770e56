#include "companion/app/main_wnd.h"

#include <wtsapi32.h>

#include "companion/actions/custom_action.h"
#include "companion/app/startup.h"
#include "companion/system/shared_settings.h"
#include "companion/system/statistics.h"

CMainWnd::CMainWnd() {
    // Binds the statistics library once, before the first event.
    CStatistics::Instance();
}

// The detect thread is never stopped: it waits on its own event or pause and
// ends with the process.
CMainWnd::~CMainWnd() = default;

LRESULT CMainWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    SharedSettings& settings = SharedSettings::Instance();
    ReadGeneralConfig(settings);
    ReadEyeConfig(settings);
    settings.EyeClockStart = ::GetTickCount();
    BindWebIdentify();

    detect_ = new CDetectActionCondition(Hwnd());
    if (detect_->Start(0, 0, nullptr) != 0) {
        // Without a thread there are no reminders; the mascot itself goes on.
        delete detect_;
        detect_ = nullptr;
    }
    return 0;
}

LRESULT CMainWnd::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    return 0;  // the mascot leaves only through its own exit sequence
}

LRESULT CMainWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    ::PostQuitMessage(0);
    return 0;
}

void CMainWnd::SetAway(bool away) {
    away_ = away;
    if (detect_) detect_->NotifyAway(away);
}

LRESULT CMainWnd::OnPowerBroadcast(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == PBT_APMSUSPEND) SetAway(true);
    else if (wParam == PBT_APMRESUMESUSPEND) SetAway(false);
    return TRUE;
}

LRESULT CMainWnd::OnSessionChange(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == WTS_SESSION_LOCK) SetAway(true);
    else if (wParam == WTS_SESSION_UNLOCK) SetAway(false);
    return 0;
}

LRESULT CMainWnd::OnActionDue(UINT, WPARAM wParam, LPARAM, BOOL&) {
    auto* action = reinterpret_cast<IVynAction*>(wParam);
    // Anyone can post this number; only the action the detect thread handed
    // over is ever touched.
    if (!detect_ || !detect_->ClaimDueAction(action)) return 1;
    // Nothing is shown yet: end the showing at once so polling goes on.
    detect_->ReleaseDueAction();
    return 1;
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
    SharedSettings::Instance().EyeClockStart = ::GetTickCount();
    return 1;
}

LRESULT CMainWnd::OnStatistic(UINT, WPARAM wParam, LPARAM, BOOL&) {
    CStatistics::Instance().SendSettingsEvent(static_cast<int>(wParam));
    return 1;
}
