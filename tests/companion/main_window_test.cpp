#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "companion/app/main_wnd.h"
#include "companion/system/shared_settings.h"
#include "companion/system/web_identify.h"
#include "tests/companion/prefix_state.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        configBackup_.emplace(ConfigFilePath());
        ASSERT_TRUE(testprefix::EnsureConfigFolder());
        ASSERT_TRUE(window_.Create(L"Corvalle", nullptr, nullptr, L"",
                                   WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_LAYERED | WS_EX_TOOLWINDOW));
    }
    void TearDown() override {
        window_.DestroyWindow();
        MSG msg;  // the quit message the window leaves behind
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        configBackup_.reset();
    }

    std::optional<testprefix::FileBackup> configBackup_;
    CMainWnd window_;
};

TEST_F(MainWindowTest, IsALayeredToolPopupThatPollsFromCreation) {
    const LONG style = ::GetWindowLongW(window_.Hwnd(), GWL_STYLE);
    const LONG exStyle = ::GetWindowLongW(window_.Hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    ASSERT_NE(window_.DetectThread(), nullptr);
    EXPECT_NE(window_.DetectThread()->ThreadId(), 0u);
}

TEST_F(MainWindowTest, WithoutTheProductTheWebIdentifyBindingStaysEmpty) {
    WebIdentifyBinding* binding = SharedSettings::Instance().WebIdentify.load();
    ASSERT_NE(binding, nullptr);
    EXPECT_FALSE(binding->Bound());
}

TEST_F(MainWindowTest, AForeignActionDueMessageIsIgnored) {
    // Anyone can post 1525 with any number in it; it must not be taken for an action.
    EXPECT_EQ(window_.SendMessage(WM_ACTION_DUE, 0x12345678, 0), 1);
    EXPECT_EQ(window_.SendMessage(WM_ACTION_DUE, 0, 0), 1);
    EXPECT_FALSE(window_.DetectThread()->ReleaseDueAction());
}

TEST_F(MainWindowTest, CloseIsRefused) {
    window_.SendMessage(WM_CLOSE);
    EXPECT_TRUE(window_.IsWindow());
}

TEST_F(MainWindowTest, SettingsChangedRereadsTheGeneralKeys) {
    ASSERT_EQ(WriteConfigString(L"vyn", L"CityCode", L"101280101"), 0);
    ASSERT_EQ(WriteConfigString(L"vyn", L"WiseHealthAlert", L"0"), 0);
    EXPECT_EQ(window_.SendMessage(protocol::WM_SETTINGS_CHANGED), 1);
    EXPECT_EQ(SharedSettings::Instance().CityCode.Get(), L"101280101");
    EXPECT_FALSE(SharedSettings::Instance().WiseHealthAlert);
}

TEST_F(MainWindowTest, RestSettingsChangedRereadsTheEyeKeysAndRestartsTheClock) {
    ASSERT_EQ(WriteConfigString(L"eye", L"run", L"1"), 0);
    ASSERT_EQ(WriteConfigString(L"eye", L"interval", L"30"), 0);
    SharedSettings::Instance().EyeClockStart = 0;
    const DWORD before = ::GetTickCount();
    EXPECT_EQ(window_.SendMessage(protocol::WM_REST_SETTINGS_CHANGED), 1);
    EXPECT_TRUE(SharedSettings::Instance().EyeRun);
    EXPECT_EQ(SharedSettings::Instance().Interval.load(), 30);
    // Tick counts wrap; the distance from `before` is what counts.
    EXPECT_LT(SharedSettings::Instance().EyeClockStart.load() - before, 5000u);
}

TEST_F(MainWindowTest, TheUnusedSettingsMessageIsAnsweredWithOne) {
    EXPECT_EQ(window_.SendMessage(protocol::WM_SETTINGS_RESERVED), 1);
}

TEST_F(MainWindowTest, PowerAndSessionEventsAreAnswered) {
    EXPECT_EQ(window_.SendMessage(WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);
    EXPECT_EQ(window_.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND), TRUE);
}

}  // namespace
