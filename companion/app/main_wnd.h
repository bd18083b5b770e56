// The mascot's window: the one window the rest of the system talks to. It
// places the mascot, answers the mouse, the menus and the settings program's
// messages, keeps the tray icon while the user has hidden it, and lives and
// leaves; showing the due actions and playing the mascot's own animations
// are the presenter's and the animator's, which it hosts.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "companion/actions/action_environment.h"
#include "companion/actions/detect_action_condition.h"
#include "companion/app/action_presenter.h"
#include "companion/app/main_window_timers.h"
#include "companion/app/mascot_animations.h"
#include "companion/app/mascot_animator.h"
#include "companion/app/tray_icon.h"
#include "companion/ui/pop_buttons.h"
#include "companion/ui/showing_dialogs.h"
#include "companion/ui/vyn_pop_wnd.h"
#include "companion/ui/vyn_tip_wnd.h"
#include "protocol/window_messages.h"
#include "toolkit/bex_wnd_manager.h"
#include "base/handles.h"
#include "winlib/window.h"

namespace companion {

class CFirstTipWnd;

// What the main window uses of the world beyond its own window, so tests can
// run it without unpacking packages, shutting down or ending the process.
struct MainWindowServices {
    IShowingDialogs* dialogs = &SystemShowingDialogs();
    ITrayShell* tray = &SystemTrayShell();
    IActionEnvironment* environment = &SystemActionEnvironment();
    std::function<bool()> installPackage;   // default: the skin package beside the program
    std::function<void()> endProcess;       // default: the process ends at once
    std::function<void(const std::wstring&)> openPage;  // default: the user's browser
    std::function<OwnedActions()> makeActions;  // default: the thirteen reminders
    DWORD pollPauseMs = CDetectActionCondition::kDefaultPauseMs;
    CDetectActionCondition::EventMaker detectEvents = nullptr;  // default: CreateEventW
};

// Command ids of the menus.
enum MainWindowCommand : WORD {
    kCmdExit = 500,
    kCmdSettings = kCommandOpenGeneralSettings,  // also posted by the greeting's link
    kCmdHide = 502,
    kCmdShow = 503,
    kCmdGuide = 504,
    kCmdTopmost = 505,
    kCmdProgramFirst = 506,
    kCmdEyeSettings = 507,
    kCmdTimeAlert = 508,
    kCmdTimeShutdown = 509,
    kCmdProgramLast = 900,
};

// The context menu (tray: "显示" in place of "隐藏"), owned by the caller.
base::Menu BuildMascotMenu(bool forTray, bool topmost);

class CMainWnd : public winlib::Window,
                 public toolkit::CBexWndManager,
                 public CNBTray<CMainWnd>,
                 private IMascotAnimatorHost,
                 private IActionPresenterHost {
public:
    explicit CMainWnd(MainWindowServices services = MainWindowServices());
    ~CMainWnd() override;

    // The detect thread, once created (it lives as long as the window,
    // unless it failed more often than it is started again).
    CDetectActionCondition* DetectThread() const override { return detect_.get(); }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Mascot states: 0 idle, 1 leave, 2 interactive, 3 standing still, 4 after a click.
    void SetMascotState(int mode) { animator_.SetMascotState(mode); }
    // Opens (1) or closes the navigation: 0 only when the cursor is outside it, 2 always.
    void ShowPopWnd(int state);

    // CNBTray
    void ShowTrayMenu();
    void OnTrayClick();

    // State for tests and for the tip and navigation windows.
    bool TipShowing() const { return presenter_.TipShowing(); }
    bool NavigationOpen() const { return navigationOpen_; }
    bool HiddenByUser() const override { return hiddenByUser_; }
    bool Leaving() const override { return leaving_; }
    bool PollingStarted() const { return pollingStarted_; }
    int PlayingRecord() const { return animator_.PlayingRecord(); }
    const MascotAnimations& Animations() const { return animator_.Animations(); }
    CVynTipWnd& Tip() { return tip_; }
    const std::vector<std::unique_ptr<CVynPopWnd>>& PopWindows() const { return popWindows_; }

private:
    WL_BEGIN_MSG_MAP_NAMED(ProcessHandlers)
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        WL_MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        WL_MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        WL_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
        WL_MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
        WL_MESSAGE_HANDLER(WM_DISPLAYCHANGE, OnDisplayChange)
        WL_MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        WL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
        WL_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        WL_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
        WL_MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
        WL_MESSAGE_HANDLER(WM_POWERBROADCAST, OnPowerBroadcast)
        WL_MESSAGE_HANDLER(WM_WTSSESSION_CHANGE, OnSessionChange)
        WL_MESSAGE_HANDLER(WM_TIP_LINK_CLICKED, OnLinkClicked)
        WL_MESSAGE_HANDLER(WM_SHOW_EYE_EXERCISE_ALT, OnShowEyeExercise)
        WL_MESSAGE_HANDLER(protocol::WM_SHOW_EYE_EXERCISE, OnShowEyeExercise)
        WL_MESSAGE_HANDLER(WM_CLOSE_NAVIGATION, OnCloseNavigation)
        WL_MESSAGE_HANDLER(WM_ACTION_DUE, OnActionDue)
        WL_MESSAGE_HANDLER(WM_DETECT_ENDED, OnDetectEnded)
        WL_MESSAGE_HANDLER(protocol::WM_SETTINGS_CHANGED, OnSettingsChanged)
        WL_MESSAGE_HANDLER(protocol::WM_SETTINGS_RESERVED, OnReserved)
        WL_MESSAGE_HANDLER(protocol::WM_SHOW_NECK_EXERCISE, OnShowNeckExercise)
        WL_MESSAGE_HANDLER(protocol::WM_REPORT_SETTINGS_EVENT, OnStatistic)
        WL_MESSAGE_HANDLER(protocol::WM_REST_SETTINGS_CHANGED, OnRestSettingsChanged)
        WL_MESSAGE_HANDLER(WM_OPEN_NAVIGATION, OnOpenNavigation)
        WL_MESSAGE_HANDLER(WM_HIDE_NAVIGATION, OnHideNavigation)
    WL_END_MSG_MAP()

    bool IgnoredWhileLeaving(UINT msg) const;

    // Creation and life
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCopyData(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDisplayChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPowerBroadcast(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSessionChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSettingsChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnReserved(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRestSettingsChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStatistic(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowNeckExercise(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowEyeExercise(UINT, WPARAM, LPARAM, BOOL&);
    void EnsureCompatible();
    void PlaceAtStart();
    void StartPolling();
    LRESULT OnDetectEnded(UINT, WPARAM, LPARAM, BOOL&);
    void DestroyDetectThread();
    void SetAway(bool away);
    void OnWatchTimer();
    void TrimWorkingSet();

    // Showing a due action: the presenter's
    LRESULT OnActionDue(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLinkClicked(UINT, WPARAM, LPARAM, BOOL&);

    // Mouse, menus and commands
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOpenNavigation(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCloseNavigation(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHideNavigation(UINT, WPARAM, LPARAM, BOOL&);
    void TrackMenu(bool forTray);
    void OnExit();
    void OnHide();
    void OnShow();
    void OnTopmost();
    void OpenSettings(const wchar_t* page, const wchar_t* statistic);

    // What the animator and the presenter use of the window
    HWND MascotHwnd() const override { return Hwnd(); }
    void StartTimer(UINT_PTR id, UINT periodMs) override { SetTimer(id, periodMs); }
    void StopTimer(UINT_PTR id) override { KillTimer(id); }
    bool Topmost() const override;
    // No animation runs while nobody can see it.
    bool AnimationsPaused() const override { return hiddenByUser_ || away_; }
    bool AnimationHeld() const override { return leaving_ || presenter_.TipShowing(); }
    void CutShowingShort() override { presenter_.CutShowingShort(); }
    void LetGoOfShowing() override { presenter_.LetGoOfShowing(); }
    void FinishLeaving() override;
    bool Away() const override { return away_; }
    void CloseNavigation() override { ShowPopWnd(2); }

    MainWindowServices services_;
    CVynTipWnd tip_;
    // The one owner of the detect object: its thread is joined before it goes.
    std::unique_ptr<CDetectActionCondition> detect_;
    int detectRestarts_ = 0;
    bool sessionNotices_ = false;
    CMascotAnimator animator_;
    CActionPresenter presenter_;

    bool hiddenByUser_ = false;
    bool away_ = false;
    std::vector<PopButton> popButtons_;
    std::vector<std::unique_ptr<CVynPopWnd>> popWindows_;
    bool doubleClicked_ = false;
    bool navigationOpen_ = false;
    bool leaving_ = false;
    bool pollingStarted_ = false;
    bool positionRepaired_ = false;
    bool neckOpen_ = false;
    bool eyeOpen_ = false;
    RECT work_{};
    std::unique_ptr<CFirstTipWnd> firstTip_;
    bool placed_ = false;
    POINT lastPosition_{};
};

}  // namespace companion
