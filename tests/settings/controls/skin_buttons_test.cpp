#include <gtest/gtest.h>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/TabButton.h"
#include "tests/settings/skin_test_support.h"

using namespace settings;

using namespace skintest;
using settingstest::Pump;

namespace {

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(0, 0);
        ASSERT_TRUE(form_.CreateForm(nullptr));
        form_.Show();
        Pump(20);
    }
    void TearDown() override {
        form_.DestroyWindow();
        Pump(10);
    }
    // The real pointer goes along: releasing the capture makes the system
    // report where the pointer really is.
    void Move(int x, int y) {
        POINT pt{x, y};
        ::ClientToScreen(form_.Hwnd(), &pt);
        ::SetCursorPos(pt.x, pt.y);
        Post(form_.Hwnd(), WM_MOUSEMOVE, 0, x, y);
    }
    void Down(int x, int y) { Post(form_.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Up(int x, int y) { Post(form_.Hwnd(), WM_LBUTTONUP, 0, x, y); }

    // Four states in four colours: normal red, hover green, pressed blue,
    // disabled grey.
    TButtonImage& MakeButton(int x, int y) {
        auto& button = form_.Add<TButtonImage>(x, y, 20, 10);
        EXPECT_TRUE(button.LoadStrip(SolidStrip(20, 10, {kRed, kGreen, kBlue, kGrey}), 20, 10));
        const TQRGBAList& frames = button.RGBAList();
        button.SetNormalBmp(*frames.Items(0));
        button.SetPassBmp(*frames.Items(1));
        button.SetPressBmp(*frames.Items(2));
        button.SetDisableBmp(*frames.Items(3));
        return button;
    }

    PlainForm form_{L"TSkinButtonTest"};
};

}  // namespace

TEST_F(SkinButtonTest, ImageButtonFollowsNormalHoverPressedAndRelease) {
    TButtonImage& button = MakeButton(50, 50);
    int clicks = 0, actions = 0;
    button.OnClick = [&](forms::TControl&) { ++clicks; };
    button.Action = [&] { ++actions; };
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u) << "frame 0 after loading";

    Move(55, 55);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x00FF00u);
    Down(55, 55);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x0000FFu);
    EXPECT_TRUE(button.IsPressed());
    Up(55, 55);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x00FF00u) << "released inside: hover";
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(actions, 1) << "the action runs after OnClick";

    Move(200, 150);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u) << "left: normal";
}

TEST_F(SkinButtonTest, ReleaseOutsideOrOnTheEdgeShowsNormal) {
    TButtonImage& button = MakeButton(50, 50);
    int clicks = 0;
    button.OnClick = [&](forms::TControl&) { ++clicks; };
    Move(55, 55);
    Down(55, 55);
    Up(120, 120);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u);
    EXPECT_EQ(clicks, 0);

    Move(55, 55);
    Down(55, 55);
    Up(50, 55);  // X = 0 in the button's own coordinates
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u) << "the left edge counts as outside";
    Down(55, 55);
    Up(55, 50);  // Y = 0
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u);
}

TEST_F(SkinButtonTest, DisabledButtonShowsItsDisabledPictureAndIgnoresTheMouse) {
    TButtonImage& button = MakeButton(50, 50);
    int clicks = 0;
    button.OnClick = [&](forms::TControl&) { ++clicks; };
    button.SetEnabled(false);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x808080u);
    Move(55, 55);
    Down(55, 55);
    Up(55, 55);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x808080u);
    EXPECT_EQ(clicks, 0);
    button.SetEnabled(true);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u);
}

TEST_F(SkinButtonTest, OnOffButtonShowsPressedWhileOn) {
    TButtonImage& button = MakeButton(50, 50);
    button.SetStateOn(true);
    EXPECT_FALSE(button.StateOn()) << "only with UseOnOff";
    button.UseOnOff = true;
    button.SetStateOn(true);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x0000FFu);
    Move(55, 55);
    Move(150, 150);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0x0000FFu) << "leaving keeps the on look";
    button.SetStateOn(false);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u);
}

TEST_F(SkinButtonTest, AStripThatDoesNotFitKeepsThePreviousFace) {
    TButtonImage& button = MakeButton(50, 50);
    EXPECT_FALSE(button.LoadStrip(SolidStrip(7, 9, {kYellow}), 20, 10));
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u);
}

TEST_F(SkinButtonTest, FullStripIsCutIntoFourStates) {
    auto& button = form_.Add<TButtonImage>(10, 10, 6, 4);
    TQRGBA strip;
    ASSERT_TRUE(strip.LoadFromPngStream(SolidStrip(6, 4, {kRed, kGreen, kBlue, kGrey})));
    button.SetFullBmp(strip);
    EXPECT_EQ(Rgb(button.NormalBmp()), 0xFF0000u);
    EXPECT_EQ(Rgb(button.PassBmp()), 0x00FF00u);
    EXPECT_EQ(Rgb(button.PressBmp()), 0x0000FFu);
    EXPECT_EQ(Rgb(button.DisableBmp()), 0x808080u);
    EXPECT_EQ(Rgb(button.FaceBmp()), 0xFF0000u);
    EXPECT_EQ(button.NormalBmp().Width(), 6);

    auto& stretched = form_.Add<TButtonImage>(10, 30, 40, 40);
    stretched.StretchDraw = true;
    stretched.SetFullBmp(strip);
    EXPECT_EQ(stretched.PassBmp().Width(), 6) << "strip width / 4 when stretched";
    EXPECT_EQ(Rgb(stretched.DisableBmp()), 0x808080u);
}

TEST_F(SkinButtonTest, ImageButtonPaintsFaceGlyphAndCaption) {
    TButtonImage& button = MakeButton(0, 0);
    button.SetBounds(0, 0, 40, 20);
    button.StretchDraw = true;
    Surface surface(60, 30);
    button.Paint(surface.Dc());
    EXPECT_EQ(surface.At(1, 1), 0xFF0000u);
    EXPECT_EQ(surface.At(39, 19), 0xFF0000u) << "stretched to the control";
    EXPECT_EQ(surface.At(45, 5), 0xFFFFFFu) << "nothing outside";

    ASSERT_TRUE(button.BtnPicture.LoadFromPngStream(SolidStrip(4, 4, {kYellow})));
    button.Paint(surface.Dc());
    EXPECT_EQ(surface.At(5, 8), 0xFFFF00u) << "glyph at x 5, centred";
    EXPECT_EQ(surface.At(4, 8), 0xFF0000u);

    button.BtnPicture = TQRGBA();
    button.SetCaption(L"确定");
    button.ShowCaption = true;
    button.CaptionColor = RGB(0, 0, 0);
    button.Paint(surface.Dc());
    int dark = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            if (surface.At(x, y) != 0xFF0000u) ++dark;
    EXPECT_GT(dark, 10) << "the caption is drawn over the face";
}

TEST_F(SkinButtonTest, ThePaintReachesTheScreen) {
    TButtonImage& button = MakeButton(100, 100);
    (void)button;
    ::SetWindowPos(form_.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::InvalidateRect(form_.Hwnd(), nullptr, FALSE);
    ::UpdateWindow(form_.Hwnd());
    settingstest::PumpUntil([&] { return testsupport::ScreenPixel(form_.Hwnd(), 105, 105) == RGB(255, 0, 0); }, 2000);
    const COLORREF px = testsupport::ScreenPixel(form_.Hwnd(), 105, 105);
    EXPECT_EQ(px, RGB(255, 0, 0));
}

// ------------------------------------------------------------------ tabs

TEST_F(SkinButtonTest, TabShowsSelectedOverEveryOtherState) {
    auto& tab = form_.Add<TTabButton>(50, 50, 20, 10);
    ASSERT_TRUE(tab.LoadStrip(SolidStrip(20, 10, {kRed, kGreen, kBlue, kYellow}), 20, 10));
    const TQRGBAList& f = tab.RGBAList();
    tab.SetNormalBmp(*f.Items(0));
    tab.SetPassBmp(*f.Items(1));
    tab.SetPressBmp(*f.Items(2));
    tab.SetSelectBmp(*f.Items(3));
    int clicks = 0;
    tab.OnClick = [&](forms::TControl&) { ++clicks; };

    Move(55, 55);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0x00FF00u);
    Down(55, 55);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0x0000FFu);
    Up(55, 55);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0x00FF00u);
    EXPECT_EQ(clicks, 1);
    Move(150, 150);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0xFF0000u);

    tab.SetSelected(true);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0xFFFF00u);
    Move(55, 55);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0xFFFF00u);
    Down(55, 55);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0xFFFF00u);
    Up(150, 150);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0xFFFF00u);
    tab.SetSelected(false);
    EXPECT_EQ(Rgb(tab.FaceBmp()), 0xFF0000u);
}

TEST_F(SkinButtonTest, TabStripsAppendToTheList) {
    auto& tab = form_.Add<TTabButton>(50, 50, 20, 10);
    ASSERT_TRUE(tab.LoadStrip(SolidStrip(20, 10, {kRed, kGreen}), 20, 10));
    ASSERT_TRUE(tab.LoadStrip(SolidStrip(20, 10, {kBlue}), 20, 10));
    EXPECT_EQ(tab.RGBAList().Count(), 3);
    EXPECT_EQ(tab.CaptionColor, 0xFFFFFFu);
}

TEST_F(SkinButtonTest, TabCaptionSitsAtTheBottomOrInTheMiddle) {
    auto& tab = form_.Add<TTabButton>(0, 0, 60, 60);
    tab.SetCaption(L"儿童模式");
    tab.ShowCaption = true;
    tab.CaptionColor = RGB(0, 0, 0);
    tab.CaptionAlign = caBottom;
    Surface surface(60, 60);
    tab.Paint(surface.Dc());
    auto inkRows = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 60; ++x)
                if (surface.At(x, y) != 0xFFFFFFu) ++n;
        return n;
    };
    EXPECT_EQ(inkRows(0, 30), 0);
    EXPECT_GT(inkRows(30, 55), 0);
    surface.Fill(RGB(255, 255, 255));
    tab.CaptionAlign = caRight;
    tab.Paint(surface.Dc());
    EXPECT_GT(inkRows(20, 40), 0);
    EXPECT_EQ(inkRows(45, 60), 0);
}

// ---------------------------------------------------------- check labels

namespace {

// Nine frames in nine colours, as the "CheckBox" strip is laid out.
const std::vector<Rgba> kNine = {kRed, kGreen, kBlue, kGrey, kYellow, kCyan, kMagenta, kWhite, kBlack};

}  // namespace

TEST_F(SkinButtonTest, CheckBoxStatesFollowTheFramesOfItsStrip) {
    auto& box = form_.Add<TCheckLabelButton>(50, 50, 80, 16);
    ASSERT_TRUE(box.LoadStrip(SolidStrip(13, 14, kNine), 13, 14));
    box.SetCheckBmp(*box.RGBAList().Items(4));
    box.SetUnCheckBmp(*box.RGBAList().Items(0));
    int clicks = 0;
    box.OnClick = [&](forms::TControl&) { ++clicks; };

    Move(60, 55);
    EXPECT_EQ(Rgb(box.FaceBmp()), 0x00FF00u) << "unchecked hover: frame 1";
    Down(60, 55);
    EXPECT_EQ(Rgb(box.FaceBmp()), 0x00FF00u) << "down while hovered: as on enter";
    Up(60, 55);
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(box.ChangedByClick());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Rgb(box.FaceBmp()), 0xFF00FFu) << "checked by the click: frame 6";
    Move(150, 150);
    EXPECT_EQ(Rgb(box.FaceBmp()), 0xFFFF00u) << "checked, left: CheckBmp (frame 4)";
    Move(60, 55);
    EXPECT_EQ(Rgb(box.FaceBmp()), 0x00FFFFu) << "checked hover: frame 5";
    box.SetChecked(false);
    EXPECT_EQ(Rgb(box.FaceBmp()), 0x0000FFu) << "unchecked by code: frame 2";
}

TEST_F(SkinButtonTest, ReleaseWhileHoveredUsesTheHoverFrameEvenWithAShortStrip) {
    // Two frames: plain and hover, nothing more.
    auto& box = form_.Add<TCheckLabelButton>(50, 50, 80, 16);
    ASSERT_TRUE(box.LoadStrip(SolidStrip(13, 14, {kRed, kGreen}), 13, 14));
    box.SetUnCheckBmp(*box.RGBAList().Items(0));
    box.SetCheckBmp(*box.RGBAList().Items(0));
    uint32_t atRelease = 0;
    box.OnMouseUp = [&](forms::TControl&, POINT) { atRelease = Rgb(box.FaceBmp()); };
    Move(60, 55);
    Down(60, 55);
    Up(60, 55);
    EXPECT_EQ(atRelease, 0x00FF00u) << "the hover frame, as on entering";
}

TEST_F(SkinButtonTest, RadioButtonStaysCheckedAndReportsNoChange) {
    auto& radio = form_.Add<TCheckLabelButton>(50, 50, 80, 16);
    radio.ButtonType = btRatio;
    radio.SetChecked(true);
    radio.ResetChangedByClick();
    Move(60, 55);
    Down(60, 55);
    Up(60, 55);
    EXPECT_TRUE(radio.Checked());
    EXPECT_FALSE(radio.ChangedByClick());
}

TEST_F(SkinButtonTest, CheckLabelGreysItsTextWhenDisabledAndSizesToItsCaption) {
    auto& box = form_.Add<TCheckLabelButton>(10, 10, 10, 10);
    box.SetFontColor(RGB(1, 2, 3));
    EXPECT_EQ(box.TextColor(), RGB(1, 2, 3));
    box.SetEnabled(false);
    EXPECT_EQ(box.TextColor(), 0x808080u);
    box.SetEnabled(true);
    EXPECT_EQ(box.TextColor(), RGB(1, 2, 3));

    box.AutoSize = true;
    box.SetCaption(L"开机时启动Vynmar");
    const int plainWidth = box.Width();
    EXPECT_GT(plainWidth, 25);
    EXPECT_GT(box.Height(), 4);
    ASSERT_TRUE(box.LoadStrip(SolidStrip(13, 14, kNine), 13, 14));
    box.SetCheckBmp(*box.RGBAList().Items(4));
    box.SetCaption(L"开机时启动Vynmar");
    EXPECT_EQ(box.Width(), plainWidth - 25 + 13 + 10);
}

TEST_F(SkinButtonTest, CheckLabelPaintsTheFaceThenTheCaption) {
    auto& box = form_.Add<TCheckLabelButton>(0, 0, 80, 20);
    ASSERT_TRUE(box.LoadStrip(SolidStrip(13, 14, kNine), 13, 14));
    box.SetCaption(L"智能健康提醒");
    Surface surface(80, 20);
    box.Paint(surface.Dc());
    EXPECT_EQ(surface.At(2, 3), 0xFF0000u) << "face at (2, (20 - 14) / 2)";
    EXPECT_EQ(surface.At(1, 3), 0xFFFFFFu);
    int ink = 0;
    for (int x = 18; x < 80; ++x)
        for (int y = 0; y < 20; ++y)
            if (surface.At(x, y) != 0xFFFFFFu) ++ink;
    EXPECT_GT(ink, 10);
}
