#include <gtest/gtest.h>

#include "settings/controls/ColorLabel.h"
#include "settings/controls/ComboboxEx.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/GraphicTime.h"
#include "settings/model/TimerList.h"
#include "tests/settings/skin_test_support.h"

using namespace settings;

using namespace skintest;
using settingstest::Pump;

namespace {

// Digits in shades the test can tell apart: frame n is red 10 + n * 20.
std::string DigitStrip(int frames, int w = 10, int h = 14) {
    std::vector<Rgba> colors;
    for (int n = 0; n < frames; ++n) colors.push_back(Rgba{static_cast<uint8_t>(10 + n * 20), 0, 0, 255});
    return SolidStrip(w, h, colors);
}

uint32_t FrameRed(int frame) {
    return static_cast<uint32_t>(10 + frame * 20) << 16;
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(0, 0);
        ASSERT_TRUE(form_.CreateForm(nullptr));
    }
    void TearDown() override {
        form_.DestroyWindow();
        Pump(10);
    }
    PlainForm form_{L"TSkinControlTest"};
};

}  // namespace

// ------------------------------------------------------------ digit clock

TEST_F(ControlTest, ClockMapsTheStripFramesToDigits) {
    auto& clock = form_.Add<TGraphicTime>(0, 0, 10, 10);
    ASSERT_TRUE(clock.LoadStrip(DigitStrip(12), 10, 14));
    EXPECT_EQ(Rgb(clock.NoBmp(1)), FrameRed(0));
    EXPECT_EQ(Rgb(clock.NoBmp(9)), FrameRed(8));
    EXPECT_EQ(Rgb(clock.NoBmp(0)), FrameRed(9));
    EXPECT_EQ(Rgb(clock.SingnalBmp()), FrameRed(10));
    EXPECT_EQ(Rgb(clock.MathBmp()), FrameRed(11));
    EXPECT_EQ(clock.ItemWidth(), 10);
    EXPECT_EQ(clock.ItemHeight(), 14);
}

TEST_F(ControlTest, ClockPaintsEachCharacterWithItsGlyph) {
    auto& clock = form_.Add<TGraphicTime>(0, 0, 10, 10);
    ASSERT_TRUE(clock.LoadStrip(DigitStrip(12), 10, 14));
    clock.SetAutoSize(true);
    clock.SetCaption(L"1a-:");
    EXPECT_EQ(clock.Width(), 40) << "sized when the text changes, not while painting";
    EXPECT_EQ(clock.Height(), 14);
    Surface surface(60, 20);
    clock.Paint(surface.Dc());
    EXPECT_EQ(surface.At(5, 5), FrameRed(0)) << "1";
    EXPECT_EQ(surface.At(15, 5), FrameRed(9)) << "any other character: 0";
    EXPECT_EQ(surface.At(25, 5), FrameRed(11)) << "-";
    EXPECT_EQ(surface.At(35, 5), FrameRed(10)) << ":";
    EXPECT_EQ(surface.At(45, 5), 0xFFFFFFu);
}

TEST_F(ControlTest, ElevenFramesGiveNoMinusAndItTakesNoRoom) {
    auto& clock = form_.Add<TGraphicTime>(0, 0, 10, 10);
    ASSERT_TRUE(clock.LoadStrip(DigitStrip(11), 10, 14));
    EXPECT_TRUE(clock.MathBmp().Empty());
    clock.SetAutoSize(true);
    clock.SetCaption(L"-12");
    Surface surface(40, 20);
    clock.Paint(surface.Dc());
    EXPECT_EQ(surface.At(5, 5), FrameRed(0)) << "the 1 moves into the minus's place";
    EXPECT_EQ(surface.At(15, 5), FrameRed(1));
}

TEST_F(ControlTest, ClockWithoutCaptionPaintsNothing) {
    auto& clock = form_.Add<TGraphicTime>(0, 0, 30, 14);
    ASSERT_TRUE(clock.LoadStrip(DigitStrip(11), 10, 14));
    Surface surface(30, 14);
    clock.Paint(surface.Dc());
    EXPECT_EQ(surface.At(5, 5), 0xFFFFFFu);
    EXPECT_FALSE(clock.LoadStrip(DigitStrip(5), 10, 14)) << "too few frames for the digits";
}

// ------------------------------------------------------------ colour label

TEST_F(ControlTest, ColourLabelWithoutRunsIsEmptyAndZeroWide) {
    auto& label = form_.Add<TColorLabel>(10, 10, 50, 15);
    label.ClearText();
    EXPECT_EQ(label.Width(), 0);
    EXPECT_EQ(label.TextCount(), 0);
    EXPECT_EQ(label.TextItems(0), nullptr);
}

TEST_F(ControlTest, ColourLabelLaysItsRunsSideBySide) {
    auto& label = form_.Add<TColorLabel>(0, 0, 0, 15);
    label.AddText(L"您当前选择的是", TFontInfo{RGB(255, 0, 0), L"Tahoma", -30, fsNone});
    const int one = label.Width();
    EXPECT_GT(one, 20);
    label.AddText(L"儿童模式", TFontInfo{RGB(0, 0, 255), L"Tahoma", -12, fsBold});
    EXPECT_GT(label.Width(), one);
    EXPECT_EQ(label.TextCount(), 2);
    EXPECT_EQ(label.TextItems(1)->Text, L"儿童模式");
    EXPECT_LT(label.Height(), 25) << "every run is drawn at height -12";

    Surface surface(label.Width() + 10, 20);
    label.Paint(surface.Dc());
    int red = 0, blue = 0;
    for (int x = 0; x < label.Width(); ++x)
        for (int y = 0; y < label.Height(); ++y) {
            const uint32_t px = surface.At(x, y);
            if (px != 0xFFFFFFu && (px & 0xFF) > 0xC0 && ((px >> 16) & 0xFF) < 0x80) ++blue;
            if (px != 0xFFFFFFu && ((px >> 16) & 0xFF) > 0xC0 && (px & 0xFF) < 0x80) {
                ++red;
                EXPECT_LT(x, one) << "red only in the first run";
            }
        }
    EXPECT_GT(red, 5);
    EXPECT_GT(blue, 5);
}

TEST_F(ControlTest, ColourLabelLinkRunsTheirHandlerOnAClickInsideTheirArea) {
    auto& label = form_.Add<TColorLabel>(10, 10, 0, 15);
    label.AddText(L"甲乙丙", TFontInfo{});
    int linkClicks = 0, clicks = 0;
    auto link = std::make_unique<TTextLink>();
    link->OnClick = [&](TColorLabel&) { ++linkClicks; };
    label.AddText(L"详情", TFontInfo{}, std::move(link));
    label.OnClick = [&](forms::TControl&) { ++clicks; };
    Surface surface(200, 40);
    label.Paint(surface.Dc());
    const RECT hot = label.TextItems(1)->Link->HotRect;
    EXPECT_GT(hot.left, 0);
    ::PostMessageW(form_.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 15));
    ::PostMessageW(form_.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(12, 15));
    settingstest::PumpUntil([&] { return clicks >= 1; });
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(linkClicks, 0);
    const int x = 10 + (hot.left + hot.right) / 2;
    ::PostMessageW(form_.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 15));
    ::PostMessageW(form_.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, 15));
    settingstest::PumpUntil([&] { return clicks >= 2; });
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(linkClicks, 1);
}

// ------------------------------------------------------------------ panel

TEST_F(ControlTest, PanelDrawsItsBorderLinesOrARoundedFrame) {
    auto& panel = form_.Add<TGraphicPanel>(0, 0, 40, 30);
    panel.SetLineWidth(1);
    panel.SetLineColor(RGB(0, 0, 255));
    panel.BorderLineStyles = blTop | blLeft;
    Surface surface(50, 40);
    panel.Paint(surface.Dc());
    EXPECT_EQ(surface.At(20, 0), 0x0000FFu);
    EXPECT_EQ(surface.At(0, 20), 0x0000FFu);
    EXPECT_EQ(surface.At(20, 29), 0xFFFFFFu) << "no bottom line";
    EXPECT_EQ(surface.At(39, 20), 0xFFFFFFu) << "no right line";

    surface.Fill(RGB(255, 255, 255));
    panel.SetOutStyle(osGraphic);
    ASSERT_TRUE(panel.Background().LoadFromPngStream(SolidStrip(2, 2, {kGreen})));
    panel.Paint(surface.Dc());
    EXPECT_EQ(surface.At(0, 0), 0x00FF00u) << "background stretched, no border";
    EXPECT_EQ(surface.At(39, 29), 0x00FF00u);
    EXPECT_EQ(surface.At(45, 35), 0xFFFFFFu);
    EXPECT_FALSE(panel.HitTest(POINT{5, 5})) << "the mouse goes through to the form";
}

// --------------------------------------------------------------- combo box

TEST_F(ControlTest, ComboBoxSkinStatesFollowFocusHoverDropDownAndEnabling) {
    auto& box = form_.Add<TQComboBox>(10, 10, 120, 200);
    box.InstallSkinStateHandler();
    ASSERT_NE(box.Handle(), nullptr);
    ASSERT_TRUE(box.LoadStrip(SolidStrip(18, 18, {kRed, kGreen, kBlue, kGrey}), 18, 18));
    box.NormalBmp.Assign(*box.RGBAList().Items(2));
    box.HoverBmp.Assign(*box.RGBAList().Items(1));
    box.DownBmp.Assign(*box.RGBAList().Items(1));
    box.DisableBmp.Assign(*box.RGBAList().Items(3));
    ::SendMessageW(box.Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"每天"));
    form_.Show();
    Pump(30);

    box.UpdateState();
    EXPECT_EQ(box.ButtonColor, 0xE7D3CEu);
    EXPECT_EQ(Rgb(box.CurrentBmp), 0x0000FFu) << "normal is frame 2";

    ::SendMessageW(box.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(box.IsHovered());
    EXPECT_EQ(box.ButtonColor, 0xCEBAB5u);
    EXPECT_EQ(Rgb(box.CurrentBmp), 0x00FF00u);
    ::SendMessageW(box.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(box.ButtonColor, 0xE7D3CEu);

    ::SetFocus(box.Handle());
    settingstest::PumpUntil([&] { return box.IsFocused(); });
    EXPECT_TRUE(box.IsFocused());
    EXPECT_EQ(box.ButtonColor, 0xCEBAB5u);
    EXPECT_EQ(Rgb(box.CurrentBmp), 0x0000FFu);

    ::SendMessageW(box.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    settingstest::PumpUntil([&] { return box.IsDroppedDown(); });
    EXPECT_TRUE(box.IsDroppedDown());
    EXPECT_EQ(box.ButtonColor, 0xB59284u);
    EXPECT_EQ(box.ArrowColor, 0xFFFFFFu);
    ::SendMessageW(box.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    Pump(30);
    EXPECT_EQ(box.ArrowColor, 0u);

    const int before = box.FullRepaints();
    box.SetEnabled(false);
    Pump(20);
    EXPECT_EQ(box.ButtonColor, 0xE1E9EAu);
    EXPECT_EQ(box.ArrowColor, 0xC3CAC8u);
    EXPECT_EQ(box.FontColor(), 0x808080u);
    EXPECT_EQ(Rgb(box.CurrentBmp), 0x808080u);
    EXPECT_EQ(box.FullRepaints(), before + 1) << "the text turned grey: the whole box";
    box.UpdateState();
    EXPECT_TRUE(box.LastRepaintFrameOnly()) << "already grey: only the frame";
    EXPECT_EQ(box.FullRepaints(), before + 1);
}

TEST_F(ControlTest, ComboBoxWithoutStateHandlerKeepsItsColours) {
    auto& box = form_.Add<TQComboBox>(10, 10, 120, 200);
    const COLORREF before = box.ButtonColor;
    ::SendMessageW(box.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    box.SetEnabled(false);
    EXPECT_EQ(box.ButtonColor, before);
    EXPECT_TRUE(box.LastRepaintFrameOnly());
}

TEST_F(ControlTest, ComboBoxPaintsItsButtonPictureAtTheRightEdge) {
    auto& box = form_.Add<TQComboBox>(10, 10, 120, 200);
    box.BorderColor = RGB(184, 194, 200);
    ASSERT_TRUE(box.LoadStrip(SolidStrip(18, 18, {kMagenta}), 18, 18));
    form_.Show();
    ::SetWindowPos(form_.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump(50);
    box.PaintFrame();
    RECT client{};
    ::GetClientRect(box.Handle(), &client);
    const COLORREF button = testsupport::ClientPixel(box.Handle(), client.right - 5, client.bottom / 2);
    const COLORREF frame = testsupport::ClientPixel(box.Handle(), 0, client.bottom / 2);
    EXPECT_EQ(button, RGB(255, 0, 255));
    EXPECT_EQ(frame, RGB(184, 194, 200));
}

// ------------------------------------------------------------ shutdown list

TEST(ShutDownList, RecordsAreOwnedAndLookUpsAreBoundsChecked) {
    TShutDownList list;
    TShutDownAlertInfo a;
    a.Time = L"08:00";
    EXPECT_EQ(list.Add(a), 0);
    a.Time = L"09:00";
    EXPECT_EQ(list.Add(a), 1);
    EXPECT_EQ(list.Add(std::unique_ptr<TShutDownAlertInfo>()), -1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(2), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);
    TShutDownAlertInfo* second = list.Items(1);
    EXPECT_EQ(list.IndexOf(second), 1);
    std::unique_ptr<TShutDownAlertInfo> taken = list.Delete(0);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->Time, L"08:00") << "the caller holds the record now";
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0), second);
    EXPECT_EQ(list.Delete(5), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}
