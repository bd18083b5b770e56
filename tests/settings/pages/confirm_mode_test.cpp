#include <gtest/gtest.h>

#include "settings/model/GlobalFuncs.h"
#include "settings/pages/FrmConfirmMode.h"
#include "tests/settings/skin_test_support.h"

using namespace settings;

using settingstest::Pump;

namespace {

TConfirmInfo TwoLines() {
    TConfirmInfo info;
    info.Title = L"恭喜，您已经选择儿童模式";
    info.SecondLine = L"马上重新启动计算机看看儿童模式的效果吧！";
    info.Message = L"选择 \"稍后重启\"， 将会在下次开机时帮您加载\r\n儿童模式的相关配置。";
    info.OkCaption = L"立即重启";
    info.CancelCaption = L"稍后重启";
    return info;
}

// Clicks a control of the box through the box's own window.
void ClickOn(TFormConfirmMode& box, const forms::TControl& control) {
    const RECT& r = control.Bounds();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageW(box.Hwnd(), WM_MOUSEMOVE, 0, at);
    ::PostMessageW(box.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(box.Hwnd(), WM_LBUTTONUP, 0, at);
}

class ConfirmTest : public ::testing::Test {
protected:
    void SetUp() override { ::SetCursorPos(0, 0); }
};

}  // namespace

TEST_F(ConfirmTest, TheBoxTakesThePictureSizeAndPlacesItsButtons) {
    TFormConfirmMode box;
    ASSERT_TRUE(box.CreateForm(nullptr));
    EXPECT_TRUE(box.Skinned());
    wchar_t name[64] = {};
    ::GetClassNameW(box.Hwnd(), name, 64);
    EXPECT_STREQ(name, L"TFormConfirmMode");
    const RECT client = box.ClientRect();
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 230);
    box.Prepare(TwoLines());
    EXPECT_EQ(box.CloseButton()->Bounds().left, 400 - 39 - 1);
    EXPECT_EQ(box.CloseButton()->Bounds().top, 1);
    const RECT& cancel = box.CancelButton()->Bounds();
    EXPECT_EQ(cancel.left, 400 - 70 - 15);
    EXPECT_EQ(cancel.top, 230 - 23 - 13);
    EXPECT_EQ(box.OkButton()->Bounds().left, cancel.left - 70 - 15);
    EXPECT_EQ(box.OkButton()->Bounds().top, cancel.top);
    EXPECT_EQ(box.OkButton()->Caption(), L"立即重启");
    EXPECT_EQ(box.CancelButton()->Caption(), L"稍后重启");
    box.Show();
    ::SetWindowPos(box.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const RECT& close = box.CloseButton()->Bounds();
    EXPECT_EQ(settingstest::TipAt(box.Tooltip(), box.Hwnd(), POINT{(close.left + close.right) / 2, close.top + 10}),
              L"稍后重启")
        << "the close button's tip names the cancel button";
    EXPECT_EQ(box.OkButton()->CaptionColor, 0x635E57u);
    EXPECT_TRUE(box.OkButton()->ShowCaption);
}

TEST_F(ConfirmTest, TwoLinesStackTitleSecondLineSeparatorAndMessages) {
    TFormConfirmMode box;
    ASSERT_TRUE(box.CreateForm(nullptr));
    box.Prepare(TwoLines());
    const int gap = IsVistaOrLater() ? 8 : 10;
    const RECT& title = box.TitleLabel()->Bounds();
    const RECT& second = box.SecondLabel()->Bounds();
    EXPECT_EQ(title.left, 105);
    EXPECT_EQ(title.top, 50);
    EXPECT_TRUE(box.SecondLabel()->Visible());
    EXPECT_EQ(second.left, 105);
    EXPECT_EQ(second.top, title.bottom + gap);
    EXPECT_EQ(box.imgLine()->Bounds().top, second.bottom + gap);
    EXPECT_EQ(box.lblMsg()->Bounds().top, box.imgLine()->Bounds().bottom + gap);
    EXPECT_EQ(box.lblMsg2()->Bounds().top, box.lblMsg()->Bounds().bottom + gap);
    EXPECT_EQ(box.lblMsg()->TextColor, 0x808080u);
    EXPECT_GT(box.lblMsg()->Height(), box.TitleLabel()->Height()) << "two lines of message";
    EXPECT_EQ(box.TitleLabel()->TextItems(0)->Font.Color, 0x555555u);
    EXPECT_EQ(box.TitleLabel()->TextItems(0)->Font.Style, static_cast<unsigned>(fsBold));
    EXPECT_EQ(box.SecondLabel()->TextItems(0)->Font.Color, 0x808080u);
}

TEST_F(ConfirmTest, OneLineShowsTheTitleLowerWithTheSeparatorDirectlyUnderIt) {
    TFormConfirmMode box;
    ASSERT_TRUE(box.CreateForm(nullptr));
    TConfirmInfo info;
    info.Title = L"您当前选择的是老人模式";
    info.Message = L"注意：因老人模式会加大字体";
    box.Prepare(info);
    const int gap = IsVistaOrLater() ? 8 : 10;
    const RECT& title = box.TitleLabel()->Bounds();
    EXPECT_EQ(title.top, 50 + (title.bottom - title.top));
    EXPECT_FALSE(box.SecondLabel()->Visible());
    EXPECT_EQ(box.imgLine()->Bounds().top, title.bottom + gap);
    EXPECT_EQ(box.OkButton()->Caption(), L"确定") << "an empty caption keeps the default";
    EXPECT_EQ(box.CancelButton()->Caption(), L"取消");
    EXPECT_EQ(box.lblMsg2()->Height(), 0);
}

TEST_F(ConfirmTest, OkButtonConfirms) {
    bool shown = false;
    const bool result = ShowConfirm(TwoLines(), nullptr, [&](TFormConfirmMode& box) {
        shown = ::IsWindowVisible(box.Hwnd()) != FALSE;
        ClickOn(box, *box.OkButton());
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(result);
    EXPECT_EQ(::FindWindowW(L"TFormConfirmMode", nullptr), nullptr) << "destroyed afterwards";
}

TEST_F(ConfirmTest, CancelAndCloseButtonsDecline) {
    EXPECT_FALSE(ShowConfirm(TwoLines(), nullptr, [](TFormConfirmMode& box) { ClickOn(box, *box.CancelButton()); }));
    EXPECT_FALSE(ShowConfirm(TwoLines(), nullptr, [](TFormConfirmMode& box) { ClickOn(box, *box.CloseButton()); }));
    EXPECT_FALSE(ShowConfirm(TwoLines(), nullptr, [](TFormConfirmMode& box) { ::PostMessageW(box.Hwnd(), WM_CLOSE, 0, 0); }));
}

TEST_F(ConfirmTest, TheBackgroundIsPaintedOnScreen) {
    COLORREF corner = CLR_INVALID, middle = CLR_INVALID;
    ShowConfirm(TwoLines(), nullptr, [&](TFormConfirmMode& box) {
        ::SetWindowPos(box.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::UpdateWindow(box.Hwnd());
        Pump(50);
        corner = testsupport::ClientPixel(box.Hwnd(), 20, 200);
        middle = testsupport::ClientPixel(box.Hwnd(), 200, 40);
        if (const char* shot = ::getenv("CONFIRM_SCREENSHOT_PAUSE")) Pump(static_cast<DWORD>(atoi(shot)));
        ClickOn(box, *box.CancelButton());
    });
    EXPECT_NE(corner, CLR_INVALID);
    EXPECT_NE(middle, RGB(0, 0, 0)) << "the picture, not an empty black box";
    EXPECT_NE(corner, middle) << "the footer band differs from the body";
}
