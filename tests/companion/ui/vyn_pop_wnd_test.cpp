#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "protocol/window_messages.h"
#include "companion/system/statistics.h"
#include "companion/ui/corvalle_skin.h"
#include "companion/ui/pop_buttons.h"
#include "companion/ui/vyn_pop_wnd.h"
#include "tests/companion/nav_test_support.h"
#include "toolkit/bex_bitmap.h"
#include "winlib/window.h"

using namespace companion;
using namespace toolkit;

namespace {

using navtest::Pump;
using navtest::PumpUntil;

const POINT kFarAway{1200, 1000};

// The mascot: a layered window with the standing picture that counts the
// close requests of the buttons it owns.
class MascotStandIn : public winlib::Window {
public:
    int closeRequests = 0;

    bool Open(int x, int y) {
        CBexBitmap* picture = BexSkinBitmap(kBexMascotStanding);
        const int cx = picture ? picture->FrameWidth() : 130;
        const int cy = picture ? picture->Height() : 150;
        RECT rc{x, y, x + cx, y + cy};
        if (!Create(L"NavTestMascot", nullptr, &rc, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_LAYERED)) return false;
        if (picture && picture->Handle()) {
            base::WindowDc screen(nullptr);
            base::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
            base::SelectObjectScope select(memory.Get(), picture->Handle());
            POINT at{x, y}, source{0, 0};
            SIZE size{cx, cy};
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::UpdateLayeredWindow(Hwnd(), screen.Get(), &at, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
        }
        ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return true;
    }

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_CLOSE_NAVIGATION, OnCloseNavigation)
    WL_END_MSG_MAP()

private:
    LRESULT OnCloseNavigation(UINT, WPARAM, LPARAM, BOOL&) {
        ++closeRequests;
        return 1;
    }
};

RECT RectOf(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

POINT CenterOf(HWND hwnd) {
    const RECT rc = RectOf(hwnd);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

bool Visible(HWND hwnd) {
    return hwnd && ::IsWindowVisible(hwnd);
}

// A product folder of the test's own: the unpacked skin, the recording
// settings program beside the "companion", the statistics stand-in where
// the real library is installed, and the logs of both.
class NavWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(kFarAway.x, kFarAway.y);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = navtest::FreshFolder(navtest::Widen(info->name()));
        ASSERT_TRUE(navtest::UnpackSkin(folder_));
        skinDir_ = folder_ + L"halvet\\";
        const std::wstring exeDir = navtest::ExeDir();
        ASSERT_TRUE(::CopyFileW((exeDir + L"recording_program.exe").c_str(), (folder_ + L"Mirelo.exe").c_str(), FALSE));
        ASSERT_TRUE(::CreateDirectoryW((folder_ + L"sweeper").c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(
            ::CopyFileW((exeDir + L"stats_double.dll").c_str(), (folder_ + L"sweeper\\Quellin.dll").c_str(), FALSE));
        calls_ = folder_ + L"Mirelo.exe.calls";
        statsLog_ = folder_ + L"stats.log";
        ::SetEnvironmentVariableW(L"STATS_LOG", statsLog_.c_str());
        statistics_ = std::make_unique<CStatistics>(folder_);
        ASSERT_TRUE(statistics_->Bound());

        ASSERT_EQ(LoadPopXmlFile(skinDir_ + L"vynPop.xml", skinDir_, folder_, buttons_), 0);
        ASSERT_EQ(buttons_.size(), 5u);
        ASSERT_TRUE(mascot_.Open(500, 400));
    }

    void TearDown() override {
        ::ReleaseCapture();
        windows_.clear();
        mascot_.DestroyWindow();
        Pump(50);
        statistics_.reset();
        ::SetEnvironmentVariableW(L"STATS_LOG", nullptr);
        ::SetCursorPos(kFarAway.x, kFarAway.y);
    }

    CVynPopWnd* Make(const PopButton& button) {
        windows_.push_back(std::make_unique<CVynPopWnd>(button));
        CVynPopWnd* w = windows_.back().get();
        w->SetStatistics(statistics_.get());
        EXPECT_TRUE(w->Create(mascot_.Hwnd()));
        return w;
    }
    CVynPopWnd* MakeFaded(size_t index) {
        CVynPopWnd* w = Make(buttons_[index]);
        EXPECT_TRUE(PumpUntil([&] { return !w->Fading(); }, 5000));
        return w;
    }

    // Mouse input as the window gets it, with the real cursor put there too
    // (the click and the hover check look at the cursor).
    static void MoveTo(CVynPopWnd* w, POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        POINT client = screen;
        ::ScreenToClient(w->Hwnd(), &client);
        ::SendMessageW(w->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    static void Down(CVynPopWnd* w) { ::SendMessageW(w->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(26, 26)); }
    static void Up(CVynPopWnd* w) { ::SendMessageW(w->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(26, 26)); }

    std::vector<std::string> Calls() const { return navtest::ReadLines(calls_); }
    std::vector<std::string> Sent() const { return navtest::ReadLines(statsLog_); }

    std::wstring folder_;
    std::wstring skinDir_;
    std::wstring calls_;
    std::wstring statsLog_;
    std::unique_ptr<CStatistics> statistics_;
    std::vector<PopButton> buttons_;
    MascotStandIn mascot_;
    std::vector<std::unique_ptr<CVynPopWnd>> windows_;
};

TEST_F(NavWindowTest, CreateShowsTheButtonBesideItsOwnerAsATopmostLayeredToolWindow) {
    CVynPopWnd* w = Make(buttons_[0]);
    ASSERT_TRUE(w->Hwnd());
    EXPECT_TRUE(Visible(w->Hwnd()));
    EXPECT_EQ(::GetWindow(w->Hwnd(), GW_OWNER), mascot_.Hwnd());
    const LONG style = ::GetWindowLongW(w->Hwnd(), GWL_STYLE);
    const LONG exStyle = ::GetWindowLongW(w->Hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    wchar_t name[64] = {};
    ::GetClassNameW(w->Hwnd(), name, 64);
    EXPECT_STREQ(name, CVynPopWnd::kClassName);

    const RECT mascot = RectOf(mascot_.Hwnd());
    const RECT rc = RectOf(w->Hwnd());
    EXPECT_EQ(rc.left, mascot.left + buttons_[0].x);
    EXPECT_EQ(rc.top, mascot.top + buttons_[0].y);
    // One frame of the three-frame strip.
    CBexBitmap* strip = BexSkinBitmap(kBexNavEyeProtect);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(rc.right - rc.left, strip->Width() / 3);
    EXPECT_EQ(rc.bottom - rc.top, strip->Height());

    // The hover picture waits hidden, owned by the button.
    ASSERT_TRUE(w->TipHwnd());
    EXPECT_FALSE(Visible(w->TipHwnd()));
    EXPECT_EQ(::GetWindow(w->TipHwnd(), GW_OWNER), w->Hwnd());
    EXPECT_TRUE(w->TipWnd()->HasPicture());
}

TEST_F(NavWindowTest, TheButtonFadesInFromNothingToOpaque) {
    CVynPopWnd* w = Make(buttons_[1]);
    EXPECT_TRUE(w->Fading());
    EXPECT_EQ(w->LastFrame(), 0);
    EXPECT_EQ(w->LastAlpha(), 0);
    std::vector<int> alphas;
    ASSERT_TRUE(PumpUntil(
        [&] {
            alphas.push_back(w->LastAlpha());
            return !w->Fading();
        },
        5000));
    EXPECT_TRUE(std::is_sorted(alphas.begin(), alphas.end()));
    EXPECT_TRUE(std::any_of(alphas.begin(), alphas.end(), [](int a) { return a > 0 && a < 255; }));
    EXPECT_EQ(w->LastFrame(), 0);
    EXPECT_EQ(w->LastAlpha(), 255);
    // The hover check runs from the end of the fade on.
    EXPECT_TRUE(::KillTimer(w->Hwnd(), CVynPopWnd::kHoverTimer));
}

TEST_F(NavWindowTest, HiddenAndShownAgainTheSameWindowFadesInAtTheNewPlace) {
    CVynPopWnd* w = MakeFaded(2);
    const HWND hwnd = w->Hwnd();
    w->HideButton();
    EXPECT_FALSE(Visible(hwnd));
    EXPECT_FALSE(Visible(w->TipHwnd()));
    EXPECT_FALSE(w->Fading());
    // Both timers are gone.
    EXPECT_FALSE(::KillTimer(hwnd, CVynPopWnd::kHoverTimer));
    EXPECT_FALSE(::KillTimer(hwnd, CVynPopWnd::kFadeTimer));

    w->ShowButton(true, 650, 450);
    EXPECT_EQ(w->Hwnd(), hwnd);
    EXPECT_TRUE(Visible(hwnd));
    EXPECT_TRUE(w->Fading());
    EXPECT_EQ(w->LastAlpha(), 0);
    const RECT rc = RectOf(hwnd);
    EXPECT_EQ(rc.left, 650 + buttons_[2].x);
    EXPECT_EQ(rc.top, 450 + buttons_[2].y);
    ASSERT_TRUE(PumpUntil([&] { return !w->Fading(); }, 5000));
    EXPECT_EQ(w->LastAlpha(), 255);

    w->ShowButton(false, 0, 0);
    EXPECT_FALSE(Visible(hwnd));
    EXPECT_FALSE(::KillTimer(hwnd, CVynPopWnd::kHoverTimer));
}

TEST_F(NavWindowTest, HoveringShowsTheHoverPictureAndLeavingHidesItAgain) {
    CVynPopWnd* w = MakeFaded(3);
    MoveTo(w, CenterOf(w->Hwnd()));
    EXPECT_TRUE(w->Hovered());
    EXPECT_TRUE(w->HoverShown());
    EXPECT_EQ(w->LastFrame(), 1);
    EXPECT_EQ(w->LastAlpha(), 255);
    ASSERT_TRUE(Visible(w->TipHwnd()));
    const RECT button = RectOf(w->Hwnd());
    const RECT tip = RectOf(w->TipHwnd());
    EXPECT_EQ(tip.left, button.left + buttons_[3].hoverX);
    EXPECT_EQ(tip.top, button.top + buttons_[3].hoverY);
    EXPECT_GT(tip.right - tip.left, 0);
    EXPECT_GT(tip.bottom - tip.top, 0);
    // The cursor staying on the button keeps the picture.
    Pump(200);
    EXPECT_TRUE(Visible(w->TipHwnd()));

    ::SetCursorPos(kFarAway.x, kFarAway.y);
    ASSERT_TRUE(PumpUntil([&] { return !w->HoverShown(); }, 2000));
    EXPECT_FALSE(Visible(w->TipHwnd()));
    EXPECT_FALSE(w->Hovered());
    EXPECT_EQ(w->LastFrame(), 0);
    EXPECT_EQ(w->LastAlpha(), 255);

    // And once more: hovering works again after a leave.
    MoveTo(w, CenterOf(w->Hwnd()));
    EXPECT_TRUE(Visible(w->TipHwnd()));
}

TEST_F(NavWindowTest, HoveringDuringTheFadeEndsTheFade) {
    CVynPopWnd* w = Make(buttons_[0]);
    ASSERT_TRUE(w->Fading());
    MoveTo(w, CenterOf(w->Hwnd()));
    EXPECT_FALSE(w->Fading());
    EXPECT_EQ(w->LastFrame(), 1);
    EXPECT_EQ(w->LastAlpha(), 255);
    Pump(100);
    EXPECT_EQ(w->LastFrame(), 1);  // no fade step paints over the hover frame
    EXPECT_TRUE(Visible(w->TipHwnd()));
}

TEST_F(NavWindowTest, AHiddenAndReshownButtonHoversAgain) {
    CVynPopWnd* w = MakeFaded(0);
    MoveTo(w, CenterOf(w->Hwnd()));
    ASSERT_TRUE(Visible(w->TipHwnd()));
    w->HideButton();
    EXPECT_FALSE(Visible(w->TipHwnd()));
    EXPECT_FALSE(w->HoverShown());
    w->ShowButton(true, 500, 400);
    ASSERT_TRUE(PumpUntil([&] { return !w->Fading(); }, 5000));
    MoveTo(w, CenterOf(w->Hwnd()));
    EXPECT_TRUE(Visible(w->TipHwnd()));
}

// Each shipped button starts the settings program on its page, reports the
// statistic of that page and asks the mascot to close the pop-up.
TEST_F(NavWindowTest, EachButtonStartsItsPageReportsItAndClosesTheNavigation) {
    const char* events[] = {"vyneye&type=fromnavi", "vynremind&type=fromnavi", "vynturnoff&type=fromnavi",
                            "vynset&type=fromnavi", "vynset&type=fromnavi"};
    for (size_t i = 0; i < buttons_.size(); ++i) {
        SCOPED_TRACE(i);
        CVynPopWnd* w = MakeFaded(i);
        MoveTo(w, CenterOf(w->Hwnd()));
        Down(w);
        EXPECT_TRUE(w->Pressed());
        EXPECT_EQ(::GetCapture(), w->Hwnd());
        EXPECT_EQ(w->LastFrame(), 2);
        Up(w);
        EXPECT_FALSE(w->Pressed());
        EXPECT_NE(::GetCapture(), w->Hwnd());
        EXPECT_EQ(w->LastFrame(), 1);

        const auto calls = navtest::WaitForLines(calls_, i + 1);
        ASSERT_EQ(calls.size(), i + 1);
        EXPECT_EQ(calls[i], navtest::Narrow(buttons_[i].parameters));
        const auto sent = navtest::WaitForLines(statsLog_, i + 1);
        ASSERT_EQ(sent.size(), i + 1);
        EXPECT_NE(sent[i].find(std::string("/track.htm?program=") + events[i] + "&appver="), std::string::npos)
            << sent[i];
        EXPECT_TRUE(PumpUntil([&] { return mascot_.closeRequests == static_cast<int>(i + 1); }, 2000));
        w->HideButton();
    }
}

TEST_F(NavWindowTest, AButtonForAnotherProgramStartsItWithoutAStatistic) {
    PopButton other = buttons_[0];
    other.parameters = L"--help";
    CVynPopWnd* w = MakeFaded(0);
    w = Make(other);
    ASSERT_TRUE(PumpUntil([&] { return !w->Fading(); }, 5000));
    MoveTo(w, CenterOf(w->Hwnd()));
    Down(w);
    Up(w);
    const auto calls = navtest::WaitForLines(calls_, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "--help");
    EXPECT_TRUE(PumpUntil([&] { return mascot_.closeRequests == 1; }, 2000));
    EXPECT_TRUE(Sent().empty());
}

TEST_F(NavWindowTest, AButtonUpWithoutAPressOnTheButtonStartsNothing) {
    CVynPopWnd* w = MakeFaded(1);
    MoveTo(w, CenterOf(w->Hwnd()));
    Up(w);
    Pump(500);
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mascot_.closeRequests, 0);
}

TEST_F(NavWindowTest, PressingAndReleasingOutsideStartsNothingAndRestsTheButton) {
    CVynPopWnd* w = MakeFaded(2);
    MoveTo(w, CenterOf(w->Hwnd()));
    Down(w);
    ASSERT_EQ(w->LastFrame(), 2);
    // Dragged off: the button no longer shows as pressed.
    MoveTo(w, kFarAway);
    EXPECT_EQ(w->LastFrame(), 0);
    Up(w);
    EXPECT_EQ(w->LastFrame(), 0);
    EXPECT_NE(::GetCapture(), w->Hwnd());
    Pump(500);
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mascot_.closeRequests, 0);
}

TEST_F(NavWindowTest, APressWhoseCaptureIsTakenAwayCannotClickLater) {
    CVynPopWnd* w = MakeFaded(3);
    MoveTo(w, CenterOf(w->Hwnd()));
    Down(w);
    ::SetCapture(mascot_.Hwnd());
    EXPECT_FALSE(w->Pressed());
    EXPECT_EQ(w->LastFrame(), 0);
    ::ReleaseCapture();
    Up(w);
    Pump(500);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(mascot_.closeRequests, 0);
}

TEST_F(NavWindowTest, HidingDuringAPressLetsGoOfTheMouse) {
    CVynPopWnd* w = MakeFaded(4);
    MoveTo(w, CenterOf(w->Hwnd()));
    Down(w);
    w->HideButton();
    EXPECT_NE(::GetCapture(), w->Hwnd());
    EXPECT_FALSE(w->Pressed());
    w->ShowButton(true, 500, 400);
    Up(w);
    Pump(500);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(NavWindowTest, TheButtonFollowsTheMascotAndAHiddenOneStaysHidden) {
    CVynPopWnd* w = MakeFaded(0);
    MoveTo(w, CenterOf(w->Hwnd()));
    ASSERT_TRUE(Visible(w->TipHwnd()));
    w->SendMessage(WM_MOVE_NAVIGATION, 700, 300);
    RECT rc = RectOf(w->Hwnd());
    EXPECT_EQ(rc.left, 700 + buttons_[0].x);
    EXPECT_EQ(rc.top, 300 + buttons_[0].y);
    EXPECT_TRUE(Visible(w->Hwnd()));
    // The hover picture goes along.
    const RECT tip = RectOf(w->TipHwnd());
    EXPECT_EQ(tip.left, rc.left + buttons_[0].hoverX);
    EXPECT_EQ(tip.top, rc.top + buttons_[0].hoverY);

    // Positions left of and above the primary screen are signed.
    w->SendMessage(WM_MOVE_NAVIGATION, static_cast<WPARAM>(-300), static_cast<LPARAM>(-200));
    rc = RectOf(w->Hwnd());
    EXPECT_EQ(rc.left, -300 + buttons_[0].x);
    EXPECT_EQ(rc.top, -200 + buttons_[0].y);

    w->HideButton();
    w->SendMessage(WM_MOVE_NAVIGATION, 400, 350);
    EXPECT_FALSE(Visible(w->Hwnd()));
    rc = RectOf(w->Hwnd());
    EXPECT_EQ(rc.left, 400 + buttons_[0].x);

    // Anyone can post the message with any numbers.
    w->SendMessage(WM_MOVE_NAVIGATION, 0x7FFFFFFF, 0x7FFFFFFF);
    rc = RectOf(w->Hwnd());
    EXPECT_LE(rc.left, 32000);
    EXPECT_LE(rc.top, 32000);
    EXPECT_FALSE(Visible(w->Hwnd()));
}

TEST_F(NavWindowTest, MissingOrBrokenPicturesDrawNothingAndBreakNothing) {
    ASSERT_TRUE(navtest::WriteFile(skinDir_ + L"broken_tip.png", "not a picture at all"));
    for (const wchar_t* hover : {L"missing_tip.png", L"broken_tip.png"}) {
        PopButton button = buttons_[0];
        button.picture = skinDir_ + L"missing.png";
        button.hoverPicture = skinDir_ + hover;
        EXPECT_EQ(CVynPopWnd::StripResourceFor(button.picture), kBexNavSetting);
        CVynPopWnd* w = Make(button);
        ASSERT_TRUE(PumpUntil([&] { return !w->Fading(); }, 5000));
        ASSERT_TRUE(w->TipHwnd());
        EXPECT_FALSE(w->TipWnd()->HasPicture());
        MoveTo(w, CenterOf(w->Hwnd()));
        EXPECT_EQ(w->LastFrame(), 1);
        EXPECT_FALSE(Visible(w->TipHwnd()));
        w->HideButton();
    }
}

TEST_F(NavWindowTest, TheCursorIsTheProgramsOwn) {
    CVynPopWnd* w = MakeFaded(0);
    EXPECT_EQ(w->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(w->Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    HCURSOR own = ::LoadCursorW(BexResourceModule(), MAKEINTRESOURCEW(kBexCursorMascot));
    ASSERT_TRUE(own);
    EXPECT_EQ(::GetCursor(), own);
}

TEST_F(NavWindowTest, CloseDestroysTheButtonWithItsHoverPictureAndCreateMakesItAgain) {
    CVynPopWnd* w = MakeFaded(1);
    const HWND hwnd = w->Hwnd();
    const HWND tip = w->TipHwnd();
    w->SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindow(tip));
    EXPECT_EQ(w->Hwnd(), nullptr);
    // Nothing to do for a closed button.
    w->HideButton();
    w->ShowButton(true, 1, 1);
    ASSERT_TRUE(w->Create(mascot_.Hwnd()));
    EXPECT_TRUE(Visible(w->Hwnd()));
    ASSERT_TRUE(w->TipHwnd());
    EXPECT_TRUE(w->TipWnd()->HasPicture());
    EXPECT_FALSE(w->Create(mascot_.Hwnd()));  // once is enough
}

TEST_F(NavWindowTest, DestroyingTheObjectTakesItsWindowsAlong) {
    CVynPopWnd* w = Make(buttons_[2]);
    const HWND hwnd = w->Hwnd();
    const HWND tip = w->TipHwnd();
    windows_.clear();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindow(tip));
    Pump(100);  // no timer of a dead window fires into freed memory
}

// Not a check: keeps the open navigation on the screen for a screenshot
// when NAV_SHOWCASE_MS is set.
TEST_F(NavWindowTest, Showcase) {
    wchar_t value[16] = {};
    if (!::GetEnvironmentVariableW(L"NAV_SHOWCASE_MS", value, 16)) GTEST_SKIP();
    std::vector<CVynPopWnd*> all;
    for (const auto& b : buttons_) all.push_back(Make(b));
    ASSERT_TRUE(PumpUntil([&] { return std::none_of(all.begin(), all.end(), [](CVynPopWnd* w) { return w->Fading(); }); },
                          5000));
    MoveTo(all[1], CenterOf(all[1]->Hwnd()));
    Pump(static_cast<DWORD>(std::wcstoul(value, nullptr, 10)));
}

}  // namespace
