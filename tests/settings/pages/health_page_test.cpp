// The health page on a real window: the rest switch and its limits, the
// eye-protection colour in the registry and the system, the exercise
// buttons reaching a stand-in for Corvalle, and the display-mode switch
// through the confirmation boxes over a recording display.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/eye_protection_color.h"
#include "settings/app/FrmOption.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/PageHealth.h"
#include "tests/settings/option_form_fixture.h"
#include "tests/settings/recording_display.h"
#include "tests/settings/test_support.h"

using namespace settings;

using settingstest::Pump;

namespace {

constexpr wchar_t kColorsKey[] = L"Control Panel\\Colors";
constexpr wchar_t kLogPixels[] = L"HKCU\\Control Panel\\Desktop\\LogPixels";
constexpr wchar_t kMarker[] = L"HKLM\\SOFTWARE\\Tarvisk\\VynReboot";
constexpr wchar_t kSaveFailed[] = L"提示|保存数据失败，文件可能被占用！";
constexpr WPARAM kRestChanged = 0x1606;

std::wstring Text(const std::string& bytes) {
    return testsupport::Widen(bytes, 936);
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

std::wstring LabelText(const TColorLabel* label) {
    std::wstring text;
    for (int i = 0; label && i < label->TextCount(); ++i) text += label->TextItems(i)->Text;
    return text;
}

// The session as the page asks to end it.
class RecordingShutdown final : public base::IPower {
public:
    std::vector<UINT> Ended;
    bool EnableShutdownPrivilege() override { return true; }
    bool ExitSession(UINT flags, DWORD) override {
        Ended.push_back(flags);
        return true;
    }
    bool InitiateShutdown(bool) override { return true; }
    bool Suspend(bool, bool, bool) override { return false; }
    bool Lock() override { return false; }
    void KeepAwake(bool) override {}
};

// A press and a release in the middle of a control, with the real pointer
// there too: releasing the capture makes the system report where it is.
void ClickAt(HWND form, const RECT& r) {
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT screen = at;
    ::ClientToScreen(form, &screen);
    ::SetCursorPos(screen.x, screen.y);
    const LPARAM lp = MAKELPARAM(at.x, at.y);
    ::PostMessageW(form, WM_MOUSEMOVE, 0, lp);
    ::PostMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    ::PostMessageW(form, WM_LBUTTONUP, 0, lp);
}

struct SeenBox {
    std::wstring title, second, message, message2, ok, cancel;
};

class HealthPageTest : public settingstest::OptionFormFixture {
protected:
    void SetUp() override {
        settingstest::OptionFormFixture::SetUp();
        display_.IsWin7 = false;
    }
    void SaveState() override {
        colorBackup_.emplace(HKEY_CURRENT_USER, kColorsKey, L"Window");
        colorBefore_ = ::GetSysColor(COLOR_WINDOW);
        SetSystemColor(protocol::kWhiteWindowColor);
    }
    void RestoreState() override {
        SetSystemColor(colorBefore_);
        colorBackup_.reset();
    }

    static void SetSystemColor(COLORREF color) {
        const INT element = COLOR_WINDOW;
        ::SetSysColors(1, &element, &color);
    }

    TPageHealth& Open() {
        TFormCorvalleOption::Hooks hooks;
        hooks.Terminate = [this] { ++terminated_; };
        hooks.Health.Display = &display_;
        hooks.Health.Shutdown = &shutdown_;
        hooks.Health.OnConfirmShown = [this](TFormConfirmMode& box) { AnswerBox(box); };
        form_ = std::make_unique<TFormCorvalleOption>(kPageHealth, false, hooks);
        EXPECT_TRUE(form_->CreateForm(nullptr));
        form_->Show();
        Pump(50);
        standIn_->messages.clear();
        EXPECT_NE(form_->HealthPage(), nullptr);
        return *form_->HealthPage();
    }

    void AnswerBox(TFormConfirmMode& box) {
        SeenBox seen;
        seen.title = LabelText(box.TitleLabel());
        if (box.SecondLabel()->Visible()) seen.second = LabelText(box.SecondLabel());
        seen.message = box.lblMsg()->Caption();
        seen.message2 = box.lblMsg2()->Caption();
        seen.ok = box.OkButton()->Caption();
        seen.cancel = box.CancelButton()->Caption();
        boxes_.push_back(seen);
        const bool ok = !answers_.empty() && answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        ClickAt(box.Hwnd(), (ok ? box.OkButton() : box.CancelButton())->Bounds());
    }

    void Click(const forms::TControl* control) {
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(control->Visible());
        ClickAt(form_->Hwnd(), control->Bounds());
        Pump(60);
    }

    std::wstring FileAt(size_t i) { return Text(standIn_->messages.at(i).fileBytes); }

    std::optional<settingstest::RegValueBackup> colorBackup_;
    COLORREF colorBefore_ = 0;
    settingstest::RecordingDisplay display_;
    RecordingShutdown shutdown_;
    std::deque<bool> answers_;
    std::vector<SeenBox> boxes_;
};

// ---------------------------------------------------------------- rules

TEST(HealthRules, RestValuesAreRefusedWithTheirMessage) {
    struct Case {
        const wchar_t *interval, *rest;
        bool ok;
        const wchar_t* message;
        int box;
        const wchar_t* correction;
    };
    const Case cases[] = {
        {L"60", L"5", true, L"", 0, L""},
        {L"1", L"1", true, L"", 0, L""},
        {L"720", L"240", true, L"", 0, L""},
        {L"0", L"5", false, L"休息时间间隔最小为1分钟。", 0, L""},
        {L"", L"5", true, L"", 0, L""},
        {L"60", L"", true, L"", 0, L""},
        {L"800", L"5", false, L"休息时间间隔最大为720分钟。", 0, L"720"},
        {L"721", L"0", false, L"休息时间间隔最大为720分钟。", 0, L"720"},
        {L"60", L"0", false, L"休息时间最小为1分钟。", 1, L""},
        {L"60", L"241", false, L"休息时间最大为240分钟。", 1, L"240"},
        {L"60", L"999", false, L"休息时间最大为240分钟。", 1, L"240"},
    };
    for (const Case& c : cases) {
        const TRestCheck check = CheckRestValues(c.interval, c.rest);
        SCOPED_TRACE(testing::Message() << "interval " << testing::PrintToString(std::wstring(c.interval)) << " rest "
                                        << testing::PrintToString(std::wstring(c.rest)));
        EXPECT_EQ(check.Ok, c.ok);
        EXPECT_EQ(check.Message, c.message);
        if (!c.ok) {
            EXPECT_EQ(check.Box, c.box);
        }
        EXPECT_EQ(check.Correction, c.correction);
    }
    // Empty boxes take the defaults.
    const TRestCheck empty = CheckRestValues(L"", L"");
    EXPECT_TRUE(empty.Ok);
    EXPECT_EQ(empty.Interval, 120);
    EXPECT_EQ(empty.RestTime, 5);
}

TEST(HealthRules, ConfirmationTextsFollowTheModeSoFarAndTheWayToApplyIt) {
    TConfirmInfo first = FirstConfirmInfo(L"儿童模式", kModeSaved, true, true);
    EXPECT_EQ(first.Title, L"您当前选择的是儿童模式");
    EXPECT_EQ(first.SecondLine, L"");
    EXPECT_EQ(first.Message, L"下次开机启动时需要加载儿童模式的相关配置，请\r\n耐心等待一会儿吧！");
    EXPECT_EQ(first.Message2, L"");
    EXPECT_EQ(first.OkCaption, L"确认选择");
    EXPECT_EQ(first.CancelCaption, L"放弃选择");
    EXPECT_EQ(FirstConfirmInfo(L"默认模式", kModeChild, false, true).Message,
              L"下次启动时需要加载默认模式的相关配置，请\r\n耐心等待一会儿吧！");
    for (bool restart : {true, false}) {
        first = FirstConfirmInfo(L"儿童模式", kModeElderly, restart, true);
        EXPECT_EQ(first.Message, L"注意：因老人模式会加大字体，恢复时可能会造成图\r\n标排序异常，请手动将图标进行排序！");
        EXPECT_EQ(first.Message2, L"手动排序：桌面右键，选择\"查看\"|\"自动排列图标\"。");
    }
    EXPECT_EQ(FirstConfirmInfo(L"儿童模式", kModeElderly, true, false).Message2,
              L"手动排序：桌面右键，选择\"排列图标\"|\"自动排列\"。");

    TConfirmInfo second = SecondConfirmInfo(L"儿童模式", kModeChild, true);
    EXPECT_EQ(second.Title, L"恭喜，您已经选择儿童模式");
    EXPECT_EQ(second.SecondLine, L"马上重新启动计算机看看儿童模式的效果吧！");
    EXPECT_EQ(second.Message, L"选择 \"稍后重启\"， 将会在下次开机时帮您加载\r\n儿童模式的相关配置。");
    EXPECT_EQ(second.Message2, L"");
    EXPECT_EQ(second.OkCaption, L"立即重启");
    EXPECT_EQ(second.CancelCaption, L"稍后重启");
    EXPECT_EQ(SecondConfirmInfo(L"老人模式", kModeElderly, true).Message,
              L"注意：老人模式会加大桌面图标字体，图标过多会\r\n导致部分图标显示不全，请在重启前尽量删除不必\r\n要的桌面图标！");
    second = SecondConfirmInfo(L"老人模式", kModeElderly, false);
    EXPECT_EQ(second.SecondLine, L"马上注销计算机看看老人模式的效果吧！");
    EXPECT_EQ(second.Message, L"选择 \"稍后注销\" ，将会在下次注销时帮您加载\r\n老人模式的相关配置。");
    EXPECT_EQ(second.OkCaption, L"立即注销");
    EXPECT_EQ(second.CancelCaption, L"稍后注销");
}

// ---------------------------------------------------------------- the window

TEST_F(HealthPageTest, TheEyeSubPageOpensAndTheTabsSwitchSubPages) {
    Fixture({L"[eye]", L"run=1", L"interval=45", L"resttime=10", L"next=1530"});
    TPageHealth& page = Open();
    EXPECT_EQ(page.SubPage(), kSubPageEye);
    EXPECT_TRUE(page.EyeTab()->Selected());
    EXPECT_FALSE(page.NeckTab()->Selected());
    EXPECT_TRUE(page.ModeTab(0)->Visible());
    EXPECT_TRUE(page.ColorPanel()->Visible());
    EXPECT_TRUE(page.EyeExerciseButton()->Visible());
    EXPECT_FALSE(page.NeckExerciseButton()->Visible());
    EXPECT_EQ(page.RestPanel()->Bounds().left, 620 - 18 - 165);
    EXPECT_EQ(page.RestPanel()->Bounds().top, 85);
    EXPECT_EQ(page.ColorPanel()->Bounds().top, 85 + 119 + 8);
    EXPECT_EQ(page.EyeExerciseButton()->Bounds().left, 620 - 201);
    EXPECT_EQ(page.EyeExerciseButton()->Bounds().top, 420 - 75);
    EXPECT_EQ(LabelText(page.IntervalLine()), L"每 45 分钟休息一次");
    EXPECT_EQ(LabelText(page.RestTimeLine()), L"休息 10 分钟");
    EXPECT_EQ(page.IntervalLine()->TextItems(1)->Font.Color, RGB(255, 0, 0));
    EXPECT_EQ(page.SettingLink()->TextItems(0)->Font.Color, RGB(11, 130, 213));
    EXPECT_EQ(page.NextRestClock()->Caption(), L"15:30");
    EXPECT_EQ(page.RestSwitch()->Hint(), L"定时休息已开启，点击关闭");
    // The saved mode matches the display and its backup was written now.
    EXPECT_EQ(page.ModeTab(2)->Caption(), L"默认模式");
    EXPECT_TRUE(page.ModeTab(2)->Selected());
    EXPECT_EQ(LabelText(page.StatusLine()), L"您当前使用的是默认模式。");
    EXPECT_EQ(LabelText(page.InfoLine(0)), L"分辨率：1440 x 900");
    EXPECT_EQ(LabelText(page.InfoLine(1)), L"刷新频率：60 Hz");
    EXPECT_EQ(LabelText(page.InfoLine(2)), L"文字大小(DPI)：96");

    Click(page.NeckTab());
    EXPECT_EQ(page.SubPage(), kSubPageNeck);
    EXPECT_TRUE(page.NeckTab()->Selected());
    EXPECT_FALSE(page.EyeTab()->Selected());
    EXPECT_FALSE(page.ModeTab(0)->Visible());
    EXPECT_FALSE(page.ColorPanel()->Visible());
    EXPECT_FALSE(page.EyeExerciseButton()->Visible());
    EXPECT_TRUE(page.RestPanel()->Visible());
    EXPECT_TRUE(page.NeckExerciseButton()->Visible());
    Click(page.EyeTab());
    EXPECT_EQ(page.SubPage(), kSubPageEye);
    EXPECT_TRUE(standIn_->messages.empty());
}

TEST_F(HealthPageTest, PointingAtAModeTabShowsItsData) {
    Fixture({L"[eye]", L"run=0"});
    TPageHealth& page = Open();
    const RECT r = page.ModeTab(kModeElderly)->Bounds();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageW(form_->Hwnd(), WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(LabelText(page.InfoLine(2)), L"文字大小(DPI)：120");
    EXPECT_EQ(LabelText(page.DescriptionLine(0)), L"将系统内的字体放大，满足老年人健康使用电脑的需求，彻底抛弃");
    EXPECT_EQ(LabelText(page.DescriptionLine(1)), L"老花镜。同时关闭自动休息功能。");
    EXPECT_EQ(LabelText(page.StatusLine()), L"您当前使用的是默认模式。") << "a mode not chosen leaves the status";
    ::SendMessageW(form_->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 400));
    EXPECT_EQ(LabelText(page.InfoLine(2)), L"文字大小(DPI)：96");
}

TEST_F(HealthPageTest, TheRestSwitchWritesThenAnnouncesEachStep) {
    Fixture({L"[eye]", L"run=0", L"interval=45", L"resttime=10"});
    TPageHealth& page = Open();
    EXPECT_EQ(page.IntervalLine()->TextItems(1)->Font.Color, RGB(128, 128, 128));
    EXPECT_FALSE(page.SettingLink()->Enabled());
    Click(page.RestSwitch());
    ASSERT_EQ(standIn_->Numbers(), (std::vector<UINT>{0x1606, 0x1604, 0x1604, 0x1606}));
    EXPECT_TRUE(Contains(FileAt(0), L"run=1"));
    EXPECT_EQ(standIn_->Codes(), (std::vector<WPARAM>{2, 6}));
    EXPECT_TRUE(Contains(FileAt(2), L"interval=45")) << "the rest save is written before code 6";
    EXPECT_TRUE(form_->Rest.Run);
    EXPECT_EQ(page.RestSwitch()->Hint(), L"定时休息已开启，点击关闭");
    EXPECT_TRUE(page.SettingLink()->Enabled());

    standIn_->messages.clear();
    Click(page.RestSwitch());
    ASSERT_EQ(standIn_->Numbers(), (std::vector<UINT>{0x1606, 0x1604}));
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{3});
    EXPECT_TRUE(Contains(FileAt(0), L"run=0"));
    ::SetWindowPos(form_->Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const RECT& r = page.RestSwitch()->Bounds();
    EXPECT_EQ(settingstest::TipAt(form_->Tooltip(), form_->Hwnd(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}),
              L"定时休息已关闭，点击开启");
}

TEST_F(HealthPageTest, AFailedRestSwitchIsToldAndTheNextClickAsksAgain) {
    Fixture({L"[eye]", L"run=0"});
    TPageHealth& page = Open();
    settingstest::RemovePath(path_);
    ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    {
        settingstest::MessageBoxWatcher watcher;
        Click(page.RestSwitch());
        settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
        EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{kSaveFailed});
    }
    EXPECT_FALSE(form_->Rest.Run);
    EXPECT_EQ(page.RestSwitch()->Hint(), L"定时休息已关闭，点击开启");
    EXPECT_TRUE(standIn_->messages.empty());
    settingstest::RemovePath(path_);
    Fixture({L"[eye]", L"run=0"});
    Click(page.RestSwitch());
    EXPECT_EQ(Get(L"eye", L"run"), L"1") << "the second click still switches on";
    EXPECT_TRUE(form_->Rest.Run);
}

TEST_F(HealthPageTest, TheEditModeRefusesValuesOutOfRangeAndSavesWithEnter) {
    Fixture({L"[eye]", L"run=1", L"interval=45", L"resttime=10"});
    TPageHealth& page = Open();
    Click(page.SettingLink());
    ASSERT_TRUE(page.InEditMode());
    EXPECT_TRUE(page.IntervalBox()->Visible());
    EXPECT_FALSE(page.IntervalLine()->Visible());
    EXPECT_EQ(LabelText(page.SettingLink()), L"确定");
    EXPECT_EQ(page.IntervalBox()->Text(), L"45");
    EXPECT_EQ(::GetFocus(), page.IntervalBox()->Handle());

    page.IntervalBox()->SetText(L"800");
    {
        settingstest::MessageBoxWatcher watcher;
        Click(page.SettingLink());
        settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
        EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|休息时间间隔最大为720分钟。"});
    }
    EXPECT_EQ(page.IntervalBox()->Text(), L"720");
    EXPECT_TRUE(page.InEditMode());
    EXPECT_EQ(Get(L"eye", L"interval"), L"45") << "nothing saved";
    EXPECT_TRUE(standIn_->messages.empty());

    page.IntervalBox()->SetText(L"30");
    page.RestTimeBox()->SetText(L"0");
    {
        settingstest::MessageBoxWatcher watcher;
        Click(page.SettingLink());
        Pump(100);
        EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|休息时间最小为1分钟。"}) << "and no second message";
    }
    EXPECT_EQ(::GetFocus(), page.RestTimeBox()->Handle());

    page.RestTimeBox()->SetText(L"15");
    ::SendMessageW(page.RestTimeBox()->Handle(), WM_CHAR, VK_RETURN, 0);
    Pump(60);
    EXPECT_FALSE(page.InEditMode());
    EXPECT_EQ(Get(L"eye", L"interval"), L"30");
    EXPECT_EQ(Get(L"eye", L"resttime"), L"15");
    ASSERT_EQ(standIn_->Numbers(), (std::vector<UINT>{0x1604, 0x1606}));
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{6});
    EXPECT_TRUE(Contains(FileAt(0), L"resttime=15"));
    EXPECT_EQ(LabelText(page.IntervalLine()), L"每 30 分钟休息一次");
    EXPECT_EQ(LabelText(page.SettingLink()), L"设置");
}

TEST_F(HealthPageTest, LeavingABoxWithZeroForTheOtherReturnsTheFocus) {
    Fixture({L"[eye]", L"run=1"});
    TPageHealth& page = Open();
    Click(page.SettingLink());
    page.IntervalBox()->SetText(L"0");
    settingstest::MessageBoxWatcher watcher;
    ::SetFocus(page.RestTimeBox()->Handle());
    // The box is answered on its own; the focus comes back after it.
    settingstest::PumpUntil([&] { return !watcher.Seen().empty() && ::GetFocus() == page.IntervalBox()->Handle(); });
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|休息时间间隔最小为1分钟。"});
    EXPECT_EQ(::GetFocus(), page.IntervalBox()->Handle());
}

TEST_F(HealthPageTest, TheColourSwitchChangesTheSystemColourAndBack) {
    Fixture({L"[vyn]", L"seteyeprotection=false"});
    TPageHealth& page = Open();
    EXPECT_EQ(LabelText(page.ColorTitle()), L"未开启视力保护色");
    Click(page.ColorSwitch());
    std::wstring value;
    ASSERT_TRUE(settingstest::ReadRegText(HKEY_CURRENT_USER, kColorsKey, L"Window", value));
    EXPECT_EQ(value, L"204 232 207");
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), RGB(204, 232, 207));
    EXPECT_EQ(LabelText(page.ColorTitle()), L"已开启视力保护色");
    EXPECT_EQ(page.ColorSwitch()->Hint(), L"视力保护色已开启，点击关闭");
    ASSERT_EQ(standIn_->Codes(), std::vector<WPARAM>{4});
    EXPECT_TRUE(Contains(FileAt(0), L"seteyeprotection=true")) << "the flag is in the file first";

    standIn_->messages.clear();
    Click(page.ColorSwitch());
    ASSERT_TRUE(settingstest::ReadRegText(HKEY_CURRENT_USER, kColorsKey, L"Window", value));
    EXPECT_EQ(value, L"255 255 255");
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(LabelText(page.ColorTitle()), L"未开启视力保护色");
    EXPECT_EQ(page.ColorSwitch()->Hint(), L"视力保护色已关闭，点击开启");
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{5});
    EXPECT_EQ(Get(L"vyn", L"seteyeprotection"), L"false");
}

TEST_F(HealthPageTest, AColourFlagThatCannotBeWrittenLeavesTheColour) {
    Fixture({L"[vyn]", L"x=1"});
    TPageHealth& page = Open();
    settingstest::RemovePath(path_);
    ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    settingstest::MessageBoxWatcher watcher;
    Click(page.ColorSwitch());
    settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{kSaveFailed});
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(LabelText(page.ColorTitle()), L"未开启视力保护色");
    EXPECT_TRUE(standIn_->messages.empty());
}

TEST_F(HealthPageTest, TheExerciseButtonsReachCorvalle) {
    Fixture({L"[eye]", L"run=0"});
    TPageHealth& page = Open();
    EXPECT_EQ(page.EyeExerciseButton()->Hint(), L"播放眼保健操");
    Click(page.EyeExerciseButton());
    EXPECT_EQ(standIn_->Numbers(), (std::vector<UINT>{0x1604, 0x1603}));
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{0});
    standIn_->messages.clear();
    Click(page.NeckTab());
    EXPECT_EQ(page.NeckExerciseButton()->Hint(), L"播放颈椎保健操");
    Click(page.NeckExerciseButton());
    EXPECT_EQ(standIn_->Numbers(), (std::vector<UINT>{0x1604, 0x1602}));
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{1});
}

// ---------------------------------------------------------------- display modes

TEST_F(HealthPageTest, ChoosingTheElderlyModeAsksForARestartAndKeepsTheChoice) {
    Fixture({L"[eye]", L"run=1", L"interval=45", L"resttime=10"});
    TPageHealth& page = Open();
    answers_ = {true, false};  // confirm, then restart later
    Click(page.ModeTab(kModeElderly));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].title, L"您当前选择的是老人模式");
    EXPECT_EQ(boxes_[0].message, L"下次开机启动时需要加载老人模式的相关配置，请\r\n耐心等待一会儿吧！");
    EXPECT_EQ(boxes_[0].ok, L"确认选择");
    EXPECT_EQ(boxes_[1].title, L"恭喜，您已经选择老人模式");
    EXPECT_EQ(boxes_[1].second, L"马上重新启动计算机看看老人模式的效果吧！");
    EXPECT_EQ(boxes_[1].ok, L"立即重启");
    EXPECT_TRUE(shutdown_.Ended.empty());
    EXPECT_EQ(display_.Dwords[kLogPixels], 120u);
    EXPECT_TRUE(display_.Keys.count(kMarker));
    EXPECT_EQ(Get(L"UserMode", L"LastSelected"), L"1");
    EXPECT_EQ(page.SystemControl().LastSelected(), kModeElderly);
    EXPECT_TRUE(page.ModeTab(kModeElderly)->Selected());
    EXPECT_FALSE(page.ModeTab(kModeSaved)->Selected());
    EXPECT_EQ(LabelText(page.StatusLine()), L"您当前使用的是老人模式，DPI大小重启后生效。");
    // The elderly mode switches the timed rest off.
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{3});
    EXPECT_EQ(Get(L"eye", L"run"), L"0");
}

TEST_F(HealthPageTest, RestartNowEndsTheSessionOnlyAfterTheChoiceIsWritten) {
    Fixture({L"[eye]", L"run=0"});
    TPageHealth& page = Open();
    answers_ = {true, true};
    Click(page.ModeTab(kModeElderly));
    ASSERT_EQ(shutdown_.Ended.size(), 1u);
    EXPECT_EQ(shutdown_.Ended[0] & (EWX_REBOOT | EWX_LOGOFF | EWX_POWEROFF | EWX_FORCE), static_cast<UINT>(EWX_REBOOT));
    EXPECT_EQ(Get(L"UserMode", L"LastSelected"), L"1");
}

TEST_F(HealthPageTest, DecliningTheChildModePutsEverythingBack) {
    Fixture({L"[eye]", L"run=0", L"interval=45", L"resttime=10", L"[UserMode]", L"UserModeSaved=1",
             L"DisplayFrequency=60", L"Solution=1440|900", L"DPI=96", L"UseDPIScaling=0", L"LastSelected=1"});
    display_.Dwords[kLogPixels] = 120;
    TPageHealth& page = Open();
    ASSERT_EQ(page.SystemControl().LastSelected(), kModeElderly);
    EXPECT_EQ(page.ModeTab(kModeSaved)->Caption(), L"备份模式");
    answers_ = {false};
    Click(page.ModeTab(kModeChild));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].title, L"您当前选择的是儿童模式");
    EXPECT_EQ(boxes_[0].message2, IsVistaOrLater() ? L"手动排序：桌面右键，选择\"查看\"|\"自动排列图标\"。"
                                                   : L"手动排序：桌面右键，选择\"排列图标\"|\"自动排列\"。");
    // The child mode turned the rest on at 60 / 5 and the colour green; the
    // decline put both back, and the display too.
    const std::vector<WPARAM> codes = standIn_->Codes();
    EXPECT_EQ(codes, (std::vector<WPARAM>{2, 6, 4, 2, 6, 3, 5}));
    bool sawChildRest = false;
    for (const auto& m : standIn_->messages)
        sawChildRest = sawChildRest || Contains(Text(m.fileBytes), L"interval=60");
    EXPECT_TRUE(sawChildRest);
    EXPECT_EQ(Get(L"eye", L"run"), L"0");
    EXPECT_EQ(Get(L"eye", L"interval"), L"45");
    EXPECT_EQ(Get(L"eye", L"resttime"), L"10");
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(Get(L"vyn", L"seteyeprotection"), L"false");
    EXPECT_EQ(display_.Dwords[kLogPixels], 120u);
    EXPECT_FALSE(display_.Keys.count(kMarker)) << "the marker is as it was before";
    EXPECT_FALSE(page.SystemControl().RestartNeeded());
    EXPECT_EQ(page.SystemControl().LastSelected(), kModeElderly);
    EXPECT_EQ(Get(L"UserMode", L"LastSelected"), L"1");
    EXPECT_TRUE(page.ModeTab(kModeElderly)->Selected());
    EXPECT_FALSE(page.ModeTab(kModeChild)->Selected());
    EXPECT_TRUE(shutdown_.Ended.empty());
}

// Declining a mode puts every display value back as it was when the page
// opened, and leaves no restart pending for a text size nobody chose.
TEST_F(HealthPageTest, DecliningAModeRestoresTheDisplayAsItWas) {
    const std::wstring dwm = L"HKCU\\Software\\Microsoft\\Windows\\DWM\\UseDpiScaling";
    const std::wstring fontDpi = L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontDPI\\LogPixels";
    const std::wstring hardwareFonts =
        L"HKLM\\SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts\\LogPixels";
    const std::wstring metrics = L"HKCU\\Control Panel\\Desktop\\WindowMetrics\\";
    const std::wstring desktop = L"HKCU\\Control Panel\\Desktop\\";
    const std::vector<std::wstring> vistaBackup = {L"[eye]", L"run=0", L"[UserMode]", L"UserModeSaved=1",
                                                   L"DisplayFrequency=60", L"Solution=1440|900", L"DPI=96",
                                                   L"UseDPIScaling=0"};
    struct Case {
        const char* name;
        bool vista;
        int width, height, frequency, dpi, scaling;
        const wchar_t* lastSelected;
        int from, select;
    } cases[] = {
        {"no mode", true, 1280, 1024, 75, 96, 1, L"LastSelected=2", kModeNone, kModeElderly},
        {"child", true, 1440, 900, 60, 96, 0, L"LastSelected=0", kModeChild, kModeElderly},
        {"elderly", true, 1440, 900, 60, 120, 0, L"LastSelected=1", kModeElderly, kModeChild},
        {"no mode on XP", false, 1280, 1024, 75, 96, 0, L"LastSelected=2", kModeNone, kModeElderly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form_.reset();
        boxes_.clear();
        display_ = settingstest::RecordingDisplay();
        display_.IsWin7 = false;
        display_.Vista = c.vista;
        display_.Width = c.width;
        display_.Height = c.height;
        display_.Frequency = c.frequency;
        std::vector<std::wstring> file = vistaBackup;
        if (c.vista) {
            display_.Dwords[kLogPixels] = static_cast<DWORD>(c.dpi);
            display_.Dwords[dwm] = static_cast<DWORD>(c.scaling);
        } else {
            display_.Dwords[fontDpi] = display_.Dwords[hardwareFonts] = static_cast<DWORD>(c.dpi);
            display_.Dwords[L"HKCU\\Software\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop\\FFlags"] = 549;
            display_.Strings[metrics + L"IconSpacing"] = L"-1500";
            display_.Strings[metrics + L"IconVerticalspacing"] = L"-1400";
            display_.Strings[desktop + L"FontSmoothing"] = L"0";
            display_.Dwords[desktop + L"FontSmoothingType"] = 1;
            file = {L"[eye]", L"run=0", L"[UserMode]", L"UserModeSaved=1", L"DisplayFrequency=60",
                    L"Solution=1440|900", L"FontDPI=96", L"FontSmoothing=0", L"FontSmoothingType=1",
                    L"IconSpacing=-1500", L"IconVerticalspacing=-1400", L"ShellIconSize=32"};
        }
        file.push_back(c.lastSelected);
        Fixture(file);
        const auto dwordsBefore = display_.Dwords;
        const auto stringsBefore = display_.Strings;
        TPageHealth& page = Open();
        ASSERT_EQ(page.SystemControl().LastSelected(), c.from);
        answers_ = {false};
        Click(page.ModeTab(c.select));
        ASSERT_EQ(boxes_.size(), 1u) << "the change asked for a restart";
        EXPECT_EQ(display_.Width, c.width);
        EXPECT_EQ(display_.Height, c.height);
        EXPECT_EQ(display_.Frequency, c.frequency);
        EXPECT_EQ(display_.Dwords, dwordsBefore);
        EXPECT_EQ(display_.Strings, stringsBefore);
        EXPECT_TRUE(display_.Keys.empty()) << "no restart is pending";
        EXPECT_TRUE(page.SystemControl().NoRestartPending());
        EXPECT_EQ(page.SystemControl().LastSelected(), c.from);
    }
}

TEST_F(HealthPageTest, TheModeAlreadyChosenOnlyAppliesItsSettings) {
    Fixture({L"[eye]", L"run=0", L"[UserMode]", L"UserModeSaved=1", L"DisplayFrequency=60", L"Solution=1440|900",
             L"DPI=96", L"LastSelected=0"});
    display_.Dwords[kLogPixels] = 96;
    TPageHealth& page = Open();
    ASSERT_EQ(page.SystemControl().LastSelected(), kModeChild);
    ::WritePrivateProfileStringW(L"UserMode", L"LastSelected", L"0", path_.c_str());
    Click(page.ModeTab(kModeChild));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(standIn_->Codes(), (std::vector<WPARAM>{2, 6, 4}));
    EXPECT_EQ(Get(L"eye", L"interval"), L"60");
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), RGB(204, 232, 207));
    EXPECT_TRUE(page.ModeTab(kModeChild)->Selected());
}

TEST_F(HealthPageTest, BackToTheSavedModeOnWindows7AsksForALogOff) {
    display_.IsWin7 = true;
    Fixture({L"[eye]", L"run=0", L"[UserMode]", L"UserModeSaved=1", L"DisplayFrequency=60", L"Solution=1440|900",
             L"DPI=96", L"LastSelected=1"});
    display_.Dwords[kLogPixels] = 120;
    TPageHealth& page = Open();
    answers_ = {true, true};
    Click(page.ModeTab(kModeSaved));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].second, L"马上注销计算机看看备份模式的效果吧！");
    EXPECT_EQ(boxes_[1].ok, L"立即注销");
    EXPECT_EQ(boxes_[1].cancel, L"稍后注销");
    ASSERT_EQ(shutdown_.Ended.size(), 1u);
    EXPECT_EQ(shutdown_.Ended[0] & (EWX_REBOOT | EWX_LOGOFF | EWX_POWEROFF | EWX_FORCE), static_cast<UINT>(EWX_LOGOFF));
    EXPECT_EQ(display_.Dwords[kLogPixels], 96u);
    EXPECT_EQ(Get(L"UserMode", L"LastSelected"), L"2");
    EXPECT_EQ(Get(L"eye", L"interval"), L"120");
}

TEST_F(HealthPageTest, ARestWriteFailingDuringASwitchIsToldAndTheSwitchGoesOn) {
    Fixture({L"[eye]", L"run=0", L"[UserMode]", L"UserModeSaved=1", L"DisplayFrequency=60", L"Solution=1440|900",
             L"DPI=96", L"LastSelected=1"});
    display_.Dwords[kLogPixels] = 120;
    TPageHealth& page = Open();
    // Nobody else can write the file while this handle is open.
    HANDLE lock = ::CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    answers_ = {true, false};
    {
        settingstest::MessageBoxWatcher watcher;
        Click(page.ModeTab(kModeSaved));
        settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
        Pump(100);  // and no other box than the failure's
        const std::vector<std::wstring> seen = watcher.Seen();
        ASSERT_FALSE(seen.empty());
        for (const auto& s : seen) EXPECT_EQ(s, kSaveFailed);
    }
    ::CloseHandle(lock);
    EXPECT_EQ(boxes_.size(), 2u) << "the switch reached its confirmation";
    EXPECT_EQ(page.SystemControl().LastSelected(), kModeSaved);
    EXPECT_EQ(display_.Dwords[kLogPixels], 96u);
    EXPECT_TRUE(standIn_->Codes().empty()) << "nothing announced that was not written";
}

}  // namespace
