// The control manager in a real window: hit order, hover, capture, painting
// read back as pixels, geometry, the tooltip registry and re-creation.
#include <gtest/gtest.h>

#include "toolkit_test_support.h"

using namespace toolkit;

using namespace toolkit_test;

namespace {

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(300, 200));
        // Keep the real cursor away so the hover timer does not interfere
        // unless a test wants it to.
        ::SetCursorPos(1200, 1000);
    }
    void Add(ProbeWnd& w, int x, int y, int cx, int cy, DWORD flags = kBexVisible) {
        w.Attach(&host, flags, 100);
        host.SetWndRect(&w, x, y, cx, cy);
    }
    TestHost host;
};

}  // namespace

TEST_F(ManagerTest, AttachRunsTheSequenceAndBindsAtTheFirstMessage) {
    EXPECT_EQ(host.Hwnd(), host.HostWindow());
    ProbeWnd a;
    a.Attach(&host, 3, 0x12345);
    EXPECT_EQ((std::vector<std::string>{"create", "move 0,0", "size 0,0"}), a.log);
    EXPECT_EQ(3u, a.Flags());
    EXPECT_EQ(0x12345u, a.Id());
    host.SetWndRect(&a, 10, 20, 30, 40);
    EXPECT_EQ("size 30,40", a.Last());
    EXPECT_TRUE(a.Has("move 10,20"));
    a.log.clear();
    host.SetWndRect(&a, 10, 20, 30, 40);  // unchanged: nothing
    host.SetWndPos(&a, 10, 20);
    host.SetWndSize(&a, 30, 40);
    EXPECT_TRUE(a.log.empty());
    host.SetWndPos(&a, 5, 6);
    EXPECT_EQ("move 5,6", a.Last());
    EXPECT_EQ(30, a.Width());
    host.SetWndSize(&a, 7, 8);
    EXPECT_EQ("size 7,8", a.Last());
    EXPECT_EQ(5, a.Rect().left);
}

TEST_F(ManagerTest, FirstVisibleEnabledControlInArrayOrderIsHit) {
    ProbeWnd first, second, hidden, disabled;
    Add(hidden, 0, 0, 100, 100, 0);
    Add(disabled, 0, 0, 100, 100, kBexVisible | kBexDisabled);
    Add(first, 10, 10, 50, 50);
    Add(second, 30, 30, 50, 50);
    host.Down(40, 40);
    EXPECT_EQ("down 30,30", first.Last());
    EXPECT_TRUE(second.log.back().rfind("down", 0) != 0);
    host.Down(70, 70);
    EXPECT_EQ("down 40,40", second.Last());
    EXPECT_FALSE(hidden.Has("down 40,40"));
    EXPECT_FALSE(disabled.Has("down 40,40"));
    EXPECT_EQ(&first, host.HitTest(POINT{40, 40}));
    EXPECT_EQ(nullptr, host.HitTest(POINT{5, 5}));

    // A control that declines the click leaves it to the host.
    first.consume = 0;
    LRESULT r = 0;
    EXPECT_FALSE(host.RouteMessage(host.Hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(20, 20), &r));
    first.consume = 1;
    EXPECT_TRUE(host.RouteMessage(host.Hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(20, 20), &r));
    EXPECT_FALSE(host.RouteMessage(host.Hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(200, 150), &r));
}

TEST_F(ManagerTest, HoverEntersAndLeavesAsTheMouseMoves) {
    ProbeWnd a, b;
    Add(a, 10, 10, 40, 40);
    Add(b, 60, 10, 40, 40);
    host.Move(20, 20);
    EXPECT_EQ(&a, host.HoveredWnd());
    EXPECT_TRUE(a.Has("enter"));
    EXPECT_EQ("mousemove 10,10", a.Last());
    host.Move(70, 20);
    EXPECT_EQ("leave", a.Last());
    EXPECT_EQ(&b, host.HoveredWnd());
    host.Move(150, 150);
    EXPECT_EQ("leave", b.Last());
    EXPECT_EQ(nullptr, host.HoveredWnd());
    // The host still sees the moves (also where no control lies).
    EXPECT_EQ(3, host.hostMouseMoves);
}

TEST_F(ManagerTest, HoverTimerLeavesWhenTheCursorIsElsewhere) {
    ProbeWnd a;
    Add(a, 10, 10, 40, 40);
    host.Move(20, 20);
    ASSERT_EQ(&a, host.HoveredWnd());
    PumpUntil([&] { return host.HoveredWnd() == nullptr && a.Last() == "leave"; });
    EXPECT_EQ(nullptr, host.HoveredWnd());
    EXPECT_EQ("leave", a.Last());
    EXPECT_GE(a.ticks, 1);
    // With nothing hovered the check stops: an idle host does not wake.
    const int ticks = a.ticks;
    Pump(300);
    EXPECT_EQ(ticks, a.ticks);

    // Over the host but with another window on top: the tick leaves too.
    ::SetCursorPos(100 + 20, 100 + 20);
    Pump(50);
    host.Move(20, 20);
    ASSERT_EQ(&a, host.HoveredWnd());
    Pump(300);
    EXPECT_EQ(&a, host.HoveredWnd()) << "the cursor really is over the control";
    TestHost cover;
    ASSERT_TRUE(cover.Open(100, 100, 90, 90));
    PumpUntil([&] { return host.HoveredWnd() == nullptr; });
    EXPECT_EQ(nullptr, host.HoveredWnd());
}

TEST_F(ManagerTest, CaptureFollowsTheMouseOutAndBack) {
    ProbeWnd a;
    Add(a, 10, 10, 40, 40);
    host.Move(20, 20);
    host.SetCapture(&a);
    EXPECT_EQ(host.Hwnd(), ::GetCapture());
    host.Move(200, 150);
    EXPECT_EQ("mousemove 190,140", a.Last());
    EXPECT_TRUE(a.Has("leave"));
    EXPECT_EQ(nullptr, host.HoveredWnd());
    host.Move(30, 30);
    EXPECT_EQ(&a, host.HoveredWnd());
    host.Up(200, 150);  // goes to the captured control wherever it is
    EXPECT_EQ("up 190,140", a.Last());
    host.ReleaseCapture(&a);
    EXPECT_EQ("capturelost", a.Last());
    EXPECT_EQ(nullptr, host.CapturedWnd());

    // A new capture takes it from the old holder.
    ProbeWnd b;
    Add(b, 60, 10, 40, 40);
    host.SetCapture(&a);
    host.SetCapture(&b);
    EXPECT_EQ("capturelost", a.Last());
    EXPECT_EQ(&b, host.CapturedWnd());
    // Releasing for a control that does not hold it changes nothing.
    host.ReleaseCapture(&a);
    EXPECT_EQ(&b, host.CapturedWnd());
    host.ReleaseCapture(&b);
}

TEST_F(ManagerTest, RemoveWndEndsCaptureAndHover) {
    ProbeWnd a, b;
    Add(a, 10, 10, 40, 40);
    Add(b, 60, 10, 40, 40);
    host.Move(20, 20);
    host.SetCapture(&a);
    EXPECT_TRUE(host.RemoveWnd(&a));
    EXPECT_TRUE(a.Has("capturelost"));
    EXPECT_EQ("leave", a.Last());
    EXPECT_EQ(nullptr, host.CapturedWnd());
    EXPECT_EQ(nullptr, host.HoveredWnd());
    EXPECT_FALSE(host.RemoveWnd(&a));
    EXPECT_EQ(1u, host.Controls().size());
    a.SetOwner(nullptr);
    {
        ProbeWnd shortLived;
        Add(shortLived, 0, 0, 5, 5);
        EXPECT_EQ(2u, host.Controls().size());
    }
    // A control that dies first leaves the array.
    EXPECT_EQ(1u, host.Controls().size());
}

TEST_F(ManagerTest, PaintOrderAndClippingReadBackAsPixels) {
    ProbeWnd red(RGB(255, 0, 0)), green(RGB(0, 255, 0)), hidden(RGB(9, 9, 9)),
        disabled(RGB(255, 255, 0));
    Add(red, 10, 10, 50, 50);
    Add(green, 40, 40, 50, 50);
    Add(hidden, 100, 100, 20, 20, 0);
    Add(disabled, 150, 10, 20, 20, kBexVisible | kBexDisabled);
    PixelSurface s(300, 200);
    s.Fill(RGB(0, 0, 0));
    s.Print(host.Hwnd());
    EXPECT_EQ(RGB(0, 0, 255), s.At(5, 5));        // background
    EXPECT_EQ(RGB(255, 0, 0), s.At(50, 50));      // the earlier control wins the overlap
    EXPECT_EQ(RGB(0, 255, 0), s.At(80, 80));
    EXPECT_EQ(RGB(0, 0, 255), s.At(110, 110));    // hidden: not painted
    EXPECT_EQ(RGB(255, 255, 0), s.At(155, 15));   // disabled: still painted
    // The background never paints over a control (its rectangle was
    // excluded), and the caller's DC gets its clip region back.
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, ::GetClipRgn(s.Dc(), rgn));
    ::DeleteObject(rgn);
}

TEST_F(ManagerTest, TransparentControlsGetTheBackgroundUnderThem) {
    ProbeWnd small(RGB(255, 0, 0));
    small.squareOnly = 4;
    Add(small, 10, 10, 20, 20, kBexVisible | kBexTransparent);
    host.background = RGB(0, 128, 0);
    small.paints = 0;
    PixelSurface s(300, 200);
    s.Fill(RGB(0, 0, 0));
    s.Print(host.Hwnd());
    EXPECT_EQ(RGB(0, 128, 0), s.At(11, 11));
    EXPECT_EQ(RGB(255, 0, 0), s.At(20, 20));
    EXPECT_EQ(1, small.paints);
}

TEST(ManagerWide, TransparentControlWiderThanTheCanvasIsPaintedInPlace) {
    TestHost host;
    ASSERT_TRUE(host.Open(1150, 60, 0, 0));
    ProbeWnd wide(RGB(255, 0, 0));
    wide.squareOnly = 6;
    wide.Attach(&host, kBexVisible | kBexTransparent, 1);
    host.SetWndRect(&wide, 20, 10, 1100, 20);
    host.background = RGB(0, 0, 200);
    PixelSurface s(1150, 60);
    s.Fill(RGB(0, 0, 0));
    s.Print(host.Hwnd());
    EXPECT_EQ(RGB(0, 0, 200), s.At(25, 12));
    EXPECT_EQ(RGB(255, 0, 0), s.At(20 + 550, 20));
    EXPECT_EQ(RGB(0, 0, 200), s.At(1115, 25));
}

TEST_F(ManagerTest, RedrawRespectsSetRedrawAndSuspendedUpdates) {
    ProbeWnd a;
    Add(a, 10, 10, 20, 20);
    ::UpdateWindow(host.Hwnd());
    Pump(50);
    a.paints = 0;
    host.RedrawWnd(&a, nullptr, 0, 0);
    EXPECT_EQ(1, a.paints);

    ::SendMessageW(host.Hwnd(), WM_SETREDRAW, FALSE, 0);
    host.RedrawWnd(&a, nullptr, 0, 0);
    EXPECT_EQ(1, a.paints);
    ::SendMessageW(host.Hwnd(), WM_SETREDRAW, TRUE, 0);
    ::ValidateRect(host.Hwnd(), nullptr);

    host.SuspendUpdate();
    host.RedrawWnd(&a, nullptr, 0, 0);
    EXPECT_EQ(1, a.paints);
    RECT update{};
    EXPECT_TRUE(::GetUpdateRect(host.Hwnd(), &update, FALSE));
    EXPECT_EQ(10, update.left);
    EXPECT_EQ(30, update.bottom);
    host.ResumeUpdate();
    ::ValidateRect(host.Hwnd(), nullptr);

    // A sub-rectangle outside the control draws nothing; a hidden control
    // is only erased when forced.
    RECT outside{50, 50, 60, 60};
    host.RedrawWnd(&a, &outside, 0, 0);
    EXPECT_EQ(1, a.paints);
    a.SetFlag(kBexVisible, false);
    host.RedrawWnd(&a, nullptr, 0, 0);
    host.RedrawWnd(&a, nullptr, TRUE, 0);
    EXPECT_EQ(1, a.paints);
}

TEST(ManagerUnbound, NothingIsDrawnOrInvalidatedWithoutAHostWindow) {
    CBexWndManager manager;
    ProbeWnd a;
    a.Attach(&manager, kBexVisible, 1);
    manager.SetWndRect(&a, 0, 0, 50, 50);  // would invalidate the desktop
    manager.RedrawWnd(&a, nullptr, 0, 0);  // would paint onto the screen
    EXPECT_EQ(0, a.paints);
    EXPECT_EQ(50, a.Width());
}

TEST_F(ManagerTest, ToolTipIdsAreUniqueAndReused) {
    ProbeWnd a, b;
    Add(a, 0, 0, 10, 10);
    Add(b, 20, 0, 10, 10);
    EXPECT_EQ(1, host.AddToolTip(&a, 1, nullptr));
    EXPECT_EQ(0, host.AddToolTip(&a, 1, nullptr));
    RECT part{1, 1, 3, 3};
    EXPECT_EQ(2, host.AddToolTip(&a, 2, &part));
    EXPECT_EQ(3, host.AddToolTip(&b, 1, nullptr));
    EXPECT_EQ(CBexToolTipAdpater::kWholeControl, host.ToolTips().Find(1)->rect.left);
    EXPECT_EQ(1, host.ToolTips().Find(2)->rect.left);
    host.RemoveToolTips(&a);
    EXPECT_EQ(nullptr, host.ToolTips().Find(1));
    EXPECT_EQ(1, host.AddToolTip(&b, 7, nullptr));
    EXPECT_EQ(2, host.AddToolTip(&a, 1, nullptr));
    EXPECT_EQ(4, host.AddToolTip(&a, 2, nullptr));
}

TEST_F(ManagerTest, ForeignNotificationsAreNotRead) {
    ProbeWnd a;
    Add(a, 0, 0, 10, 10);
    host.AddToolTip(&a, 1, nullptr);
    // No tooltip window: lParam is never dereferenced (a bad pointer here).
    LRESULT r = 0;
    EXPECT_FALSE(host.RouteMessage(host.Hwnd(), WM_NOTIFY, 0, 0x10, &r));
    EXPECT_FALSE(host.RouteMessage(host.Hwnd(), WM_NOTIFY, 0, 0, &r));
    // With one, only its own TTN_GETDISPINFOW is answered.
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(0x1234);
    info.hdr.idFrom = 1;
    info.hdr.code = TTN_GETDISPINFOW;
    host.ToolTips().Attach(reinterpret_cast<HWND>(0x1234), host.Hwnd());
    EXPECT_TRUE(host.RouteMessage(host.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info), &r));
    info.hdr.hwndFrom = reinterpret_cast<HWND>(0x9999);
    EXPECT_FALSE(host.RouteMessage(host.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info), &r));
    host.ToolTips().Attach(nullptr, nullptr);
}

TEST(ManagerLife, DestroyDetachesAndASecondWindowBindsAgain) {
    TestHost host;
    ::SetCursorPos(1200, 1000);
    ASSERT_TRUE(host.Open(200, 100));
    ProbeWnd a;
    a.Attach(&host, 3, 7);
    host.SetWndRect(&a, 10, 10, 30, 30);
    host.Move(15, 15);
    host.SetCapture(&a);
    host.DestroyWindow();
    EXPECT_TRUE(a.Has("leave"));
    EXPECT_TRUE(a.Has("capturelost"));
    EXPECT_EQ("hostdestroy", a.Last());
    EXPECT_EQ(0u, a.Flags());
    EXPECT_EQ(0u, a.Id());
    EXPECT_EQ(nullptr, a.Owner());
    EXPECT_TRUE(host.Controls().empty());
    EXPECT_EQ(nullptr, host.HostWindow());

    // The same host object makes a new window: the manager binds to it, the
    // hover timer runs again and the controls get input and hover.
    ASSERT_TRUE(host.Open(200, 100));
    EXPECT_EQ(host.Hwnd(), host.HostWindow());
    a.log.clear();
    a.ticks = 0;
    a.Attach(&host, 3, 7);
    host.SetWndRect(&a, 10, 10, 30, 30);
    host.Move(15, 15);
    EXPECT_TRUE(a.Has("enter"));
    host.Down(15, 15);
    EXPECT_EQ("down 5,5", a.Last());
    PumpUntil([&] { return a.ticks >= 1 && a.Last() == "leave"; });
    EXPECT_GE(a.ticks, 1);
    EXPECT_EQ("leave", a.Last());
}
