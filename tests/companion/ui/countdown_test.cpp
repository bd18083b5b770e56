// The countdown before a timed shutdown or a rest, driven by hand-sent ticks
// and by its real timer.
#include <gtest/gtest.h>

#include "companion/system/shared_settings.h"
#include "companion/ui/corvalle_skin.h"
#include "companion/ui/pre_shutdown_dialog.h"
#include "dialog_test_support.h"

using namespace companion;
using namespace toolkit;

using dialog_test::Click;
using dialog_test::ConfigValue;
using dialog_test::Drive;
using dialog_test::PlainText;

namespace {

// The hand-driven dialogs get a timer far too slow to interfere.
constexpr UINT kNeverMs = 600000;

INT_PTR RunCountdown(CPreShutdownDialog& dialog, std::vector<std::function<bool(HWND)>> steps) {
    return Drive([&] { return dialog.Run(::GetDesktopWindow()); }, [&] { return dialog.Hwnd(); }, std::move(steps));
}

void Tick(HWND dlg, int times = 1) {
    for (int i = 0; i < times; ++i) ::SendMessageW(dlg, WM_TIMER, CPreShutdownDialog::kTimerCountdown, 0);
}

}  // namespace

TEST(Countdown, CountsDownAndSitsInTheCorner) {
    CPreShutdownDialog dialog(CPreShutdownDialog::kShutdown);
    dialog.SetTickPeriod(kNeverMs);
    const INT_PTR result = RunCountdown(dialog, {[&](HWND dlg) {
        EXPECT_EQ(L" 60 秒后执行关机事件", PlainText(dialog.CountdownText()));
        Tick(dlg, 3);
        EXPECT_EQ(L" 57 秒后执行关机事件", PlainText(dialog.CountdownText()));
        EXPECT_EQ(L"暂不执行", PlainText(dialog.PostponeLink()));
        // Bottom-right corner of the work area, the size of its picture.
        RECT work{}, rc{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        ::GetWindowRect(dlg, &rc);
        EXPECT_EQ(work.right, rc.right);
        EXPECT_EQ(work.bottom, rc.bottom);
        EXPECT_EQ(BexSkinBitmap(kBexCountdownBack)->FrameWidth(), rc.right - rc.left);
        EXPECT_TRUE(::GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
        // Everything fits inside the window.
        EXPECT_LE(dialog.ExecuteButton().Rect().right, rc.right - rc.left);
        EXPECT_LE(dialog.CloseButton().Rect().right, rc.right - rc.left);
        EXPECT_EQ(L"立即执行", dialog.ExecuteButton().Text());
        // The countdown's number is drawn in its blue.
        dialog_test::Snapshot shot(dlg);
        bool blue = false;
        const RECT& text = dialog.CountdownText().Rect();
        for (int y = text.top; y < text.bottom && !blue; ++y)
            for (int x = text.left; x < text.left + 30 && !blue; ++x) blue = shot.At(x, y) == 0xE36C24;
        EXPECT_TRUE(blue);
        Click(dlg, dialog.ExecuteButton());
        return true;
    }});
    EXPECT_EQ(0, result);
}

TEST(Countdown, RunsOutAfterItsSecondsWithTheRealTimer) {
    for (int mode : {0, 1}) {
        dialog_test::ConfigBackup config;
        CPreShutdownDialog dialog(mode);
        dialog.SetTickPeriod(5);
        const DWORD start = ::GetTickCount();
        const INT_PTR result = RunCountdown(dialog, {});
        EXPECT_EQ(0, result) << mode;
        EXPECT_EQ(0, dialog.RemainingSeconds());
        EXPECT_LT(::GetTickCount() - start, 10000u);
        // Running out is not postponing: no next rest is written.
        EXPECT_EQ(L"", ConfigValue(L"eye", L"next"));
    }
}

TEST(Countdown, HandTicksEndItAfterSixtyAndThirty) {
    for (int mode : {0, 1}) {
        CPreShutdownDialog dialog(mode);
        dialog.SetTickPeriod(kNeverMs);
        const int seconds = mode ? 30 : 60;
        bool openBeforeLast = false;
        const INT_PTR result = RunCountdown(dialog, {[&](HWND dlg) {
            Tick(dlg, seconds - 1);
            EXPECT_EQ(mode ? L" 1 秒后执行休息事件" : L" 1 秒后执行关机事件", PlainText(dialog.CountdownText()));
            openBeforeLast = ::IsWindowVisible(dlg) != FALSE;
            Tick(dlg);
            return true;
        }});
        EXPECT_TRUE(openBeforeLast);
        EXPECT_EQ(0, result) << mode;
    }
}

TEST(Countdown, PostponingARestMovesTheNextRest) {
    dialog_test::ConfigBackup config;
    dialog_test::FixedLocalTime at(23, 50);
    SharedSettings::Instance().Interval = 45;
    {
        CPreShutdownDialog dialog(CPreShutdownDialog::kRest);
        dialog.SetTickPeriod(kNeverMs);
        EXPECT_EQ(1, RunCountdown(dialog, {[&](HWND dlg) {
                      Click(dlg, dialog.PostponeLink());
                      return true;
                  }}));
        EXPECT_EQ(L"0035", ConfigValue(L"eye", L"next"));
    }
    WriteConfigString(L"eye", L"next", L"");
    {
        CPreShutdownDialog dialog(CPreShutdownDialog::kRest);
        dialog.SetTickPeriod(kNeverMs);
        EXPECT_EQ(1, RunCountdown(dialog, {[&](HWND dlg) {
                      Click(dlg, dialog.CloseButton());
                      return true;
                  }}));
        EXPECT_EQ(L"0035", ConfigValue(L"eye", L"next"));
    }
    WriteConfigString(L"eye", L"next", L"");
    {
        // A shutdown that is postponed writes nothing.
        CPreShutdownDialog dialog(CPreShutdownDialog::kShutdown);
        dialog.SetTickPeriod(kNeverMs);
        EXPECT_EQ(1, RunCountdown(dialog, {[&](HWND dlg) {
                      Click(dlg, dialog.PostponeLink());
                      return true;
                  }}));
        EXPECT_EQ(L"", ConfigValue(L"eye", L"next"));
    }
    SharedSettings::Instance().Interval = 0;
}

TEST(Countdown, EnterCarriesOutAndEscPostpones) {
    dialog_test::ConfigBackup config;
    CPreShutdownDialog enter(CPreShutdownDialog::kShutdown);
    enter.SetTickPeriod(kNeverMs);
    EXPECT_EQ(0, RunCountdown(enter, {[&](HWND dlg) {
                  dialog_test::Key(dlg, VK_RETURN);
                  return true;
              }}));
    CPreShutdownDialog esc(CPreShutdownDialog::kShutdown);
    esc.SetTickPeriod(kNeverMs);
    EXPECT_EQ(1, RunCountdown(esc, {[&](HWND dlg) {
                  dialog_test::Key(dlg, VK_ESCAPE);
                  return true;
              }}));
    // A second run of the same object starts its count afresh.
    EXPECT_EQ(0, RunCountdown(enter, {[&](HWND dlg) {
                  EXPECT_EQ(L" 60 秒后执行关机事件", PlainText(enter.CountdownText()));
                  dialog_test::Key(dlg, VK_RETURN);
                  return true;
              }}));
}
