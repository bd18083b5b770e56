// The neck picture and the eye-exercise movie, with and without a player.
#include <gtest/gtest.h>

#include "companion/system/shared_settings.h"
#include "companion/ui/eye_protection.h"
#include "companion/ui/neck_health.h"
#include "companion/ui/showing_dialogs.h"
#include "companion/system/skin_strip.h"
#include "dialog_test_support.h"

using namespace companion;

using dialog_test::Click;
using dialog_test::Drive;

namespace {

DWORD Tick10() { return 10; }

int g_notices = 0;
void CountNotice(HWND) { ++g_notices; }

class NoticeRecorder {
public:
    NoticeRecorder() {
        g_notices = 0;
        SetNoPlayerNotice(&CountNotice);
    }
    ~NoticeRecorder() { SetNoPlayerNotice(nullptr); }
};

}  // namespace

TEST(NeckExercise, ShowsThePictureOfTheTickAndCloses) {
    ASSERT_TRUE(dialog_test::InstallSkin());
    // neck=neck1.png|neck2.png|neck3.png: tick 10 picks the second.
    dialog_test::SkinFile second(L"neck2.png", dialog_test::SolidPng(600, 400, RGB(10, 200, 30)));
    CNeckHealth dialog;
    dialog.SetTickSource(&Tick10);
    const INT_PTR result = Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); },
                                 {[&](HWND dlg) {
                                     if (!dialog.Picture()) {
                                         ADD_FAILURE() << "no picture";
                                         ::EndDialog(dlg, -1);
                                         return true;
                                     }
                                     EXPECT_EQ(SkinFilePath(L"neck2.png"), dialog.Picture()->Path());
                                     RECT rc{}, work{};
                                     ::GetWindowRect(dlg, &rc);
                                     ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
                                     EXPECT_EQ(600, rc.right - rc.left);
                                     EXPECT_EQ(400, rc.bottom - rc.top);
                                     EXPECT_EQ((work.right - work.left - 600) / 2, rc.left);
                                     EXPECT_EQ(570, dialog.CloseButton().Rect().left);
                                     dialog_test::Snapshot shot(dlg);
                                     EXPECT_EQ(0x0AC81Eu, shot.At(300, 200));
                                     // Enter does nothing.
                                     ::SendMessageW(dlg, WM_COMMAND, IDOK, 0);
                                     EXPECT_TRUE(::IsWindowVisible(dlg));
                                     Click(dlg, dialog.CloseButton());
                                     return true;
                                 }});
    EXPECT_EQ(IDYES, result);

    EXPECT_EQ(IDCANCEL, Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); },
                              {[&](HWND dlg) {
                                  dialog_test::Key(dlg, VK_ESCAPE);
                                  return true;
                              }}));
}

TEST(NeckExercise, MissingPictureStillShowsItsCloseButton) {
    ASSERT_TRUE(dialog_test::InstallSkin());
    dialog_test::SkinFile gone(L"neck2.png", "", true);
    CNeckHealth dialog;
    dialog.SetTickSource(&Tick10);
    EXPECT_EQ(IDYES, Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); },
                           {[&](HWND dlg) {
                               RECT client{};
                               ::GetClientRect(dlg, &client);
                               EXPECT_GE(client.right, dialog.CloseButton().Rect().right);
                               EXPECT_GE(client.bottom, dialog.CloseButton().Rect().bottom);
                               EXPECT_GT(dialog.CloseButton().Width(), 0);
                               Click(dlg, dialog.CloseButton());
                               return true;
                           }}));
}

TEST(EyeExercise, WithoutAPlayerTheUserIsToldAndItEnds) {
    dialog_test::RemovePlayerRegistration();
    NoticeRecorder notice;
    CEyeProtection dialog;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(0, dialog.Run(::GetDesktopWindow()));
    EXPECT_EQ(1, g_notices);
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_FALSE(dialog.Player().HasControl());
}

TEST(EyeExercise, PlaysTheMovieOnceAndEndsWhenItCallsOut) {
    ASSERT_TRUE(dialog_test::InstallSkin());
    dialog_test::PlayerStandIn player(300);
    ASSERT_TRUE(player.Registered());
    NoticeRecorder notice;
    CEyeProtection dialog;
    HWND movieWindow = nullptr;
    const INT_PTR result =
        Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); },
              {[&](HWND dlg) {
                   if (!dialog.MovieStarted()) return false;
                   RECT rc{};
                   ::GetWindowRect(dlg, &rc);
                   EXPECT_EQ(876, rc.right - rc.left);
                   EXPECT_EQ(408, rc.bottom - rc.top);
                   // Enter and Esc do not cut the exercise short.
                   ::SendMessageW(dlg, WM_COMMAND, IDOK, 0);
                   ::SendMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
                   // No context menu: the player's window never sees the right button.
                   movieWindow = ::GetWindow(dialog.Player().Host(), GW_CHILD);
                   ::SendMessageW(movieWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
                   ::SendMessageW(movieWindow, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
                   return true;
               }},
              10000);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, g_notices);
    EXPECT_NE(nullptr, movieWindow);
    const auto log = player.Log();
    const std::string movie = "Movie=" + dialog_test::Narrow(SkinFilePath(L"eye.swf"));
    std::vector<std::string> calls;
    for (const auto& line : log)
        if (line.rfind("Movie=", 0) == 0 || line.rfind("Loop=", 0) == 0 || line.rfind("GotoFrame=", 0) == 0 ||
            line == "Play" || line == "Stop" || line == "RButtonDown" || line == "RButtonUp")
            calls.push_back(line);
    EXPECT_EQ((std::vector<std::string>{movie, "Loop=false", "GotoFrame=0", "Play", "Stop"}), calls);
    EXPECT_TRUE(player.Logged("Advise"));
    EXPECT_TRUE(player.Logged("Unadvise"));
    EXPECT_TRUE(player.Logged("Destroy"));
}

TEST(EyeExercise, AnFsCommandDoesNotEndItButClosingDoes) {
    ASSERT_TRUE(dialog_test::InstallSkin());
    dialog_test::PlayerStandIn player(-1, true);  // a movie that never ends by itself
    CEyeProtection dialog;
    bool openAfterCommand = false;
    const INT_PTR result = Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); },
                                 {[&](HWND) { return dialog.MovieStarted(); },
                                  [&](HWND dlg) {
                                      dialog_test::Pump(200);
                                      openAfterCommand = ::IsWindowVisible(dlg) != FALSE;
                                      ::PostMessageW(dlg, WM_CLOSE, 0, 0);
                                      return true;
                                  }},
                                 10000);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(openAfterCommand);
    EXPECT_TRUE(player.Logged("FiredFSCommand hr=0"));
    EXPECT_TRUE(player.Logged("Stop"));
}

TEST(EyeExercise, MissingMovieEndsItAtOnce) {
    ASSERT_TRUE(dialog_test::InstallSkin());
    dialog_test::PlayerStandIn player(300);
    dialog_test::SkinFile gone(L"eye.swf", "", true);
    CEyeProtection dialog;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(0, dialog.Run(::GetDesktopWindow()));
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_FALSE(player.Logged("Play"));
}
