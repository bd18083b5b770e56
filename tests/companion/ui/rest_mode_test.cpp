// The full-screen rest: its background, countdown, clock, movie and ends.
#include <gtest/gtest.h>

#include <windows.h>
#include <wtsapi32.h>

#include "companion/system/shared_settings.h"
#include "companion/ui/full_screen_dialog.h"
#include "companion/ui/rest_schedule.h"
#include "companion/ui/showing_dialogs.h"
#include "companion/system/skin_strip.h"
#include "dialog_test_support.h"

using namespace companion;
using namespace toolkit;

using dialog_test::Click;
using dialog_test::ConfigValue;
using dialog_test::Drive;
using dialog_test::PlainText;

namespace {

constexpr UINT kNeverMs = 600000;
constexpr COLORREF kDay = RGB(40, 120, 200);

int g_notices = 0;
void CountNotice(HWND) { ++g_notices; }

// The skin's pictures with a plain day picture; the rest interval set.
class RestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog_test::InstallSkin());
        SharedSettings::Instance().Interval = 30;
        g_notices = 0;
        SetNoPlayerNotice(&CountNotice);
    }
    void TearDown() override {
        SetNoPlayerNotice(nullptr);
        SharedSettings::Instance().Interval = 0;
    }

    std::unique_ptr<CBexBitmap> Background() {
        std::unique_ptr<CBexBitmap> back;
        EXPECT_EQ(0, MakeRestBackground(back));
        return back;
    }

    INT_PTR RunRest(CFullScreenDialog& dialog, std::vector<std::function<bool(HWND)>> steps) {
        return Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); },
                     std::move(steps), 30000);
    }

    dialog_test::ConfigBackup config_;
    dialog_test::FixedLocalTime time_{10, 0};
    dialog_test::SkinFile day_{L"day169.png", dialog_test::SolidPng(96, 54, kDay)};
};

void Tick(HWND dlg, int times = 1) {
    for (int i = 0; i < times; ++i) ::SendMessageW(dlg, WM_TIMER, CFullScreenDialog::kTimerCountdown, 0);
}

}  // namespace

TEST(RestBackground, StretchedPictureIsOpaqueAndWhiteFallback) {
    ASSERT_TRUE(dialog_test::InstallSkin());
    dialog_test::SkinFile day(L"day169.png", dialog_test::SolidPng(16, 9, kDay));
    std::unique_ptr<CBexBitmap> back;
    ASSERT_EQ(0, MakeStretchedBackground(SkinFilePath(L"day169.png"), 64, 36, back));
    ASSERT_TRUE(back);
    EXPECT_EQ(64, back->FrameWidth());
    EXPECT_EQ(36, back->Height());
    EXPECT_TRUE(back->HasAlpha());
    BITMAP info{};
    ASSERT_TRUE(::GetObjectW(back->Handle(), sizeof(info), &info));
    const auto* bits = static_cast<const DWORD*>(info.bmBits);
    ASSERT_NE(nullptr, bits);
    for (int i = 0; i < 64 * 36; ++i) {
        ASSERT_EQ(0xFF000000u, bits[i] & 0xFF000000u) << i;
        ASSERT_EQ(0x2878C8u, bits[i] & 0xFFFFFFu) << i;
    }
    EXPECT_EQ(-1, MakeStretchedBackground(SkinFilePath(L"nothing-here.png"), 64, 36, back));

    std::unique_ptr<CBexBitmap> white;
    ASSERT_EQ(0, MakeSolidBackground(8, 4, white));
    ASSERT_TRUE(::GetObjectW(white->Handle(), sizeof(info), &info));
    for (int i = 0; i < 32; ++i) EXPECT_EQ(0xFFFFFFFFu, static_cast<const DWORD*>(info.bmBits)[i]);
    EXPECT_EQ(0, MakeWhiteBackground(white));
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), white->FrameWidth());
}

TEST_F(RestFixture, CountsDownFromTheRestLengthAndEndsOnEsc) {
    auto back = Background();
    ASSERT_TRUE(back);
    CFullScreenDialog dialog(back.get(), 5);
    dialog.SetTickPeriods(kNeverMs, kNeverMs);
    const INT_PTR result = RunRest(dialog, {[&](HWND dlg) {
        EXPECT_EQ(L"05:00", PlainText(dialog.CountdownText()));
        EXPECT_EQ(L"10:00", PlainText(dialog.ClockText()));
        Tick(dlg);
        EXPECT_EQ(L"04:59", PlainText(dialog.CountdownText()));
        RECT rc{};
        ::GetWindowRect(dlg, &rc);
        EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), rc.right - rc.left);
        EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), rc.bottom - rc.top);
        EXPECT_EQ(rc.right - rc.left, dialog.ExitButton().Rect().right);
        EXPECT_EQ(0, dialog.ExitButton().Rect().top);
        EXPECT_EQ(dialog.PanelX() + 300, dialog.CountdownText().Rect().left);
        // The background stays opaque however often the counters repaint.
        dialog_test::Snapshot first(dlg);
        const COLORREF corner = first.At(5, rc.bottom - rc.top - 5);
        const RECT& clock = dialog.ClockText().Rect();
        const COLORREF underClock = first.At(clock.left - 3, clock.top + 2);
        for (int i = 0; i < 20; ++i) {
            Tick(dlg);
            ::SendMessageW(dlg, WM_TIMER, CFullScreenDialog::kTimerClock, 0);
            dialog.ClockText().SetText(i % 2 ? L"{&#color=0xffffff}10:00{&#/color}" : L"{&#color=0xffffff}10:01{&#/color}");
        }
        dialog_test::Snapshot later(dlg);
        EXPECT_EQ(corner, later.At(5, rc.bottom - rc.top - 5));
        EXPECT_EQ(underClock, later.At(clock.left - 3, clock.top + 2));
        // Enter does nothing; Esc ends the rest.
        ::SendMessageW(dlg, WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(dialog.Ended());
        dialog_test::Key(dlg, VK_ESCAPE);
        return true;
    }});
    EXPECT_EQ(0, result);
    EXPECT_EQ(L"1030", ConfigValue(L"eye", L"next"));
}

TEST_F(RestFixture, RunsOutWithTheRealTimer) {
    auto back = Background();
    CFullScreenDialog dialog(back.get(), 1);
    dialog.SetTickPeriods(5, kNeverMs);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(0, RunRest(dialog, {}));
    EXPECT_LT(::GetTickCount() - start, 15000u);
    EXPECT_TRUE(dialog.Ended());
    EXPECT_EQ(L"1030", ConfigValue(L"eye", L"next"));
}

TEST_F(RestFixture, NoOrNegativeRestEndsAtOnce) {
    auto back = Background();
    for (int minutes : {0, -5, INT_MIN}) {
        CFullScreenDialog dialog(back.get(), minutes);
        dialog.SetTickPeriods(kNeverMs, kNeverMs);
        const DWORD start = ::GetTickCount();
        EXPECT_EQ(0, dialog.Run(::GetDesktopWindow())) << minutes;
        EXPECT_LT(::GetTickCount() - start, 5000u) << minutes;
    }
    // The cursor is shown again whatever way the rest went.
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetCursorInfo(&info));
    EXPECT_TRUE(info.flags & CURSOR_SHOWING);
}

TEST_F(RestFixture, ASessionChangeEndsIt) {
    auto back = Background();
    CFullScreenDialog dialog(back.get(), 20);
    dialog.SetTickPeriods(kNeverMs, kNeverMs);
    EXPECT_EQ(0, RunRest(dialog, {[&](HWND dlg) {
                  ::SendMessageW(dlg, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
                  return true;
              }}));
    EXPECT_EQ(L"1030", ConfigValue(L"eye", L"next"));
}

TEST_F(RestFixture, WithoutAPlayerThePlayButtonEndsTheRest) {
    dialog_test::RemovePlayerRegistration();
    auto back = Background();
    CFullScreenDialog dialog(back.get(), 20);
    dialog.SetTickPeriods(kNeverMs, kNeverMs);
    EXPECT_EQ(0, RunRest(dialog, {[&](HWND dlg) {
                  EXPECT_FALSE(dialog.Player().HasControl());
                  Click(dlg, dialog.PlayButton());
                  return true;
              }}));
    EXPECT_EQ(1, g_notices);
}

TEST_F(RestFixture, ARestThatRunsOutWaitsForThePlayingMovie) {
    dialog_test::PlayerStandIn player(1500);
    ASSERT_TRUE(player.Registered());
    auto back = Background();
    CFullScreenDialog dialog(back.get(), 1);
    dialog.SetTickPeriods(kNeverMs, kNeverMs);
    bool heldAtZero = false;
    const INT_PTR result = RunRest(dialog, {
        [&](HWND dlg) {
            EXPECT_TRUE(dialog.Player().HasControl());
            EXPECT_FALSE(::IsWindowVisible(dialog.Player().Host()));
            Click(dlg, dialog.PlayButton());
            EXPECT_TRUE(::IsWindowVisible(dialog.Player().Host()));
            EXPECT_FALSE(dialog.PlayButton().IsVisible());
            const int bw = ::GetSystemMetrics(SM_CXSCREEN), bh = ::GetSystemMetrics(SM_CYSCREEN);
            EXPECT_EQ(bw / 2 + 42, dialog.CountdownText().Rect().left);
            EXPECT_EQ((bh - 408) / 2 + 431, dialog.CountdownText().Rect().top);
            RECT host{};
            ::GetWindowRect(dialog.Player().Host(), &host);
            EXPECT_EQ(876, host.right - host.left);
            Tick(dlg, 60);
            EXPECT_EQ(0, dialog.RemainingSeconds());
            Tick(dlg);
            heldAtZero = !dialog.Ended() && PlainText(dialog.CountdownText()) == L"00:00";
            return true;
        },
        // The movie calls out: its window goes, the button comes back.
        [&](HWND) { return dialog.PlayButton().IsVisible(); },
        [&](HWND dlg) {
            EXPECT_FALSE(::IsWindowVisible(dialog.Player().Host()));
            EXPECT_EQ(dialog.PanelX() + 300, dialog.CountdownText().Rect().left);
            EXPECT_FALSE(dialog.Ended());
            Tick(dlg);
            return true;
        }});
    EXPECT_EQ(0, result);
    EXPECT_TRUE(heldAtZero);
    EXPECT_TRUE(player.Logged("Play"));
    EXPECT_TRUE(player.Logged("MovieOver"));
    EXPECT_TRUE(player.Logged("Stop"));
    EXPECT_TRUE(player.Logged("Unadvise"));
    EXPECT_EQ(0, g_notices);
}

namespace {
int g_beforeShow = 0;
void BeforeShow(void* context) { *static_cast<int*>(context) += 1; }

BOOL CALLBACK FindScreenSized(HWND hwnd, LPARAM lParam) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    if (::IsWindowVisible(hwnd) && rc.right - rc.left == ::GetSystemMetrics(SM_CXSCREEN)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindFullScreen() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindScreenSized, reinterpret_cast<LPARAM>(&found));
    return found;
}
}  // namespace

TEST_F(RestFixture, TheSeamRunsTheRestUntilASessionChange) {
    SharedSettings::Instance().Interval = 45;
    dialog_test::FixedLocalTime at(23, 50);
    g_beforeShow = 0;
    bool shown = false;
    Drive(
        [&] { return SystemShowingDialogs().RunFullScreenRest(5, &BeforeShow, &g_beforeShow) ? 1 : 0; },
        &FindFullScreen,
        {[&](HWND dlg) {
            shown = true;
            EXPECT_EQ(1, g_beforeShow);
            ::PostMessageW(dlg, WM_WTSSESSION_CHANGE, WTS_SESSION_LOGOFF, 1);
            return true;
        }});
    EXPECT_TRUE(shown);
    EXPECT_EQ(L"0035", ConfigValue(L"eye", L"next"));
}
