// Buttons, check boxes and the image control in a real host.
#include <gtest/gtest.h>

#include <algorithm>

#include "toolkit/bex_controls.h"
#include "toolkit_test_support.h"

using namespace toolkit;

using namespace toolkit_test;

namespace {

const std::vector<COLORREF> kStates = {RGB(10, 10, 10), RGB(20, 20, 20), RGB(30, 30, 30), RGB(40, 40, 40)};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(1200, 1000);
        ASSERT_TRUE(host.Open(300, 200));
    }
    // The colour the control shows at a point, painted through the host.
    COLORREF ColorAt(int x, int y) {
        PixelSurface s(300, 200);
        s.Print(host.Hwnd());
        return s.At(x, y);
    }
    TestHost host;
    CBexBitmap strip{SolidStrip(kStates, 20, 10, -1), kBexKindBmp, 4};
};

}  // namespace

TEST_F(ControlsTest, ButtonClickNeedsTheReleaseOverTheButton) {
    CBexButton3 button;
    button.SetStrip(&strip);
    button.Attach(&host, 3, 42);
    host.SetWndPos(&button, 10, 10);
    EXPECT_EQ(20, button.Width());  // auto-sized to one frame
    EXPECT_EQ(10, button.Height());

    // Down, move off, up: no command, and the button looks normal off it.
    host.Move(15, 15);
    EXPECT_EQ(RGB(20, 20, 20), ColorAt(15, 15));
    host.Down(15, 15);
    EXPECT_EQ(RGB(30, 30, 30), ColorAt(15, 15));
    host.Move(100, 100);
    EXPECT_EQ(RGB(10, 10, 10), ColorAt(15, 15));
    host.Up(100, 100);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ(nullptr, ::GetCapture());

    // Down, off, back on, up: the command is sent with code 0 and the control.
    host.Move(15, 15);
    host.Down(15, 15);
    host.Move(100, 100);
    host.Move(16, 16);
    host.Up(16, 16);
    ASSERT_EQ(1u, host.commands.size());
    EXPECT_EQ(42, host.commands[0].id);
    EXPECT_EQ(0, host.commands[0].code);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&button), host.commands[0].lParam);

    // A double click acts as a second press.
    ::SendMessageW(host.Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(15, 15));
    EXPECT_TRUE(button.IsPressed());
    host.Up(15, 15);
    EXPECT_EQ(2u, host.commands.size());
}

TEST_F(ControlsTest, DisabledButtonGetsNoInputButShowsItsDisabledFrame) {
    CBexButton3 button;
    button.SetStrip(&strip);
    button.Attach(&host, 3, 42);
    host.SetWndPos(&button, 10, 10);
    button.EnableWnd(false);
    host.Move(15, 15);
    host.Down(15, 15);
    host.Up(15, 15);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ(3, button.StateFrame());
    EXPECT_EQ(RGB(40, 40, 40), ColorAt(15, 15));

    // A strip without a disabled frame draws nothing for it.
    CBexBitmap three{SolidStrip({RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)}, 20, 10, -1), kBexKindBmp, 3};
    button.SetStrip(&three);
    EXPECT_EQ(RGB(0, 0, 255), ColorAt(15, 15));
}

TEST_F(ControlsTest, TextButtonWidthFollowsItsText) {
    CBexBitmap wide{SolidStrip(kStates, 90, 24, -1), kBexKindBmp, 4};
    CBexButton4 button;
    button.Attach(&host, 3, 5);
    button.SetBackground(&wide);
    button.SetText(L"确定");
    const int text = MeasureText(BexFont(3), -1, L"确定", nullptr);
    EXPECT_EQ(std::max(text + 20, 90), button.Width());
    EXPECT_EQ(24, button.Height());
    EXPECT_EQ((button.Width() - text) / 2, button.ContentOffset());

    const wchar_t* longText = L"这是一个相当长的按钮文字用来测试宽度";
    button.SetText(longText);
    const int longWidth = MeasureText(BexFont(3), -1, longText, nullptr);
    EXPECT_EQ(std::max(longWidth + 20, 90), button.Width());
    EXPECT_GT(button.Width(), 90);
    EXPECT_EQ(10, button.ContentOffset());

    // With an icon, 5 pixels stand between icon and text.
    CBexBitmap icon{SolidStrip({RGB(1, 2, 3)}, 12, 12, -1), kBexKindBmp, 1};
    button.SetText(L"确定");
    button.SetIcon(&icon);
    EXPECT_EQ(std::max(12 + 5 + text + 20, 90), button.Width());

    // Without auto-size the width stays and only the offset changes.
    CBexButton4 fixed;
    fixed.Attach(&host, kBexVisible, 6);
    host.SetWndRect(&fixed, 0, 50, 200, 24);
    fixed.SetBackground(&wide);
    fixed.SetText(L"确定");
    EXPECT_EQ(200, fixed.Width());
    EXPECT_EQ((200 - text) / 2, fixed.ContentOffset());
}

TEST_F(ControlsTest, CheckBoxTransitions) {
    std::vector<COLORREF> nine;
    for (int i = 0; i < 9; ++i) nine.push_back(RGB(i * 10 + 5, 0, 0));
    CBexBitmap boxes{SolidStrip(nine, 16, 16, -1), kBexKindBmp, 9};
    CBexCheckBox box;
    box.SetStrip(&boxes);
    box.Attach(&host, 3, 1001);
    host.SetWndPos(&box, 20, 20);
    EXPECT_EQ(16, box.Width());
    EXPECT_FALSE(box.IsTransparent());

    auto click = [&] {
        host.Move(25, 25);
        host.Down(25, 25);
        host.Up(25, 25);
    };
    click();
    EXPECT_EQ(1, box.GetCheck());
    EXPECT_EQ(5, box.StateFrame());  // checked, hovered
    EXPECT_EQ(RGB(55, 0, 0), ColorAt(25, 25));
    click();
    EXPECT_EQ(0, box.GetCheck());
    EXPECT_EQ(2u, host.commands.size());
    EXPECT_EQ(1001, host.commands[1].id);

    // Pressed off the box and released there: no change, no command.
    host.Down(25, 25);
    host.Move(150, 150);
    host.Up(150, 150);
    EXPECT_EQ(0, box.GetCheck());
    EXPECT_EQ(2u, host.commands.size());

    // Mixed shows frame 8 and becomes checked on the first click.
    box.SetMixed(1);
    EXPECT_EQ(8, box.StateFrame());
    click();
    EXPECT_EQ(1, box.GetCheck());
    EXPECT_EQ(0, box.IsMixed());

    // A radio button stays checked.
    box.SetRadio(1);
    click();
    EXPECT_EQ(1, box.GetCheck());
    box.SetCheck(0);
    click();
    EXPECT_EQ(1, box.GetCheck());

    // Disabled frames.
    box.EnableWnd(false);
    EXPECT_EQ(7, box.StateFrame());
    box.SetCheck(0);
    EXPECT_EQ(3, box.StateFrame());

    // With a text the box grows by the text and 5 pixels and turns transparent.
    box.EnableWnd(true);
    box.SetText(L"开机自启动");
    SIZE size{};
    MeasureText(BexFont(3), -1, L"开机自启动", &size);
    EXPECT_EQ(16 + 5 + size.cx, box.Width());
    EXPECT_EQ(std::max<int>(16, size.cy), box.Height());
    EXPECT_TRUE(box.IsTransparent());
}

TEST_F(ControlsTest, ImageControlSizesToItsBitmap) {
    CBexBitmap alpha{SolidStrip({RGB(200, 0, 0), RGB(0, 200, 0)}, 12, 8, 255), kBexKindPng, 2};
    CBexImageWnd image;
    image.Attach(&host, 3, 0);
    image.SetBitmap(&alpha);
    host.SetWndPos(&image, 50, 50);
    EXPECT_EQ(12, image.Width());
    EXPECT_EQ(8, image.Height());
    EXPECT_TRUE(image.IsTransparent());
    EXPECT_EQ(RGB(200, 0, 0), ColorAt(55, 55));
    image.SetFrame(1);
    EXPECT_EQ(RGB(0, 200, 0), ColorAt(55, 55));
    image.SetBitmap(nullptr);  // keeps the size, draws nothing
    EXPECT_EQ(12, image.Width());
    EXPECT_EQ(RGB(0, 0, 255), ColorAt(55, 55));

    CBexImageWnd hidden;
    hidden.Attach(&host, kBexAutoSize, 0);
    hidden.SetBitmap(&alpha);
    host.SetWndPos(&hidden, 100, 100);
    EXPECT_EQ(RGB(0, 0, 255), ColorAt(105, 105));
    hidden.ShowWnd(true);
    EXPECT_EQ(RGB(200, 0, 0), ColorAt(105, 105));
}
