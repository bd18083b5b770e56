#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "companion/actions/maintenance_actions.h"
#include "companion/app/main_wnd.h"
#include "companion/app/position_rules.h"
#include "companion/app/startup.h"
#include "companion/system/desktop_shortcut.h"
#include "companion/system/power.h"
#include "companion/system/screen.h"
#include "companion/system/shared_settings.h"
#include "companion/system/paths.h"
#include "companion/system/ui_package.h"
#include "companion/system/web_identify.h"
#include "companion/ui/rest_schedule.h"
#include "tests/companion/fake_action_environment.h"
#include "tests/companion/prefix_state.h"
#include "tests/support/message_pump.h"
#include "tests/support/recording_power.h"
#include "tests/tools/gdi_handle_count.h"

using namespace companion;

namespace {

// ---- recording stand-ins for the window's services -------------------------

class RecordingDialogs : public IShowingDialogs {
public:
    INT_PTR RunCountdown(CountdownMode mode) override {
        calls.push_back(mode == kCountdownBeforeShutdown ? L"countdown shutdown" : L"countdown rest");
        if (duringCountdown) duringCountdown();
        return countdownResult;
    }
    bool RunFullScreenRest(int minutes, void (*beforeShow)(void*), void* context) override {
        calls.push_back(L"rest " + std::to_wstring(minutes));
        if (beforeShow) beforeShow(context);
        if (duringRest) duringRest();
        return true;
    }
    void RunNeckExercise() override { calls.push_back(L"neck"); }
    void RunEyeExercise() override { calls.push_back(L"eye"); }
    void RunFirstRunChooser(HWND) override { calls.push_back(L"chooser"); }

    INT_PTR countdownResult = 0;
    std::vector<std::wstring> calls;
    // What happens while the dialog is up (its modal loop runs the window).
    std::function<void()> duringCountdown, duringRest;
};

class RecordingTray : public ITrayShell {
public:
    bool Notify(DWORD message, NOTIFYICONDATAW* data) override {
        calls.push_back(message);
        sizes.push_back(data->cbSize);
        if (message == NIM_MODIFY && (data->uFlags & NIF_INFO)) balloons.push_back(data->szInfo);
        if (data->uFlags & NIF_TIP) tips.push_back(data->szTip);
        return true;
    }
    std::vector<DWORD> calls;
    std::vector<std::wstring> tips;
    std::vector<DWORD> sizes;
    std::vector<std::wstring> balloons;
};

// An action the test makes due; counts what the two threads did with it.
class ScriptedAction : public IVynAction, public ILinkBehavior {
public:
    ~ScriptedAction() override {
        if (deleted) *deleted = true;
        if (deletedOn) *deletedOn = ::GetCurrentThreadId();
    }
    bool CheckCondition() override {
        if (throwsLeft > 0 && throwsLeft-- > 0) throw std::bad_alloc();
        return due.exchange(false);
    }
    std::wstring GetTipText() override {
        ++tipAsked;
        return tip;
    }
    std::wstring GetLinkText() override { return link; }
    HBITMAP GetBitmap() override { return strip ? strip : nullptr; }
    int GetAnimationTime() override { return animationTime; }
    int GetFrames() override { return 4; }
    int GetFrameTime() override { return frameTime; }
    int GetCx() override { return 40; }
    int GetCy() override { return 40; }
    ILinkBehavior* GetLinkBehavior() override { return linkBehavior ? linkBehavior : this; }
    void SetScreenSaverRunning(bool) override {}
    void SetAway(bool v) override { away = v; }
    int OnDone() override {
        ++done;
        return 0;
    }
    int Execute(ILinkTargets&) override {
        ++executed;
        return 1;
    }

    std::atomic<bool> due{false};
    std::wstring tip = L"休息一下吧";
    std::wstring link;
    HBITMAP strip = nullptr;
    int animationTime = 1;
    int frameTime = 50;
    std::atomic<int> done{0};
    std::atomic<int> tipAsked{0};
    std::atomic<bool> away{false};
    int executed = 0;
    std::atomic<int> throwsLeft{0};  // scans that run out of memory first
    std::atomic<bool>* deleted = nullptr;
    DWORD* deletedOn = nullptr;
    ILinkBehavior* linkBehavior = nullptr;  // in place of its own
};

// One action handed to the window's factory (the detect thread owns it then).
OwnedActions Owned(IVynAction* action) {
    OwnedActions actions;
    actions.emplace_back(action);
    return actions;
}

// A fixed Pump stays only in front of a check that nothing more happened.
using testsupport::Pump;
using testsupport::PumpUntil;

std::wstring SkinPackage() {
    wchar_t bin[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEST_BIN_DIR", bin, MAX_PATH);
    return std::wstring(bin) + L"\\halvet.ui";
}

RECT WorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// A fresh Corvalle.ini, the real skin package unpacked, recording services.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        configBackup_.emplace(ConfigFilePath());
        ASSERT_TRUE(EnsureConfigFolder());
        WriteConfigString(L"vyn", L"compatible", L"true");
        WriteConfigString(L"vyn", L"firstruntip", L"false");
        SetPowerControl(&power_);
        action_ = new ScriptedAction();
    }
    void TearDown() override {
        window_.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        SetPowerControl(nullptr);
        configBackup_.reset();
    }

    // Without `settle` no message runs after the creation.
    void Create(bool settle = true) {
        MainWindowServices services;
        services.dialogs = &dialogs_;
        services.tray = &tray_;
        services.installPackage = [] {
            std::wstring appData;
            return GetAppDataDir(appData) &&
                   InstallUiPackageFrom(SkinPackage(), appData, [](const wchar_t*) {});
        };
        services.endProcess = [this] { ++ended_; };
        services.openPage = [this](const std::wstring& page) { pages_.push_back(page); };
        ScriptedAction* action = action_;
        services.makeActions = [action] { return Owned(action); };
        if (makeActions_) services.makeActions = makeActions_;
        if (environment_) services.environment = environment_;
        services.detectEvents = detectEvents_;
        services.pollPauseMs = 20;
        window_.emplace(services);
        ASSERT_TRUE(CreateMascotWindow(*window_));
        if (settle) Pump(50);
    }

    // Makes the action due and waits until the window has taken it (a
    // countdown or rest of the recording dialogs ends within the same message).
    void Fire(const std::wstring& tip) {
        action_->tip = tip;
        const int asked = action_->tipAsked.load();
        action_->due = true;
        ASSERT_TRUE(PumpUntil([&] { return action_->tipAsked.load() > asked; })) << testsupport::Narrow(tip);
    }

    std::optional<testsupport::FileBackup> configBackup_;
    RecordingDialogs dialogs_;
    RecordingTray tray_;
    // Only the kind of each request: the timed shutdown cases list no reasons.
    testsupport::RecordingPower power_{testsupport::RecordingPower::Detail::Short};
    ScriptedAction* action_ = nullptr;  // owned by the detect thread
    std::function<OwnedActions()> makeActions_;  // in place of the scripted action
    IActionEnvironment* environment_ = nullptr;  // in place of the system's clock
    CDetectActionCondition::EventMaker detectEvents_ = nullptr;
    int ended_ = 0;
    std::vector<std::wstring> pages_;
    std::optional<CMainWnd> window_;
};

// ---- creation and position -------------------------------------------------

TEST_F(MainWindowTest, StartsAsALayeredToolWindowAtTheDefaultPlace) {
    Create();
    const HWND hwnd = window_->Hwnd();
    EXPECT_EQ(::GetWindowLongW(hwnd, GWL_STYLE) & 0x86000000u, 0x86000000u);
    EXPECT_EQ(::GetWindowLongW(hwnd, GWL_EXSTYLE) & 0x80080, 0x80080);
    wchar_t className[32] = {};
    ::GetClassNameW(hwnd, className, 32);
    EXPECT_STREQ(className, L"Corvalle");
    wchar_t title[64] = {};
    ::GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(title, L"ZubVynmar");
    const RECT work = WorkArea();
    const RECT rc = window_->WindowRect();
    const POINT expected = ClampMascotPosition(DefaultMascotPosition(work), work);
    EXPECT_EQ(rc.left, expected.x);
    EXPECT_EQ(rc.top, expected.y);
    std::wstring topmost;
    ReadConfigString(topmost, L"vyn", L"topmost");
    EXPECT_EQ(topmost, L"false") << "an empty topmost key is written";
    EXPECT_TRUE(window_->PollingStarted());
    EXPECT_FALSE(window_->Animations().records.empty()) << "the skin's own strips are loaded";
}

TEST_F(MainWindowTest, TheMascotShowsItsFirstFrameWhenItIsCreated) {
    Create(false);
    // No message has run yet: no timer of the strip has come.
    const RECT rc = window_->WindowRect();
    const AnimationRecord& idle = window_->Animations().records.at(window_->PlayingRecord());
    EXPECT_EQ(rc.right - rc.left, idle.cx);
    EXPECT_EQ(rc.bottom - rc.top, idle.cy);
}

TEST_F(MainWindowTest, ASavedPositionInsideTheWorkAreaIsUsed) {
    WriteConfigString(L"vynpos", L"x", L"300");
    WriteConfigString(L"vynpos", L"y", L"200");
    Create();
    const RECT rc = window_->WindowRect();
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 200);
}

TEST(PositionRulesTest, SavedPositionsOutsideTheWorkAreaFallBack) {
    const RECT work{0, 0, 1280, 984};
    const SIZE standing{120, 142};
    EXPECT_EQ(InitialMascotPosition(L"300", L"200", work, standing).x, 300);
    for (const auto& xy : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"", L"200"}, {L"300", L""}, {L"0", L"200"}, {L"1200", L"200"}, {L"300", L"900"}, {L"-5", L"-5"}}) {
        const POINT p = InitialMascotPosition(xy.first, xy.second, work, standing);
        EXPECT_EQ(p.x, 1280 - 120);
        EXPECT_EQ(p.y, 984 - 142);
    }
}

TEST(PositionRulesTest, MovesAreClampedIntoTheMascotsBand) {
    const RECT work{0, 0, 1280, 984};
    EXPECT_EQ(ClampMascotPosition(POINT{0, 0}, work).x, 85);
    EXPECT_EQ(ClampMascotPosition(POINT{0, 64}, work).y, 65);
    EXPECT_EQ(ClampMascotPosition(POINT{0, 65}, work).y, 65);
    EXPECT_EQ(ClampMascotPosition(POINT{5000, 5000}, work).x, 1280 - 178);
    EXPECT_EQ(ClampMascotPosition(POINT{5000, 5000}, work).y, 984 - 120);
    EXPECT_EQ(ClampMascotPosition(POINT{400, 300}, work).x, 400);
}

TEST(PositionRulesTest, TheNextRestTimeWrapsOverMidnight) {
    EXPECT_EQ(NextRestTime(9, 30, 45), L"1015");
    EXPECT_EQ(NextRestTime(23, 50, 20), L"0010");
    EXPECT_EQ(NextRestTime(0, 0, 0), L"0000");
    EXPECT_EQ(NextRestTime(22, 0, 26 * 60), L"0000");
}

TEST_F(MainWindowTest, AMoveToTheCornerIsRepairedOnce) {
    Create();
    ::SetWindowPos(window_->Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT work = WorkArea();
    const POINT home = ClampMascotPosition(DefaultMascotPosition(work), work);
    EXPECT_EQ(window_->WindowRect().left, home.x) << "moved to (85, 65), then home again";
    EXPECT_EQ(window_->WindowRect().top, home.y);
}

TEST_F(MainWindowTest, TheFirstRunShowsTheChooserAndTheTipBeforePolling) {
    // A desktop shortcut left by an earlier confirmed chooser would skip it.
    testsupport::FileBackup shortcut(DesktopShortcutPath());
    WriteConfigString(L"vyn", L"firstruntip", L"");
    Create();
    std::wstring firstRun;
    ReadConfigString(firstRun, L"vyn", L"firstruntip");
    EXPECT_EQ(firstRun, L"false");
    EXPECT_EQ(dialogs_.calls, std::vector<std::wstring>{L"chooser"});
    EXPECT_FALSE(window_->PollingStarted());
    EXPECT_NE(::FindWindowW(L"CorvalleFirstTipWnd", nullptr), nullptr);
    // A right click (or the five-second timer) ends the first-run tip.
    window_->Window::SendMessage(WM_TIMER, kTimerFirstRun);
    EXPECT_TRUE(window_->PollingStarted());
}

// ---- showing due actions ---------------------------------------------------

TEST_F(MainWindowTest, AnOrdinaryActionShowsItsTipAndLinkAndEndsAfterItsTime) {
    action_->link = L"做颈椎操";
    Create();
    Fire(L"休息一下吧");
    EXPECT_TRUE(::IsWindowVisible(window_->Tip().Hwnd()));
    EXPECT_EQ(action_->done.load(), 0) << "the thread waits while the tip shows";

    ::PostMessageW(window_->Hwnd(), WM_TIP_LINK_CLICKED, 0, 0);
    ::PostMessageW(window_->Hwnd(), WM_TIP_LINK_CLICKED, 7, 0);  // past the list: nothing
    ASSERT_TRUE(PumpUntil([&] { return action_->executed == 1; }));

    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }, 5000)) << "the showing ends after a second";
    EXPECT_FALSE(window_->TipShowing());
    EXPECT_FALSE(::IsWindowVisible(window_->Tip().Hwnd()));
    Pump(200);
    EXPECT_EQ(action_->done.load(), 1) << "released exactly once";
}

TEST_F(MainWindowTest, ADueJunkCheckShowsItsTipWithTheCleanUpLink) {
    delete action_;  // the real check takes its place
    action_ = nullptr;
    FakeActionEnvironment env;  // read by the detect thread only from here on
    env.Set(L"VynTrashClean", L"tiptext", L"垃圾文件太多了");
    env.Set(L"VynTrashClean", L"animationtime", L"1");
    env.Set(L"VynTrashClean", L"frametime", L"50");
    SharedSettings settings;
    settings.WiseHealthAlert = true;
    std::wstring testDir;
    ASSERT_TRUE(GetExeDir(testDir));
    ::SetEnvironmentVariableW(L"DROVASK_SIZE_1", L"209715200");
    ::SetEnvironmentVariableW(L"DROVASK_SIZE_105", L"0");
    IVynAction* junk = new CActionTrashClean(env, settings, testDir + L"drovask_double.dll");
    env.tick += CActionTrashClean::kDelayMs + 1;  // before the detect thread reads the clock
    makeActions_ = [junk] { return Owned(junk); };
    Create();
    ASSERT_TRUE(PumpUntil([&] { return window_->TipShowing(); }, 10000));
    const CSubVynTip& sub = window_->Tip().Sub();
    EXPECT_EQ(sub.ShownLine(0), L"垃圾文件太多了");
    bool linkShown = false;
    for (size_t i = 0; i < sub.LineCount(); ++i) linkShown = linkShown || sub.ShownLine(i) == L"垃圾清理";
    EXPECT_TRUE(linkShown);
    window_.reset();  // the detect thread ends before the world it reads
}

TEST_F(MainWindowTest, AShowingWithoutAStripOrFrameTimeStillEnds) {
    action_->frameTime = 0;
    action_->strip = nullptr;
    Create();
    Fire(L"喝水");
    EXPECT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }, 5000));
}

TEST_F(MainWindowTest, ATimedShutdownRunsTheCountdownThenItsStyle) {
    const struct {
        const wchar_t* tip;
        INT_PTR countdown;
        bool away;
        std::vector<std::wstring> power;
    } cases[] = {
        {L"$shutdown$5", 0, false, {L"suspend"}},
        {L"$shutdown$3", 0, false, {L"lock"}},
        {L"$shutdown$2", 0, false, {L"exit 0"}},
        {L"$shutdown$1", 0, false, {L"exit 8"}},
        {L"$shutdown$0", 0, true, {L"exit 12", L"initiate poweroff"}},
        {L"$shutdown$4", 0, true, {L"exit 6", L"initiate reboot"}},
        {L"$shutdown$7", 0, false, {}},
        {L"$shutdown$12", 0, false, {}},
        {L"$shutdown$1", 1, false, {}},  // the user declined
    };
    Create();
    int released = 0;
    for (const auto& c : cases) {
        power_.calls.clear();
        dialogs_.calls.clear();
        dialogs_.countdownResult = c.countdown;
        window_->Window::SendMessage(WM_POWERBROADCAST, c.away ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC);
        WriteConfigString(L"vyn", L"lastshutdowntime", L"");
        Fire(c.tip);
        ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == released + 1; })) << testsupport::Narrow(c.tip);
        ++released;
        EXPECT_EQ(dialogs_.calls, std::vector<std::wstring>{L"countdown shutdown"});
        EXPECT_EQ(power_.calls, c.power) << testsupport::Narrow(c.tip);
        std::wstring stamp;
        ReadConfigString(stamp, L"vyn", L"lastshutdowntime");
        EXPECT_EQ(stamp.size(), 12u);
        Pump(30);
    }
    Pump(100);
    EXPECT_EQ(action_->done.load(), released) << "one release per showing";
}

TEST_F(MainWindowTest, ATimedShutdownThatCannotBeStampedDoesNotShutDown) {
    Create();
    WriteConfigString(L"vyn", L"lastshutdowntime", L"");
    // Another program holds the file: nothing can be written to it.
    base::FileHandle held(::CreateFileW(ConfigFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                          nullptr));
    ASSERT_TRUE(held.Valid());
    ASSERT_NE(WriteConfigString(L"vyn", L"probe", L"1"), 0);
    action_->tip = L"$shutdown$1";
    action_->due = true;
    const bool released = PumpUntil([&] { return action_->done.load() == 1; });
    held.Reset();
    ASSERT_TRUE(released) << "polling goes on";
    EXPECT_FALSE(window_->TipShowing()) << "the showing has ended";
    EXPECT_TRUE(power_.calls.empty());
    EXPECT_TRUE(dialogs_.calls.empty()) << "no countdown to a shutdown that will not come";
}

TEST_F(MainWindowTest, TheRestModeRunsAfterItsCountdownAndRecordsItsTimes) {
    WriteConfigString(L"eye", L"resttime", L"5");
    Create();
    ReadEyeConfig();
    SharedSettings::Instance().RestBegin = 0;
    SharedSettings::Instance().RestEnd = 0;
    Fire(L"$eyeguardian$");
    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }));
    EXPECT_EQ(dialogs_.calls, (std::vector<std::wstring>{L"countdown rest", L"rest 5"}));
    EXPECT_NE(SharedSettings::Instance().RestBegin.load(), 0);
    EXPECT_GE(SharedSettings::Instance().RestEnd.load(), SharedSettings::Instance().RestBegin.load());
    EXPECT_FALSE(action_->away) << "away only while the rest mode showed";

    dialogs_.calls.clear();
    dialogs_.countdownResult = 1;
    SharedSettings::Instance().RestEnd = 0;
    Fire(L"$eyeguardian$");
    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 2; }));
    EXPECT_EQ(dialogs_.calls, std::vector<std::wstring>{L"countdown rest"});
    EXPECT_NE(SharedSettings::Instance().RestEnd.load(), 0) << "stored even when the countdown is cancelled";
}

// A lock or a suspend during the countdown or the rest, or after it.
TEST_F(MainWindowTest, TheMascotAnimatesAgainAfterARestOrTimedShutdownAndALock) {
    FakeActionEnvironment clock;
    environment_ = &clock;
    Create();
    const auto notice = [this](UINT msg, WPARAM what) { window_->Window::SendMessage(msg, what); };
    const std::function<void()> lock = [&] {
        notice(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
        notice(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    };
    const std::function<void()> suspend = [&] {
        notice(WM_POWERBROADCAST, PBT_APMSUSPEND);
        notice(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    };
    const auto playing = [this] { return window_->Animations().records[window_->PlayingRecord()].elapsed; };
    const auto showAndEnd = [&](const wchar_t* tip, INT_PTR countdown, std::function<void()> inCountdown,
                                std::function<void()> inRest) {
        dialogs_.countdownResult = countdown;
        dialogs_.duringCountdown = std::move(inCountdown);
        dialogs_.duringRest = std::move(inRest);
        const int done = action_->done.load();
        Fire(tip);
        ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == done + 1; }));
        EXPECT_FALSE(window_->TipShowing());
    };
    const struct {
        const wchar_t* tip;
        INT_PTR countdown;  // 0: the rest runs; 1: the shutdown is declined
        std::function<void()> inCountdown, inRest, after;
    } cases[] = {
        {L"$eyeguardian$", 0, lock, nullptr, nullptr}, {L"$eyeguardian$", 0, suspend, nullptr, nullptr},
        {L"$eyeguardian$", 0, nullptr, lock, nullptr}, {L"$eyeguardian$", 0, nullptr, suspend, nullptr},
        {L"$shutdown$1", 1, lock, nullptr, nullptr},   {L"$shutdown$1", 1, suspend, nullptr, nullptr},
        {L"$eyeguardian$", 0, nullptr, nullptr, lock}, {L"$shutdown$1", 1, nullptr, nullptr, lock},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        showAndEnd(cases[i].tip, cases[i].countdown, cases[i].inCountdown, cases[i].inRest);
        if (cases[i].after) cases[i].after();
        const int elapsed = playing();
        EXPECT_TRUE(PumpUntil([&] { return playing() != elapsed; })) << "the frames advance again";
    }
    // Still locked when the rest ends: the strip waits for the unlock.
    showAndEnd(L"$eyeguardian$", 0, nullptr, [&] { notice(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK); });
    const int elapsed = playing();
    Pump(300);
    EXPECT_EQ(playing(), elapsed) << "no frames while away";
    notice(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    EXPECT_TRUE(PumpUntil([&] { return playing() != elapsed; }));
    window_.reset();  // the detect thread ends before the clock it reads
}

TEST_F(MainWindowTest, MarkersInsideAUsersTextAreShownNotObeyed) {
    Create();
    Fire(L"$custom$记得 $shutdown$1 和 $eyeguardian$");
    Pump(100);
    EXPECT_TRUE(dialogs_.calls.empty()) << "no countdown, no rest mode";
    EXPECT_TRUE(power_.calls.empty());
    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }));
}

// Between the thread's post and the window's claim nothing is shown, so no
// path that cuts a showing short may release the thread: the queued message
// must still find its action.
TEST_F(MainWindowTest, AHideOrClickWithNothingShownReleasesNothing) {
    const struct {
        const char* path;
        std::function<void(CMainWnd&)> run;
        bool leaves;
    } cases[] = {
        {"double click", [](CMainWnd& w) { w.Window::SendMessage(WM_LBUTTONDBLCLK); }, false},
        {"timer 1009", [](CMainWnd& w) { w.Window::SendMessage(WM_TIMER, kTimerClickAnimation); }, false},
        {"open and close the navigation",
         [](CMainWnd& w) {
             w.Window::SendMessage(WM_OPEN_NAVIGATION);
             w.Window::SendMessage(WM_CLOSE_NAVIGATION);
         },
         false},
        {"state 2", [](CMainWnd& w) { w.SetMascotState(2); }, false},
        {"state 3", [](CMainWnd& w) { w.SetMascotState(3); }, false},
        {"state 4", [](CMainWnd& w) { w.SetMascotState(4); }, false},
        {"hide and show from the tray",
         [](CMainWnd& w) {
             w.Window::SendMessage(WM_COMMAND, kCmdHide);
             w.Window::SendMessage(WM_TRAY_NOTIFY, 0, WM_LBUTTONUP);
         },
         false},
        {"exit", [](CMainWnd& w) { w.Window::SendMessage(WM_COMMAND, kCmdExit); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (window_) window_.reset();  // its thread deletes the action
        else delete action_;
        action_ = new ScriptedAction();
        action_->animationTime = 0;
        ended_ = 0;
        Create();
        action_->due = true;
        // Waits for the post without dispatching it.
        MSG queued;
        ASSERT_TRUE(testsupport::WaitUntil(
            [&] { return ::PeekMessageW(&queued, window_->Hwnd(), WM_ACTION_DUE, WM_ACTION_DUE, PM_NOREMOVE) != 0; },
            5000));
        c.run(*window_);
        if (c.leaves) {
            ASSERT_TRUE(PumpUntil([&] { return ended_ == 1 && action_->done.load() == 1; }, 15000));
            EXPECT_EQ(action_->tipAsked.load(), 0) << "nothing is shown while leaving";
        } else {
            ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }));
            EXPECT_EQ(action_->tipAsked.load(), 1) << "the posted action is shown";
        }
        Pump(100);
        EXPECT_EQ(action_->done.load(), 1) << "released exactly once";
    }
}

TEST_F(MainWindowTest, ClosingTheWindowStopsTheDetectThread) {
    DWORD destroyedOn = 0;
    action_->deletedOn = &destroyedOn;
    Create();
    HANDLE copy = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), window_->DetectThread()->ThreadHandle(),
                                  ::GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0));
    base::Thread thread(copy);
    window_.reset();  // deletes the action with the thread
    action_ = nullptr;
    EXPECT_EQ(::WaitForSingleObject(thread.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(destroyedOn, ::GetCurrentThreadId()) << "the window destroys what it joined";
}

TEST_F(MainWindowTest, OnlyTheEndNoticeOfTheFailedThreadIsActedOn) {
    action_->throwsLeft = 1;
    Create(false);
    // The failed thread's notice, queued, not yet handled.
    MSG queued;
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] { return ::PeekMessageW(&queued, window_->Hwnd(), WM_DETECT_ENDED, WM_DETECT_ENDED, PM_NOREMOVE) != 0; }));
    const WPARAM failed = window_->DetectThread()->ThreadId();
    EXPECT_EQ(queued.wParam, failed) << "the notice names its thread";
    window_->Window::SendMessage(WM_DETECT_ENDED, failed + 1);
    EXPECT_EQ(window_->DetectThread()->ThreadId(), failed) << "a notice about another thread changes nothing";
    ASSERT_TRUE(PumpUntil([&] { return window_->DetectThread()->ThreadId() != failed; })) << "started again";
    action_->due = true;
    EXPECT_TRUE(PumpUntil([&] { return action_->done.load() == 1; })) << "the reminders go on";
}

TEST_F(MainWindowTest, ALinkClickedAfterItsActionWentDoesNothing) {
    ScriptedAction link;  // a link behaviour that outlives the action
    action_->link = L"做颈椎操";
    action_->linkBehavior = &link;
    std::atomic<bool> deleted{false};
    action_->deleted = &deleted;
    Create();
    Fire(L"休息一下吧");
    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }, 5000));
    action_->throwsLeft = 1000;  // every scan fails from now on: the window gives up on the thread
    ASSERT_TRUE(PumpUntil([&] { return window_->DetectThread() == nullptr; }));
    ASSERT_TRUE(deleted);
    action_ = nullptr;
    window_->Window::SendMessage(WM_TIP_LINK_CLICKED, 0);
    EXPECT_EQ(link.executed, 0);
}

std::atomic<int> g_eventsRefused{0};

TEST_F(MainWindowTest, ADetectThreadWithoutEventsIsLetGoByTheWindowOnly) {
    std::atomic<bool> deleted{false};
    action_->deleted = &deleted;
    detectEvents_ = []() -> HANDLE {
        ++g_eventsRefused;
        return nullptr;
    };
    Create();
    ASSERT_TRUE(PumpUntil([&] { return window_->DetectThread() == nullptr; })) << "the window gave up on it";
    EXPECT_TRUE(deleted);
    const int asked = g_eventsRefused.load();
    Pump(300);
    EXPECT_EQ(g_eventsRefused.load(), asked) << "no more tries";
    action_ = nullptr;
}

TEST_F(MainWindowTest, AScanThatThrowsEndsItsThreadAndANewOneTakesOver) {
    std::atomic<bool> deleted{false};
    action_->deleted = &deleted;
    action_->throwsLeft = 1000;
    Create();
    ASSERT_TRUE(PumpUntil([&] { return window_->DetectThread() == nullptr; })) << "a few tries, then none";
    EXPECT_TRUE(deleted);

    window_.reset();
    action_ = new ScriptedAction();
    action_->throwsLeft = 2;
    Create();
    action_->due = true;
    EXPECT_TRUE(PumpUntil([&] { return action_->done.load() == 1; })) << "the reminders go on";
}

TEST_F(MainWindowTest, AStrayActionMessageIsIgnored) {
    Create();
    EXPECT_EQ(window_->Window::SendMessage(WM_ACTION_DUE, 0x12345678, 0), 1);
    EXPECT_EQ(window_->Window::SendMessage(WM_ACTION_DUE, reinterpret_cast<WPARAM>(action_), 0), 1);
    EXPECT_FALSE(window_->TipShowing());
}

// ---- hide, show, tray ------------------------------------------------------

TEST_F(MainWindowTest, HidingPutsTheIconInTheTrayAndAClickBringsTheMascotBack) {
    Create();
    window_->Window::SendMessage(WM_COMMAND, kCmdHide);
    EXPECT_FALSE(::IsWindowVisible(window_->Hwnd()));
    EXPECT_TRUE(window_->HiddenByUser());
    ASSERT_FALSE(tray_.calls.empty());
    EXPECT_EQ(tray_.calls[0], static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tray_.balloons, std::vector<std::wstring>{L"我在这里哦！"});
    // The record up to the item GUID, which every shell accepts: 952 bytes on
    // 32-bit Windows.
    const size_t upToItemGuid = offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID);
    for (DWORD size : tray_.sizes) {
        EXPECT_EQ(size, upToItemGuid) << "the record size every shell accepts";
        if (sizeof(void*) == 4) {
            EXPECT_EQ(size, 952u);
        }
    }

    tray_.calls.clear();
    window_->Window::SendMessage(WM_TRAY_NOTIFY, 0, WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(window_->Hwnd()));
    EXPECT_FALSE(window_->HiddenByUser());
    EXPECT_EQ(tray_.calls, std::vector<DWORD>{NIM_DELETE});

    window_->Window::SendMessage(WM_COMMAND, kCmdHide);
    EXPECT_EQ(tray_.balloons.size(), 1u) << "the balloon comes only the first time";
}

TEST_F(MainWindowTest, TheIconComesBackWhenTheShellRestarts) {
    Create();
    window_->Window::SendMessage(::RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_TRUE(tray_.calls.empty()) << "no icon while the mascot is visible";
    window_->Window::SendMessage(WM_COMMAND, kCmdHide);
    tray_.calls.clear();
    window_->Window::SendMessage(::RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_EQ(tray_.calls, std::vector<DWORD>{NIM_ADD});
    tray_.calls.clear();
    window_->Window::SendMessage(::RegisterWindowMessageW(L"ZubEraseTool"));
    EXPECT_EQ(tray_.calls, std::vector<DWORD>{NIM_ADD});
}

TEST_F(MainWindowTest, HidingCutsAShowingShortAndReleasesTheThread) {
    action_->animationTime = 60;
    Create();
    Fire(L"休息一下吧");
    window_->Window::SendMessage(WM_COMMAND, kCmdHide);
    EXPECT_FALSE(window_->TipShowing());
    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }));
}

TEST_F(MainWindowTest, AReminderOverAHiddenMascotGivesWayToAFullScreenProgram) {
    action_->animationTime = 60;
    Create();
    window_->Window::SendMessage(WM_COMMAND, kCmdHide);
    Fire(L"休息一下吧");
    ASSERT_TRUE(::IsWindowVisible(window_->Tip().Hwnd()));

    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MainWindowTestFullScreen";
    ::RegisterClassW(&wc);
    HWND full = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ASSERT_NE(full, nullptr);
    ASSERT_TRUE(PumpUntil([] { return IsFullScreenAppRunning(); }));
    window_->Window::SendMessage(WM_TIMER, kTimerWatch);
    EXPECT_FALSE(::IsWindowVisible(window_->Tip().Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(window_->Hwnd()));
    ::DestroyWindow(full);
}

TEST_F(MainWindowTest, TopmostTogglesTheSettingAndTheWindow) {
    Create();
    window_->Window::SendMessage(WM_COMMAND, kCmdTopmost);
    std::wstring topmost;
    ReadConfigString(topmost, L"vyn", L"topmost");
    EXPECT_EQ(topmost, L"true");
    // The window's own topmost bit is not checked here: the test platform
    // refuses it to a window that owns a topmost window (the tip bubble),
    // which a real system allows.
    window_->Window::SendMessage(WM_COMMAND, kCmdTopmost);
    ReadConfigString(topmost, L"vyn", L"topmost");
    EXPECT_EQ(topmost, L"false");
    EXPECT_FALSE(::GetWindowLongW(window_->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(MascotMenuTest, HoldsTheItemsInOrderWithShowOrHide) {
    for (bool tray : {false, true}) {
        const base::Menu owner = BuildMascotMenu(tray, true);
        const HMENU menu = owner.Get();
        ASSERT_NE(menu, nullptr);
        const UINT expected[] = {504, 505, 507, 508, 509, 501, tray ? 503u : 502u, 0, 500};
        ASSERT_EQ(::GetMenuItemCount(menu), 9);
        for (int i = 0; i < 9; ++i) EXPECT_EQ(::GetMenuItemID(menu, i), expected[i]) << i;
        EXPECT_TRUE(::GetMenuState(menu, 505, MF_BYCOMMAND) & MF_CHECKED);
        wchar_t text[32] = {};
        ::GetMenuStringW(menu, 6, text, 32, MF_BYPOSITION);
        EXPECT_STREQ(text, tray ? L"显示" : L"隐藏");
    }
    const base::Menu plainOwner = BuildMascotMenu(false, false);
    const HMENU plain = plainOwner.Get();
    EXPECT_FALSE(::GetMenuState(plain, 505, MF_BYCOMMAND) & MF_CHECKED);
}

TEST(TrayTipTest, ALongTipIsCutToTheRecordsSixtyThreeCharacters) {
    NOTIFYICONDATAW data{};
    SetTrayTip(data, std::wstring(100, L'x'));
    EXPECT_EQ(std::wstring(data.szTip), std::wstring(63, L'x'));
}

struct LongTipTray : CNBTray<LongTipTray> {
    explicit LongTipTray(ITrayShell& shell) : CNBTray(shell, std::wstring(100, L'x')) {}
    void ShowTrayMenu() {}
    void OnTrayClick() {}
};

TEST(TrayTipTest, TheIconsOwnCallsCutALongTip) {
    RecordingTray shell;
    LongTipTray tray(shell);
    const HWND owner = ::GetDesktopWindow();
    LRESULT result = 0;
    tray.ProcessTrayMessage(owner, WM_TRAY_NOTIFY, 0, WM_MOUSEMOVE, result);
    tray.AddIcon(owner);
    ASSERT_EQ(shell.calls, (std::vector<DWORD>{NIM_MODIFY, NIM_ADD}));
    EXPECT_EQ(shell.tips, std::vector<std::wstring>(2, std::wstring(63, L'x')));
}

// ---- navigation, exercises, leaving ----------------------------------------

TEST_F(MainWindowTest, TheNavigationOpensOnceAndIsThenOnlyShownAndHidden) {
    Create();
    window_->Window::SendMessage(WM_OPEN_NAVIGATION);
    EXPECT_TRUE(window_->NavigationOpen());
    ASSERT_FALSE(window_->PopWindows().empty());
    const HWND first = window_->PopWindows()[0]->Hwnd();
    EXPECT_EQ(window_->Window::SendMessage(WM_CLOSE_NAVIGATION), 1);
    EXPECT_FALSE(window_->NavigationOpen());
    EXPECT_FALSE(::IsWindowVisible(first));
    window_->Window::SendMessage(WM_OPEN_NAVIGATION);
    EXPECT_EQ(window_->PopWindows()[0]->Hwnd(), first) << "made once";
}

TEST_F(MainWindowTest, ClickingWhileATipShowsReleasesTheThreadAtOnce) {
    action_->animationTime = 60;
    Create();
    Fire(L"休息一下吧");
    window_->Window::SendMessage(WM_OPEN_NAVIGATION);
    EXPECT_TRUE(window_->NavigationOpen());
    EXPECT_FALSE(window_->TipShowing());
    ASSERT_TRUE(PumpUntil([&] { return action_->done.load() == 1; }));
}

TEST_F(MainWindowTest, ExerciseMessagesOpenTheirDialogs) {
    Create();
    EXPECT_EQ(window_->Window::SendMessage(protocol::WM_SHOW_NECK_EXERCISE), 1);
    EXPECT_EQ(window_->Window::SendMessage(protocol::WM_SHOW_EYE_EXERCISE), 1);
    EXPECT_EQ(window_->Window::SendMessage(WM_SHOW_EYE_EXERCISE_ALT), 1);
    EXPECT_EQ(dialogs_.calls, (std::vector<std::wstring>{L"neck", L"eye", L"eye"}));
}

std::vector<UINT>* g_settingsMessages = nullptr;

LRESULT CALLBACK SettingsStandInProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m >= WM_USER && g_settingsMessages) g_settingsMessages->push_back(m);
    return ::DefWindowProcW(h, m, w, l);
}

TEST_F(MainWindowTest, LeavingPlaysItsStripTellsTheSettingsProgramAndEnds) {
    WNDCLASSW wc{};
    std::vector<UINT> received;
    g_settingsMessages = &received;
    wc.lpfnWndProc = SettingsStandInProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TFormCorvalleOption";
    ::RegisterClassW(&wc);
    HWND settings = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      wc.hInstance, nullptr);
    Create();
    window_->Window::SendMessage(WM_COMMAND, kCmdExit);
    EXPECT_TRUE(window_->Leaving());
    window_->Window::SendMessage(WM_OPEN_NAVIGATION);
    EXPECT_FALSE(window_->NavigationOpen()) << "no navigation while leaving";
    window_->Window::SendMessage(WM_COMMAND, kCmdHide);
    EXPECT_FALSE(window_->HiddenByUser()) << "no hide while leaving";
    window_->Window::SendMessage(::RegisterWindowMessageW(L"ZubEraseTool"));
    EXPECT_TRUE(tray_.calls.empty() || tray_.calls.back() != static_cast<DWORD>(NIM_ADD)) << "no icon comes back";
    ASSERT_TRUE(PumpUntil([&] { return ended_ == 1; }, 15000));
    PumpUntil([&] { return !received.empty(); });
    EXPECT_EQ(received, std::vector<UINT>{protocol::WM_CLOSE_SETTINGS});
    std::wstring x;
    ReadConfigString(x, L"vynpos", L"x");
    EXPECT_EQ(x, std::to_wstring(window_->WindowRect().left));
    ::DestroyWindow(settings);
    g_settingsMessages = nullptr;
}

// ---- drawing ----------------------------------------------------------------

long OwnGdiObjects() {
    return gdi_count::CountGdiHandles(::GetCurrentProcess(), ::GetCurrentProcessId());
}

TEST_F(MainWindowTest, GdiObjectsStayFlatOverFullCyclesOfEveryAnimation) {
    Create();
    const MascotAnimations& a = window_->Animations();
    ASSERT_GT(a.idleCount, 2);
    const int touch = a.leavingIndex + 1;
    ASSERT_LT(touch, static_cast<int>(a.records.size()));
    ASSERT_TRUE(a.records[touch].hasHitAreas);
    auto step = [&](UINT_PTR timer) { window_->Window::SendMessage(WM_TIMER, timer); };
    // Steps until the playing record ends, and a few of the next one.
    auto playOut = [&](UINT_PTR timer) {
        const AnimationRecord& r = a.records[window_->PlayingRecord()];
        const int steps = r.animationTime * 1000 / r.frameTime + 1;
        for (int i = 0; i < steps + 3; ++i) step(timer);
    };
    // The first frame makes the drawing DC; from then on nothing may grow.
    step(kTimerMascotFrame);
    const long start = OwnGdiObjects();
    ASSERT_GT(start, 0);

    playOut(kTimerMascotFrame);
    EXPECT_EQ(start, OwnGdiObjects()) << "a full idle play and the next start";

    // A double click on the first interactive strip's first hit rectangle.
    const RECT hit = a.records[touch].hitRects[0];
    const RECT rc = window_->WindowRect();
    ASSERT_TRUE(::SetCursorPos(rc.left + (hit.left + hit.right) / 2, rc.top + (hit.top + hit.bottom) / 2));
    window_->SetMascotState(2);
    ASSERT_EQ(touch, window_->PlayingRecord());
    playOut(kTimerMascotFrame);
    EXPECT_LT(window_->PlayingRecord(), a.idleCount) << "back to idle";
    EXPECT_EQ(start, OwnGdiObjects()) << "a full interactive play and idle again";

    window_->Window::SendMessage(WM_COMMAND, kCmdExit);
    ASSERT_TRUE(window_->Leaving());
    ASSERT_EQ(a.leavingIndex, window_->PlayingRecord());
    for (int i = 0; i < 100 && ended_ == 0; ++i) {
        step(kTimerLeavingFrame);
        if (ended_ == 0) {
            EXPECT_EQ(start, OwnGdiObjects()) << "leaving, frame " << i;
        }
    }
    EXPECT_EQ(1, ended_);
}

TEST_F(MainWindowTest, ProgramListCommandsDoNothing) {
    Create();
    window_->Window::SendMessage(WM_COMMAND, 506);
    window_->Window::SendMessage(WM_COMMAND, 600);
    window_->Window::SendMessage(WM_COMMAND, 900);
    EXPECT_TRUE(::IsWindowVisible(window_->Hwnd()));
    EXPECT_FALSE(window_->Leaving());
}

// ---- messages from the system and the settings program ---------------------

TEST_F(MainWindowTest, SystemAndSettingsMessagesAreAnswered) {
    Create();
    COPYDATASTRUCT data{3, 0, nullptr};
    EXPECT_EQ(window_->Window::SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
    EXPECT_EQ(window_->Window::SendMessage(WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);
    EXPECT_TRUE(action_->away);
    EXPECT_EQ(window_->Window::SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC), TRUE);
    EXPECT_FALSE(action_->away) << "an automatic resume ends the away state too";
    window_->Window::SendMessage(WM_WTSSESSION_CHANGE, 7);
    EXPECT_TRUE(action_->away);
    window_->Window::SendMessage(WM_WTSSESSION_CHANGE, 8);
    EXPECT_FALSE(action_->away);

    window_->Window::SendMessage(WM_CLOSE);
    EXPECT_TRUE(window_->IsWindow()) << "only the exit command ends the mascot";
    EXPECT_EQ(window_->Window::SendMessage(protocol::WM_SETTINGS_RESERVED), 1);

    ASSERT_EQ(WriteConfigString(L"vyn", L"CityCode", L"101280101"), 0);
    EXPECT_EQ(window_->Window::SendMessage(protocol::WM_SETTINGS_CHANGED), 1);
    EXPECT_EQ(SharedSettings::Instance().CityCode.Get(), L"101280101");

    ASSERT_EQ(WriteConfigString(L"eye", L"interval", L"30"), 0);
    SharedSettings::Instance().EyeClockStart = 0;
    const DWORD before = ::GetTickCount();
    EXPECT_EQ(window_->Window::SendMessage(protocol::WM_REST_SETTINGS_CHANGED), 1);
    EXPECT_EQ(SharedSettings::Instance().Interval.load(), 30);
    EXPECT_LT(SharedSettings::Instance().EyeClockStart.load() - before, 5000u);
    EXPECT_EQ(window_->Window::SendMessage(protocol::WM_REPORT_SETTINGS_EVENT, 99), 1);
}

TEST_F(MainWindowTest, WithoutTheProductTheWebIdentifyBindingStaysEmpty) {
    Create();
    WebIdentifyBinding* binding = SharedSettings::Instance().WebIdentify.load();
    ASSERT_NE(binding, nullptr);
    EXPECT_FALSE(binding->Bound());
}

TEST_F(MainWindowTest, ABrokenPackageEndsTheProgram) {
    MainWindowServices services;
    services.dialogs = &dialogs_;
    services.tray = &tray_;
    services.installPackage = [] { return false; };
    services.endProcess = [this] { ++ended_; };
    services.openPage = [this](const std::wstring& page) { pages_.push_back(page); };
    services.makeActions = [] { return OwnedActions(); };
    // The message box of this path is answered by the end-to-end test; here
    // the package check is given a watcher that closes it.
    std::thread closer([] {
        for (int i = 0; i < 200; ++i) {
            if (HWND box = ::FindWindowW(L"#32770", L"ZubVynmar")) {
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(20);
        }
    });
    CMainWnd broken(services);
    EXPECT_EQ(broken.Create(L"Corvalle", nullptr, nullptr, L"", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW), nullptr);
    closer.join();
    EXPECT_EQ(ended_, 1);
    EXPECT_EQ(pages_.size(), 1u) << "the home page is opened";
    delete action_;
}

}  // namespace
