// The mascot's window: the one window the rest of the system talks to. It
// shows the due actions the detect thread hands over, plays the mascot's own
// animations, answers the mouse, the menus and the settings program's
// messages, and keeps the tray icon while the user has hidden it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "companion/actions/action_environment.h"
#include "companion/actions/detect_action_condition.h"
#include "companion/app/mascot_animations.h"
#include "companion/app/tray_icon.h"
#include "companion/ui/pop_buttons.h"
#include "companion/ui/showing_dialogs.h"
#include "companion/ui/vyn_pop_wnd.h"
#include "companion/ui/vyn_tip_wnd.h"
#include "protocol/window_messages.h"
#include "toolkit/bex_wnd_manager.h"
#include "winlib/handles.h"
#include "winlib/window.h"

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
    std::function<std::vector<IVynAction*>()> makeActions;  // default: the thirteen reminders
    DWORD pollPauseMs = CDetectActionCondition::kDefaultPauseMs;
};

// Timer ids of the main window.
enum MainWindowTimer : UINT_PTR {
    kTimerActionFrame = 1001,
    kTimerMascotFrame = 1002,
    kTimerWatch = 1004,
    kTimerLeavingFrame = 1005,
    kTimerTrimMemory = 1006,
    kTimerClick = 1008,
    kTimerClickAnimation = 1009,
    kTimerFirstRun = 1010,
    kTimerStartStatistic = 1011,
};

// Command ids of the menus.
enum MainWindowCommand : WORD {
    kCmdExit = 500,
    kCmdSettings = 501,
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

// The context menu (tray: "显示" in place of "隐藏"); the caller destroys it.
HMENU BuildMascotMenu(bool forTray, bool topmost);

class CMainWnd : public winlib::Window, public CBexWndManager, public CNBTray<CMainWnd> {
public:
    explicit CMainWnd(MainWindowServices services = MainWindowServices());
    ~CMainWnd() override;

    // The detect thread, once created (it lives as long as the process).
    CDetectActionCondition* DetectThread() const { return detect_; }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Mascot states: 0 idle, 1 leave, 2 interactive, 3 standing still, 4 after a click.
    void SetMascotState(int mode);
    // Opens (1) or closes the navigation: 0 only when the cursor is outside it, 2 always.
    void ShowPopWnd(int state);

    // CNBTray
    void ShowTrayMenu();
    void OnTrayClick();

    // State for tests and for the tip and navigation windows.
    bool TipShowing() const { return tipShowing_; }
    bool NavigationOpen() const { return navigationOpen_; }
    bool HiddenByUser() const { return hiddenByUser_; }
    bool Leaving() const { return leaving_; }
    bool PollingStarted() const { return pollingStarted_; }
    int PlayingRecord() const { return playing_; }
    const MascotAnimations& Animations() const { return animations_; }
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
    void SetAway(bool away);
    void OnWatchTimer();
    void TrimWorkingSet();
    bool Topmost() const;
    void ApplyZOrderAfterShowing();

    // Showing a due action
    LRESULT OnActionDue(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLinkClicked(UINT, WPARAM, LPARAM, BOOL&);
    void OnActionFired();
    void ShowTimedShutdown(const std::wstring& tip);
    void ShowFullScreenRest();
    void ShowOrdinary(std::wstring tip);
    void StepActionFrame();
    void EndShowing();
    // Cuts a shown action short; releases the detect thread unless a modal dialog runs.
    void CutShowingShort();
    void ReleaseDetectThread();
    bool ShownTipHas(const wchar_t* marker);

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
    void FinishLeaving();

    // Mascot animations
    void StartRecord(int index, UINT_PTR timer);
    void StepRecordFrame(UINT_PTR timer);
    void DrawFrame(HBITMAP strip, int frame, int cx, int cy);
    void ReleaseFrameStrip(HBITMAP strip);
    void KillClickAnimationTimer();
    void SetClickAnimationTimer();
    void DrawStanding();
    // No animation runs while nobody can see it.
    bool AnimationsPaused() const { return hiddenByUser_ || away_; }
    void ResumeAnimation();

    MainWindowServices services_;
    CVynTipWnd tip_;
    CDetectActionCondition* detect_ = nullptr;

    // The action being shown
    IVynAction* action_ = nullptr;
    std::wstring tipText_;
    std::wstring linkText_;
    int animationTime_ = 0, frames_ = 0, frameTime_ = 0, cx_ = 0, cy_ = 0;
    HBITMAP strip_ = nullptr;
    int frame_ = 0;
    int elapsed_ = 0;
    std::vector<ILinkBehavior*> linkBehaviors_;
    std::wstring shownMarkers_;  // the shown action's tip text as it came, markers included

    MascotAnimations animations_;
    int playing_ = -1;
    DWORD createdTick_;
    bool hiddenByUser_ = false;
    bool away_ = false;
    std::vector<PopButton> popButtons_;
    std::vector<std::unique_ptr<CVynPopWnd>> popWindows_;
    bool doubleClicked_ = false;
    bool tipShowing_ = false;
    bool navigationOpen_ = false;
    bool leaving_ = false;
    bool modalRunning_ = false;
    bool pollingStarted_ = false;
    bool positionRepaired_ = false;
    bool neckOpen_ = false;
    bool eyeOpen_ = false;
    RECT work_{};
    std::unique_ptr<CFirstTipWnd> firstTip_;
    winlib::MemoryDc frameDc_;
    HGDIOBJ frameDcDefault_ = nullptr;
    HBITMAP selectedStrip_ = nullptr;
    // The frame on the screen, so that an unchanged one is not pushed again.
    HBITMAP pushedStrip_ = nullptr;
    int pushedFrame_ = 0;
    bool clickAnimationPending_ = false;
    bool placed_ = false;
    POINT lastPosition_{};
};
