// The skinned message box and the first-run chooser as real modal dialogs.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <utility>

#include "tests/companion/prefix_state.h"
#include "companion/system/desktop_shortcut.h"
#include "companion/ui/showing_dialogs.h"
#include "companion/ui/vyn_choose_box.h"
#include "dialog_test_support.h"
#include "toolkit/bex_message_box.h"

using namespace companion;
using namespace toolkit;

using dialog_test::Click;
using dialog_test::Drive;

namespace {

INT_PTR RunBox(CBexDialog& box, std::vector<std::function<bool(HWND)>> steps) {
    return Drive([&] { return box.Run(nullptr); }, [&] { return box.Hwnd(); }, std::move(steps));
}

SIZE ClientSize(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

// Presses the left button where the cursor is, moves 40 x 32 and lets go.
DWORD WINAPI MoveTheMouse(void*) {
    POINT start{};
    ::GetCursorPos(&start);
    const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1, cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    auto send = [&](DWORD flags, int x, int y) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        input.mi.dx = x * 65535 / cx;
        input.mi.dy = y * 65535 / cy;
        ::SendInput(1, &input, sizeof(INPUT));
    };
    send(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
    for (int i = 1; i <= 4; ++i) {
        ::Sleep(60);
        send(0, start.x + 10 * i, start.y + 8 * i);
    }
    ::Sleep(60);
    send(MOUSEEVENTF_LEFTUP, start.x + 40, start.y + 32);
    return 0;
}

}  // namespace

TEST(SkinnedMessageBox, YesNoShowsTwoRightAlignedButtonsAndAnswers) {
    CBexMessageBox box(L"要现在休息吗？", MB_YESNO);
    SIZE client{};
    const INT_PTR result = RunBox(box, {[&](HWND dlg) {
        client = ClientSize(dlg);
        EXPECT_FALSE(box.LeftButton().IsVisible());
        EXPECT_TRUE(box.MiddleButton().IsVisible());
        EXPECT_TRUE(box.RightButton().IsVisible());
        EXPECT_EQ(L"是", box.MiddleButton().Text());
        EXPECT_EQ(L"否", box.RightButton().Text());
        EXPECT_EQ(client.cx - 20, box.RightButton().Rect().right);
        EXPECT_EQ(client.cy - 40, box.RightButton().Rect().top);
        EXPECT_EQ(15, box.RightButton().Rect().left - box.MiddleButton().Rect().right);
        Click(dlg, box.RightButton());
        return true;
    }});
    EXPECT_EQ(IDNO, result);

    // The same object runs again: its body lines are made anew.
    EXPECT_EQ(IDYES, RunBox(box, {[&](HWND dlg) {
                  EXPECT_EQ(1u, box.LineCount());
                  Click(dlg, box.MiddleButton());
                  return true;
              }}));
    EXPECT_EQ(IDCANCEL, RunBox(box, {[&](HWND dlg) {
                  Click(dlg, box.CloseButton());
                  return true;
              }}));
}

TEST(SkinnedMessageBox, OneShortLineGivesTheSmallestBox) {
    CBexMessageBox box(L"好", MB_OK);
    RunBox(box, {[&](HWND dlg) {
        const SIZE client = ClientSize(dlg);
        EXPECT_EQ(290, client.cx);
        EXPECT_EQ(160, client.cy);
        EXPECT_EQ(59, box.Line(0).Rect().top);
        EXPECT_EQ(25, box.Line(0).Rect().left);
        EXPECT_EQ(L"确定", box.RightButton().Text());
        EXPECT_FALSE(box.MiddleButton().IsVisible());
        // Rounded window: the corner pixel is cut away.
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(ERROR, ::GetWindowRgn(dlg, region));
        EXPECT_FALSE(::PtInRegion(region, 0, 0));
        EXPECT_FALSE(::PtInRegion(region, 1, 1));
        EXPECT_TRUE(::PtInRegion(region, 10, 10));
        ::DeleteObject(region);
        // Centred on the work area (no owner).
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT rc{};
        ::GetWindowRect(dlg, &rc);
        EXPECT_NEAR((work.left + work.right) / 2, (rc.left + rc.right) / 2, 1);
        EXPECT_NEAR((work.top + work.bottom) / 2, (rc.top + rc.bottom) / 2, 1);
        dialog_test::Key(dlg, VK_RETURN);
        return true;
    }});
}

TEST(SkinnedMessageBox, LinesStackAndTypesPickTheirButtons) {
    CBexMessageBox box(L"第一行\n第二行比第一行长一些\n三", MB_ABORTRETRYIGNORE);
    const INT_PTR result = RunBox(box, {[&](HWND dlg) {
        EXPECT_EQ(3u, box.LineCount());
        EXPECT_EQ(50, box.Line(0).Rect().top);
        EXPECT_EQ(box.Line(0).Rect().bottom + 5, box.Line(1).Rect().top);
        EXPECT_EQ(box.Line(1).Rect().bottom + 5, box.Line(2).Rect().top);
        EXPECT_EQ(L"终止", box.LeftButton().Text());
        EXPECT_EQ(L"重试", box.MiddleButton().Text());
        EXPECT_EQ(L"忽略", box.RightButton().Text());
        EXPECT_TRUE(box.CloseButton().IsDisabled());
        EXPECT_EQ(15, box.MiddleButton().Rect().left - box.LeftButton().Rect().right);
        Click(dlg, box.LeftButton());
        return true;
    }});
    EXPECT_EQ(IDABORT, result);

    CBexMessageBox cancelTry(L"x", MB_CANCELTRYCONTINUE);
    EXPECT_EQ(IDCONTINUE, RunBox(cancelTry, {[&](HWND dlg) {
                  EXPECT_EQ(L"继续", cancelTry.RightButton().Text());
                  Click(dlg, cancelTry.RightButton());
                  return true;
              }}));
}

TEST(SkinnedMessageBox, DraggedFromAFreePoint) {
    CBexMessageBox box(L"拖动我", MB_OK);
    RECT before{}, after{};
    HANDLE mover = nullptr;
    RunBox(box, {[&](HWND dlg) {
                     ::GetWindowRect(dlg, &before);
                     ::SetCursorPos(before.left + 150, before.top + 30);
                     // The move loop runs inside the dialog's own thread from the
                     // press on: the hand that moves the mouse is another thread.
                     mover = ::CreateThread(nullptr, 0, &MoveTheMouse, nullptr, 0, nullptr);
                     return true;
                 },
                 [&](HWND) { return ::WaitForSingleObject(mover, 0) == WAIT_OBJECT_0; },
                 [&](HWND dlg) {
                     dialog_test::PumpUntil([&] {
                         ::GetWindowRect(dlg, &after);
                         return after.left == before.left + 40 && after.top == before.top + 32;
                     });
                     ::GetWindowRect(dlg, &after);
                     dialog_test::Key(dlg, VK_RETURN);
                     return true;
                 }});
    if (mover) ::CloseHandle(mover);
    EXPECT_EQ(before.left + 40, after.left);
    EXPECT_EQ(before.top + 32, after.top);
}

TEST(Chooser, ReturnsOkWithTheBoxesAsLeft) {
    CVynChooseBox chooser;
    const INT_PTR result = RunBox(chooser, {[&](HWND dlg) {
        const SIZE client = ClientSize(dlg);
        EXPECT_EQ(160 + 15, client.cy);
        EXPECT_EQ(L"开机自启动", chooser.AutorunBox().Text());
        EXPECT_EQ(L"建立桌面快捷方式", chooser.ShortcutBox().Text());
        EXPECT_EQ(POINT({50, client.cy - 74}).y, chooser.AutorunBox().Rect().top);
        EXPECT_EQ(50, chooser.ShortcutBox().Rect().left);
        EXPECT_EQ(client.cy - 54, chooser.ShortcutBox().Rect().top);
        EXPECT_FALSE(chooser.AutorunChecked());
        EXPECT_TRUE(chooser.ShortcutChecked());
        EXPECT_FALSE(chooser.TitleText().IsVisible());
        // The buttons sit 8 pixels lower than in a message box.
        EXPECT_EQ(client.cy - 32, chooser.RightButton().Rect().top);
        EXPECT_EQ(L"确定", chooser.RightButton().Text());
        // Topmost tool window.
        const LONG ex = ::GetWindowLongW(dlg, GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_TOPMOST);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
        // Each check box lies wholly on the body; the band at the foot holds
        // only the button (read down a column left of every control).
        dialog_test::Snapshot shot(dlg);
        const COLORREF body = shot.At(10, 80);
        for (const CBexCheckBox* row : {&chooser.AutorunBox(), &chooser.ShortcutBox()})
            for (int y = row->Rect().top; y < row->Rect().bottom; ++y) EXPECT_EQ(body, shot.At(10, y)) << "row " << y;
        for (int y = chooser.RightButton().Rect().top; y < chooser.RightButton().Rect().bottom; ++y)
            EXPECT_NE(body, shot.At(10, y)) << "button " << y;
        // The second row keeps as many clear rows below its ink, down to the
        // band's line, as the first keeps down to the second row's ink.
        const auto inkRows = [&](const RECT& r) {
            std::pair<int, int> rows{-1, -1};
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    if (shot.At(x, y) != body) {
                        if (rows.first < 0) rows.first = y;
                        rows.second = y;
                    }
            return rows;
        };
        const std::pair<int, int> first = inkRows(chooser.AutorunBox().Rect());
        const std::pair<int, int> second = inkRows(chooser.ShortcutBox().Rect());
        int line = second.second + 1;
        while (line < client.cy && shot.At(10, line) == body) ++line;
        EXPECT_GE(line - second.second, second.first - first.second) << "line " << line;
        Click(dlg, chooser.AutorunBox());
        Click(dlg, chooser.ShortcutBox());
        Click(dlg, chooser.RightButton());
        return true;
    }});
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(chooser.AutorunChecked());
    EXPECT_FALSE(chooser.ShortcutChecked());
}

TEST(Chooser, FirstRunSetsUpAutorunAndTheShortcut) {
    const wchar_t kRun[] = L"software\\microsoft\\windows\\currentversion\\run";
    testsupport::RegValueBackup run(HKEY_CURRENT_USER, kRun, L"Corvalle");
    const std::wstring shortcut = DesktopShortcutPath();
    ASSERT_FALSE(shortcut.empty());
    testsupport::FileBackup link(shortcut);
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            ::RegDeleteValueW(key, L"Corvalle");
            ::RegCloseKey(key);
        }
    }
    HWND main = ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    bool mainHidden = false;
    // The chooser is made inside the seam: find it by its class and skin.
    Drive([&] {
            SystemShowingDialogs().RunFirstRunChooser(main);
            return 0;
        },
        [&]() -> HWND {
            HWND found = ::GetForegroundWindow();
            DWORD pid = 0;
            ::GetWindowThreadProcessId(found, &pid);
            wchar_t cls[16] = {};
            ::GetClassNameW(found, cls, 16);
            return pid == ::GetCurrentProcessId() && wcscmp(cls, L"#32770") == 0 ? found : nullptr;
        },
        {[&](HWND dlg) {
            mainHidden = !::IsWindowVisible(main);
            RECT rc{};
            ::GetClientRect(dlg, &rc);
            // Tick "start with Windows" (50, cy - 74) and press OK.
            dialog_test::ClickAt(dlg, 58, rc.bottom - 74 + 8);
            dialog_test::Key(dlg, VK_RETURN);
            return true;
        }});
    ::DestroyWindow(main);
    EXPECT_TRUE(mainHidden);
    const auto value = testsupport::ReadRegText(HKEY_CURRENT_USER, kRun, L"Corvalle");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(L'"', value->front());
    EXPECT_EQ(L'"', value->back());
    EXPECT_TRUE(testsupport::FileExists(shortcut));
}
