#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/controls/SkinUtils.h"
#include "tests/settings/skin_test_support.h"

using namespace settings;

using namespace skintest;
using settingstest::Pump;

TEST(SkinResources, EveryPictureTheProgramAsksForIsThereWithItsFrames) {
    for (const TSkinEntry& entry : SkinResourceTable()) {
        SCOPED_TRACE(std::string(entry.Name, entry.Name + wcslen(entry.Name)));
        const TSkinStream stream = OpenSkinResource(entry.Name);
        ASSERT_TRUE(stream);
        TPngData png;
        ASSERT_TRUE(DecodePng(stream.Data, stream.Size, png));
        if (entry.Frames == 0) {
            if (entry.FrameWidth > 0) {
                EXPECT_EQ(png.Width, entry.FrameWidth);
                EXPECT_EQ(png.Height, entry.FrameHeight);
            }
            continue;
        }
        EXPECT_EQ(png.Height, entry.FrameHeight) << "strips run left to right";
        EXPECT_EQ(png.Width, entry.FrameWidth * entry.Frames) << "whole frames only";
        TQRGBAList frames;
        EXPECT_EQ(frames.LoadStrip(stream.Data, stream.Size, entry.FrameWidth, amPremultiplied, entry.FrameHeight),
                  entry.Frames);
    }
}

TEST(SkinResources, ResourceNamesAreFoundInAnyLetterCaseAndMissingOnesGiveNothing) {
    EXPECT_TRUE(OpenSkinResource(L"checkbox"));
    EXPECT_FALSE(OpenSkinResource(L"NoSuchPicture"));
    EXPECT_FALSE(OpenSkinResource(nullptr));
    EXPECT_FALSE(OpenSkinResource(L"CheckBox", L"PNG"));
}

TEST(SkinResources, BackgroundsWithoutAlphaAreOpaquePictures) {
    TQRGBA image;
    ASSERT_TRUE(LoadSkinImage(&image, L"bg_bottom", amNone));
    EXPECT_EQ(image.AlphaMode(), amNone);
    ASSERT_TRUE(LoadSkinImage(&image, L"bg_pnl_rest"));
    EXPECT_EQ(image.AlphaMode(), amPremultiplied);
    EXPECT_EQ(image.Width(), 165);
    EXPECT_FALSE(LoadSkinImage(&image, L"NoSuchPicture"));
    EXPECT_EQ(image.Width(), 165) << "a missing picture leaves the old one";
}

namespace {

// Every control of the window that takes a skin, with nothing around it.
struct AllTargets {
    TQRGBA background, titleAlert, titleShutDown, titleEye, titleSet, setup, emptyList, file, bottom, restPanel,
        colorPanel, restHint, restHint2, line1, line2, iconFont, iconRefresh, iconSolution;
    TListRowSkin rows;
    TButtonImage eye, spareNeck, neck, close, add, manage, back;
    TButtonImage push[4], browse[2], more[4];
    TTabButton eyeTab, neckTab, originTab, childTab, oldManTab;
    TQRGBAList standard, standardGray;
    TCheckLabelButton checks[4];
    TGraphicTime shutDownClock, nextRestClock;
    TSkinTargets targets;

    explicit AllTargets(bool health) {
        TSkinTargets& t = targets;
        t.HealthPage = health;
        t.Background = &background;
        t.TitleTimerAlert = &titleAlert;
        t.TitleTimerShutDown = &titleShutDown;
        t.TitleEye = &titleEye;
        t.TitleSet = &titleSet;
        t.Rows = &rows;
        t.EyeExercise = &eye;
        t.SpareNeckExercise = &spareNeck;
        t.SetupPicture = &setup;
        t.EyeTab = &eyeTab;
        t.NeckTab = &neckTab;
        t.OriginModeTab = &originTab;
        t.StandardMode = &standard;
        t.StandardModeGray = &standardGray;
        t.ChildModeTab = &childTab;
        t.OldManModeTab = &oldManTab;
        t.NeckExercise = &neck;
        t.EmptyListPicture = &emptyList;
        t.CloseButton = &close;
        for (int n = 0; n < 4; ++n) t.PushButtons[n] = &push[n];
        for (int n = 0; n < 2; ++n) t.SoundBrowseButtons[n] = &browse[n];
        for (int n = 0; n < 4; ++n) t.MorePushButtons[n] = &more[n];
        t.FilePicture = &file;
        t.AddButton = &add;
        t.ManageButton = &manage;
        t.ReturnButton = &back;
        t.BottomPanel = &bottom;
        for (int n = 0; n < 3; ++n) t.CheckBoxes[n] = &checks[n];
        t.ShutDownClock = &shutDownClock;
        t.FourthCheckBox = &checks[3];
        t.RestPanel = &restPanel;
        t.ColorPanel = &colorPanel;
        t.RestHint = &restHint;
        t.RestHint2 = &restHint2;
        t.DottedLines = {&line1, &line2};
        t.IconFont = &iconFont;
        t.IconRefresh = &iconRefresh;
        t.IconSolution = &iconSolution;
        t.NextRestClock = &nextRestClock;
    }
};

}  // namespace

TEST(SkinResources, LoadSkinFillsEveryControlOfTheHealthPage) {
    AllTargets all(true);
    std::wstring stopped = L"?";
    ASSERT_TRUE(LoadSkin(all.targets, &stopped));
    EXPECT_TRUE(stopped.empty());
    EXPECT_EQ(all.background.Width(), 620) << "eyebg on the health page";
    EXPECT_EQ(all.rows.RowBack.Count(), 3);
    EXPECT_EQ(all.rows.Play.Count(), 4);
    EXPECT_EQ(all.rows.ActiveClock.RGBAList().Count(), 12);
    EXPECT_FALSE(all.rows.ActiveClock.MathBmp().Empty());
    EXPECT_TRUE(all.rows.ExpiredClock.MathBmp().Empty());
    EXPECT_TRUE(all.eyeTab.Selected());
    EXPECT_FALSE(all.neckTab.Selected());
    EXPECT_TRUE(all.originTab.Selected());
    EXPECT_FALSE(all.childTab.Selected());
    EXPECT_EQ(all.childTab.SelectBmp().Pixel(60, 10), all.childTab.RGBAList().Items(3)->Pixel(60, 10))
        << "mode tabs select with frame 3";
    EXPECT_EQ(all.spareNeck.NormalBmp().Width(), 130) << "icon_movie replaced btnplayjz";
    EXPECT_EQ(all.neck.NormalBmp().Width(), 125);
    EXPECT_EQ(all.standard.Count(), 4);
    EXPECT_FALSE(all.browse[1].DisableBmp().Empty()) << "four states";
    EXPECT_TRUE(all.push[0].DisableBmp().Empty()) << "three states";
    EXPECT_EQ(all.more[3].DisableBmp().Pixel(30, 11), all.more[3].NormalBmp().Pixel(30, 11))
        << "the last push button is disabled with frame 0";
    EXPECT_EQ(all.checks[3].CheckBmp().Pixel(6, 7), all.checks[3].RGBAList().Items(4)->Pixel(6, 7));
    EXPECT_FALSE(all.checks[0].UnCheckBmp().Empty());
    EXPECT_EQ(all.shutDownClock.ItemWidth(), 14);
    EXPECT_EQ(all.nextRestClock.ItemWidth(), 17);
    EXPECT_EQ(all.bottom.AlphaMode(), amNone);
    EXPECT_FALSE(all.iconSolution.Empty());
}

TEST(SkinResources, OtherPagesUseTheMainBackgroundAndSkipTheHealthControls) {
    AllTargets all(false);
    ASSERT_TRUE(LoadSkin(all.targets));
    EXPECT_EQ(all.background.Width(), 320);
    EXPECT_EQ(all.background.Height(), 365);
    EXPECT_TRUE(all.eye.FaceBmp().Empty());
    EXPECT_EQ(all.eyeTab.RGBAList().Count(), 0);
    EXPECT_FALSE(all.close.NormalBmp().Empty());
}

TEST(SkinResources, MissingStripsLeaveTheControlAsItWas) {
    TButtonImage button;
    ASSERT_TRUE(SkinImageButton(&button, L"btnClose", 39, 20, kThreeStates));
    const uint32_t normal = button.NormalBmp().Pixel(20, 10);
    EXPECT_FALSE(SkinImageButton(&button, L"NoSuchPicture", 39, 20, kThreeStates));
    EXPECT_EQ(button.NormalBmp().Pixel(20, 10), normal);
    EXPECT_EQ(button.RGBAList().Count(), 3);
}

TEST(SkinResources, ACheckBoxStripWithTooFewFramesSetsNoPictures) {
    TCheckLabelButton box;
    // Three frames of 39 x 20: frame 4 does not exist.
    EXPECT_TRUE(SkinCheckBox(&box, L"btnClose", 39, 20));
    EXPECT_TRUE(box.CheckBmp().Empty());
    EXPECT_TRUE(box.UnCheckBmp().Empty());
}

TEST(SkinResources, SwitchButtonsShowTheirOnAndOffPictures) {
    TButtonImage button;
    ASSERT_TRUE(SetSwitchButtonSkin(button, true));
    const uint32_t on = button.NormalBmp().Pixel(27, 6);
    EXPECT_EQ(button.PassBmp().Pixel(27, 6), on);
    EXPECT_EQ(button.PressBmp().Pixel(27, 6), on);
    EXPECT_EQ(button.NormalBmp().Width(), 33);
    ASSERT_TRUE(SetSwitchButtonSkin(button, false));
    EXPECT_NE(button.NormalBmp().Pixel(27, 6), on) << "the knob moved";
}
