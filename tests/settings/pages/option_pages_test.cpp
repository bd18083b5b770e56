// The general page and the list pages for real: the window is built from
// Corvalle.ini, driven by posted clicks, and watched through the stand-in
// Corvalle's message log and the message boxes it shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/app/FrmOption.h"
#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/PageGeneral.h"
#include "settings/pages/PageLists.h"
#include "tests/settings/option_form_fixture.h"
#include "tests/settings/test_support.h"
#include "tests/support/pixel_surface.h"
#include "winlib/app_module.h"

using namespace settings;
using protocol::kStateActive;
using protocol::kStatePaused;

using settingstest::At;
using settingstest::Pump;

namespace {

// Where a picture differs most from the window's ground, so that a control
// showing nothing cannot pass for one showing it: the fully opaque pixel
// farthest in colour from `ground`.
POINT TellingPixel(const TQRGBA& picture, COLORREF ground) {
    POINT best{-1, -1};
    int bestDistance = -1;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t argb = picture.Pixel(x, y);
            if ((argb >> 24) != 0xFF) continue;
            const int d = std::abs(int((argb >> 16) & 0xFF) - GetRValue(ground)) +
                          std::abs(int((argb >> 8) & 0xFF) - GetGValue(ground)) + std::abs(int(argb & 0xFF) - GetBValue(ground));
            if (d > bestDistance) {
                bestDistance = d;
                best = POINT{x, y};
            }
        }
    return best;
}

COLORREF PictureColor(const TQRGBA& picture, POINT at) {
    const uint32_t argb = picture.Pixel(at.x, at.y);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

std::string Hex(COLORREF c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

using testsupport::ScreenPixel;

// Two reminders: every day at 08:30 without a ring, and one on 2013-07-20
// at 18:05 whose ring file is gone.
const std::vector<std::wstring> kTwoReminders = {
    L"[vyn]", L"TimerAlertCount=2",
    L"[TimerAlert1]", L"TimerAlertTime=08:30", L"TimerAlertRepeat=1", L"TimerAlertContent=喝水",
    L"LastSetDate=20130715", L"Ring=", L"State=1",
    L"[TimerAlert2]", L"TimerAlertTime=18:05", L"TimerAlertRepeat=0", L"TimerAlertContent=开会",
    L"LastSetDate=20130720", L"Ring=C:\\gone\\ring.wav", L"State=1"};

// An every-day shutdown at 22:00, active.
const std::vector<std::wstring> kOneActiveDailyShutDown = {
    L"[vyn]", L"TimeShutDownCount=1", L"[vynShutDown1]", L"ShutDownAlertTime=22:00", L"ShutDownAlertRepeat=1",
    L"ShutDownStyle=1", L"LastSetDate=20130715", L"State=1"};

class OptionPagesTest : public settingstest::OptionFormFixture {
protected:
    void SaveState() override {
        runBackup_.emplace(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Corvalle");
    }
    void RestoreState() override { runBackup_.reset(); }
    TFormCorvalleOption& Open(OptionPage page) {
        TFormCorvalleOption::Hooks hooks;
        hooks.Terminate = [] {};
        form_ = std::make_unique<TFormCorvalleOption>(page, false, hooks);
        EXPECT_TRUE(form_->CreateForm(nullptr));
        form_->Show();
        Pump(50);
        standIn_->messages.clear();
        return *form_;
    }
    // A posted click in the middle of a windowless control.
    void Click(forms::TControl& control) {
        const RECT& r = control.Bounds();
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageW(form_->Hwnd(), WM_MOUSEMOVE, 0, at);
        ::PostMessageW(form_->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(form_->Hwnd(), WM_LBUTTONUP, 0, at);
        Pump(80);
    }
    // A posted click at a point of a list box.
    void ClickList(TDrawListBox& box, int x, int y) {
        const LPARAM at = MAKELPARAM(x, y);
        ::PostMessageW(box.Handle(), WM_MOUSEMOVE, 0, at);
        ::PostMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(box.Handle(), WM_LBUTTONUP, 0, at);
        Pump(80);
    }
    // The real pointer resting on the first row's state button (20, 25) of a
    // list of the topmost form, and the list told so.
    HWND RestPointerOnStateButton(TDrawListBox& box) {
        ::SetWindowPos(form_->Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        POINT screen{20, 25};
        ::ClientToScreen(box.Handle(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageW(box.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 25));
        return box.Handle();
    }
    // A key pressed in the focused window, through the loop's filters as the
    // program's own loop runs them.
    void Key(UINT vk) {
        HWND target = ::GetFocus() ? ::GetFocus() : form_->Hwnd();
        ::PostMessageW(target, WM_KEYDOWN, vk, 1);
        Pump(60, [](MSG& msg) { return winlib::Module().Loop().PreTranslate(&msg); });
    }
    std::vector<std::wstring> Items(TPageComboBox& box) {
        std::vector<std::wstring> out;
        for (int n = 0; n < box.ItemCount(); ++n) {
            wchar_t text[64] = {};
            ::SendMessageW(box.Handle(), CB_GETLBTEXT, n, reinterpret_cast<LPARAM>(text));
            out.push_back(text);
        }
        return out;
    }
    std::wstring Get(const wchar_t* section, const wchar_t* key) { return settingstest::Profile(path_, section, key); }

    std::optional<settingstest::RegValueBackup> runBackup_;
};

TEST_F(OptionPagesTest, AnEmptyFileShowsBeijingDisabledAndTheProvincesFilterTheCities) {
    Fixture({});
    TGeneralPage& page = *Open(kPageGeneral).GeneralPage();
    EXPECT_EQ(page.Province->Text(), L"北京");
    EXPECT_EQ(page.City->ItemIndex(), 0);
    EXPECT_FALSE(page.Province->Enabled());
    EXPECT_FALSE(page.City->Enabled());
    const struct {
        const wchar_t* province;
        std::vector<std::wstring> cities;
    } cases[] = {{L"香港", {L"香港", L"九龙", L"新界"}}, {L"澳门", {L"澳门"}}};
    for (const auto& c : cases) {
        ASSERT_TRUE(page.Province->SelectText(c.province));
        page.ProvinceChanged();
        EXPECT_EQ(Items(*page.City), c.cities);
    }
    Click(*page.CustomWeather);
    EXPECT_TRUE(page.Province->Enabled());
}

TEST_F(OptionPagesTest, ASharedCityNameKeepsItsOwnProvincesCode) {
    Fixture({L"[vyn]", L"CustomWeather=1", L"ProvinceCode=10107", L"CityCode=101071201"});
    TFormCorvalleOption& form = Open(kPageGeneral);
    TGeneralPage& page = *form.GeneralPage();
    EXPECT_EQ(page.Province->Text(), L"辽宁");
    EXPECT_EQ(page.City->Text(), L"朝阳");
    Click(*page.Ok);
    EXPECT_EQ(Get(L"vyn", L"CityCode"), L"101071201");
    EXPECT_EQ(Get(L"vyn", L"ProvinceCode"), L"10107");
}

TEST_F(OptionPagesTest, UntickingTheWiseAlertDisablesTheRingRow) {
    Fixture({L"[vyn]", L"WiseHealthAlert=1", L"UseWiseAlertRing=1"});
    TGeneralPage& page = *Open(kPageGeneral).GeneralPage();
    EXPECT_TRUE(page.Browse->Enabled());
    Click(*page.WiseAlert);
    EXPECT_FALSE(page.AlertRing->Enabled());
    EXPECT_FALSE(page.Browse->Enabled());
    EXPECT_FALSE(page.RingBox->Enabled());
}

TEST_F(OptionPagesTest, AddingAReminderSavesThenPostsTheChangeAndCode7) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture({L"[vyn]", L"TimerAlertCount=0"});
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& pages = *form.ListPages();
    Click(*pages.AddButton);
    ASSERT_EQ(form.Page(), kPageTimerAlertEdit);
    EXPECT_EQ(pages.ReminderEditor().RepeatHour->Text(), L"10");
    pages.ReminderEditor().Content->SetText(L"站起来走走");
    Click(*pages.Reminders().Ok());
    EXPECT_EQ(form.Page(), kPageTimerAlertList);
    ASSERT_EQ(form.TimerAlerts.size(), 1u);
    EXPECT_EQ(Get(L"TimerAlert1", L"TimerAlertTime"), L"10:00");
    EXPECT_EQ(Get(L"TimerAlert1", L"TimerAlertContent"), L"站起来走走");
    EXPECT_EQ(standIn_->Numbers(), (std::vector<UINT>{0x1600, 0x1604}));
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{7});

    // The same time again is refused and nothing is written.
    settingstest::MessageBoxWatcher watcher;
    Click(*pages.AddButton);
    Click(*pages.Reminders().Ok());
    settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_NE(watcher.Seen()[0].find(L"不能创建时间重复的提醒！"), std::wstring::npos);
    EXPECT_EQ(form.Page(), kPageTimerAlertEdit);
    EXPECT_EQ(form.TimerAlerts.size(), 1u);
}

TEST_F(OptionPagesTest, AFailedSaveTellsTheUserAndChangesNothing) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kOneActiveDailyShutDown);
    TFormCorvalleOption& form = Open(kPageShutDownList);
    TListPages& pages = *form.ListPages();
    settingstest::RemovePath(path_);
    ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    settingstest::MessageBoxWatcher watcher;
    ClickList(*pages.ShutDowns().List(), 20, 25);  // the state button: pause
    Pump(300);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_NE(watcher.Seen()[0].find(L"保存数据失败，文件可能被占用！"), std::wstring::npos);
    EXPECT_EQ(form.ShutDowns[0].State, kStateActive) << "the state before the failed save is back";
    pages.ToggleManageMode();
    ClickList(*pages.ShutDowns().List(), 20, 25);  // the state button: delete
    Pump(300);
    EXPECT_EQ(form.ShutDowns.size(), 1u);
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{}) << "a failed save sends no code";
    ::RemoveDirectoryW(path_.c_str());
}

TEST_F(OptionPagesTest, PauseSendsNoCodeAndDeleteSendsCode11) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kOneActiveDailyShutDown);
    TFormCorvalleOption& form = Open(kPageShutDownList);
    TListPages& pages = *form.ListPages();
    ClickList(*pages.ShutDowns().List(), 20, 25);
    EXPECT_EQ(form.ShutDowns[0].State, kStatePaused);
    EXPECT_EQ(Get(L"vynShutDown1", L"State"), L"0");
    EXPECT_EQ(standIn_->Numbers(), std::vector<UINT>{0x1600});
    standIn_->messages.clear();
    Click(*pages.ManageButton);
    EXPECT_TRUE(pages.ManageMode());
    ClickList(*pages.ShutDowns().List(), 20, 25);
    EXPECT_TRUE(form.ShutDowns.empty());
    EXPECT_EQ(Get(L"vyn", L"TimeShutDownCount"), L"0");
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{11});
    EXPECT_FALSE(pages.ManageMode()) << "an empty list leaves the manage mode";
}

TEST_F(OptionPagesTest, TheManageModeEndsForBothListsAtOnce) {
    Fixture({L"[vyn]", L"TimerAlertCount=1", L"TimeShutDownCount=1", L"[TimerAlert1]", L"TimerAlertTime=08:30",
             L"TimerAlertRepeat=1", L"[vynShutDown1]", L"ShutDownAlertTime=22:00", L"ShutDownAlertRepeat=1"});
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& pages = *form.ListPages();
    pages.ToggleManageMode();
    form.ShowPage(kPageShutDownList);
    ClickList(*pages.ShutDowns().List(), 20, 200);  // below the last row
    form.ShowPage(kPageTimerAlertList);
    EXPECT_FALSE(pages.ManageMode()) << "the reminders came back with their delete buttons";
}

TEST_F(OptionPagesTest, AClickOnAnActiveShutDownsButtonActsAfterTheListTimerTicked) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kOneActiveDailyShutDown);
    TFormCorvalleOption& form = Open(kPageShutDownList);
    TListPages& pages = *form.ListPages();
    HWND list = RestPointerOnStateButton(*pages.ShutDowns().List());
    Pump(50);
    ASSERT_EQ(pages.ShutDowns().List()->HoverRow(), 0);
    for (int tick = 0; tick < 2; ++tick) {
        pages.tmrShutDownListTick();
        Pump(20);
    }
    // Pressed and released where the pointer has rested since the ticks.
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
    ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    settingstest::PumpUntil([&] { return form.ShutDowns[0].State == kStatePaused; });
    EXPECT_EQ(form.ShutDowns[0].State, kStatePaused);
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
    ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    settingstest::PumpUntil([&] { return form.ShutDowns[0].State == kStateActive; });
    EXPECT_EQ(form.ShutDowns[0].State, kStateActive) << "a second press resumes it";
}

TEST_F(OptionPagesTest, APressInPlaceAfterADeletionDeletesTheRowThatMovedUp) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kTwoReminders);
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& pages = *form.ListPages();
    pages.ToggleManageMode();
    HWND list = RestPointerOnStateButton(*pages.Reminders().List());
    // Two clicks in place, the second before any move of the pointer.
    for (int click = 0; click < 2; ++click) {
        ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
        ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    }
    settingstest::PumpUntil([&] { return form.TimerAlerts.empty(); });
    EXPECT_TRUE(form.TimerAlerts.empty()) << "the second press found the row that moved up under the pointer";
    EXPECT_EQ(standIn_->Codes(), (std::vector<WPARAM>{8, 8}));
}

TEST_F(OptionPagesTest, TheEditorsKeysMoveTheFocusAsEachRuleSays) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture({L"[vyn]", L"TimerAlertCount=0"});
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& p = *form.ListPages();
    TTimerAlertEditor& a = p.ReminderEditor();
    TShutDownEditor& d = p.ShutDownEditor();
    struct Case {
        const char* name;
        OptionPage list;
        bool specifyRow;
        forms::TControl* from;
        UINT key;
        forms::TControl* to;
    };
    const Case cases[] = {
        {"Tab in the content", kPageTimerAlertList, false, a.Content, VK_TAB, a.RepeatRadio},
        {"Enter in the content", kPageTimerAlertList, false, a.Content, VK_RETURN, a.RepeatRadio},
        {"Tab in the content, date row", kPageTimerAlertList, true, a.Content, VK_TAB, a.SpecifyRadio},
        {"Tab in the date's minutes", kPageTimerAlertList, true, a.SpecifyMin, VK_TAB, a.RingBox},
        {"Enter in the repeat list", kPageTimerAlertList, false, a.RepeatKind, VK_RETURN, a.RepeatHour},
        {"Enter in an hour list", kPageTimerAlertList, false, a.RepeatHour, VK_RETURN, a.RepeatMin},
        {"Enter in a minute list", kPageTimerAlertList, true, a.SpecifyHour, VK_RETURN, a.SpecifyMin},
        {"Enter in the shutdown hour", kPageShutDownList, false, d.OnceHour, VK_RETURN, d.OnceMin},
        {"Enter in the style list", kPageShutDownList, false, d.Style, VK_RETURN, p.ShutDowns().Ok()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.ShowPage(c.list);
        Click(*p.AddButton);
        if (c.specifyRow) Click(*a.SpecifyRadio);
        form.FocusControl(c.from);
        ASSERT_EQ(form.FocusedControl(), c.from);
        Key(c.key);
        EXPECT_EQ(form.FocusedControl(), c.to);
        Click(*p.ReturnButton);
    }
}

TEST_F(OptionPagesTest, AnExistingReminderOpensLikeANewOneAndSavesInPlace) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kTwoReminders);
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& pages = *form.ListPages();
    // The one-time reminder first: its date row is filled.
    ClickList(*pages.Reminders().List(), 150, TListPages::kRowHeight + 25);
    ASSERT_EQ(form.Page(), kPageTimerAlertEdit);
    EXPECT_TRUE(pages.ReminderEditor().SpecifyRadio->Checked());
    EXPECT_EQ(pages.ReminderEditor().SpecifyHour->Text(), L"18");
    EXPECT_EQ(pages.ReminderEditor().SpecifyMin->Text(), L"5");
    EXPECT_EQ(form.FocusedControl(), pages.ReminderEditor().Content);
    {
        // Its ring is gone: the save is refused and the ring box has the focus.
        settingstest::MessageBoxWatcher watcher;
        Click(*pages.Reminders().Ok());
        Pump(200);
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_NE(watcher.Seen()[0].find(L"提醒铃声文件不存在，请重新设置。"), std::wstring::npos);
    }
    EXPECT_EQ(form.FocusedControl(), pages.ReminderEditor().RingBox);
    Click(*pages.Reminders().Cancel());

    // Then the repeating one: the date row is as for a new entry again.
    ClickList(*pages.Reminders().List(), 150, 25);
    ASSERT_EQ(form.Page(), kPageTimerAlertEdit);
    EXPECT_TRUE(pages.ReminderEditor().RepeatRadio->Checked());
    EXPECT_EQ(pages.ReminderEditor().RepeatHour->Text(), L"8");
    EXPECT_EQ(pages.ReminderEditor().RepeatMin->Text(), L"30");
    EXPECT_EQ(pages.ReminderEditor().SpecifyHour->Text(), L"10");
    EXPECT_EQ(pages.ReminderEditor().SpecifyMin->Text(), L"0");
    EXPECT_EQ(form.FocusedControl(), pages.ReminderEditor().Content);
    pages.ReminderEditor().Content->SetText(L"喝杯水");
    pages.ReminderEditor().RepeatMin->SetText(L"45");
    Click(*pages.Reminders().Ok());
    EXPECT_EQ(form.Page(), kPageTimerAlertList);
    ASSERT_EQ(form.TimerAlerts.size(), 2u);
    EXPECT_EQ(Get(L"TimerAlert1", L"TimerAlertContent"), L"喝杯水");
    EXPECT_EQ(Get(L"TimerAlert1", L"TimerAlertTime"), L"08:45");
    EXPECT_EQ(Get(L"TimerAlert2", L"TimerAlertContent"), L"开会");
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{7});
}

TEST_F(OptionPagesTest, CancellingAnEditorLeavesTheFileByteForByte) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kTwoReminders);
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& pages = *form.ListPages();
    const std::string before = settingstest::ReadBytes(path_);
    ASSERT_FALSE(before.empty());
    ClickList(*pages.Reminders().List(), 150, 25);
    ASSERT_EQ(form.Page(), kPageTimerAlertEdit);
    pages.ReminderEditor().Content->SetText(L"别的内容");
    Click(*pages.Reminders().Cancel());
    Click(*pages.AddButton);
    Click(*pages.ReturnButton);
    EXPECT_EQ(form.Page(), kPageTimerAlertList);
    EXPECT_EQ(settingstest::ReadBytes(path_), before);
    EXPECT_EQ(form.TimerAlerts[0].Content, L"喝水");
    EXPECT_TRUE(standIn_->messages.empty());
}

TEST_F(OptionPagesTest, TheContextMenuEditsOrDeletesTheRowUnderThePointer) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kTwoReminders);
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    TListPages& pages = *form.ListPages();
    std::vector<std::wstring> shown;
    int answer = 0;
    pages.TrackMenu = [&](HMENU menu, POINT) {
        shown.clear();
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t text[32] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
            const bool grayed = (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0;
            shown.push_back(std::wstring(text) + (grayed ? L" (grayed)" : L""));
        }
        return answer;
    };
    auto rightClick = [&](int y) {
        ::PostMessageW(pages.Reminders().List()->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, y));
        ::PostMessageW(pages.Reminders().List()->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(150, y));
        Pump(80);
    };
    rightClick(2 * TListPages::kRowHeight + 20);  // below the rows
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"编辑 (grayed)", L"删除 (grayed)"}));

    answer = TListPages::kMenuEdit;
    rightClick(TListPages::kRowHeight + 25);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"编辑", L"删除"}));
    EXPECT_EQ(form.Page(), kPageTimerAlertEdit);
    EXPECT_EQ(pages.EditIndex(), 1);
    Click(*pages.Reminders().Cancel());

    answer = TListPages::kMenuDelete;
    rightClick(25);
    ASSERT_EQ(form.TimerAlerts.size(), 1u);
    EXPECT_EQ(form.TimerAlerts[0].Content, L"开会");
    EXPECT_EQ(Get(L"vyn", L"TimerAlertCount"), L"1");
    EXPECT_EQ(Get(L"TimerAlert1", L"TimerAlertContent"), L"开会");
    EXPECT_EQ(standIn_->Codes(), std::vector<WPARAM>{8});
}

TEST_F(OptionPagesTest, ThePointerIsAHandOverARowsStateButtonOnly) {
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kOneActiveDailyShutDown);
    TFormCorvalleOption& form = Open(kPageShutDownList);
    HWND list = form.ListPages()->ShutDowns().List()->Handle();
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    const struct {
        int x;
        bool hand;
    } cases[] = {{20, true}, {150, false}, {22, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, 25));
        ::SendMessageW(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor() == hand, c.hand);
    }
}

// This program links the settings program's resources the way Mirelo.exe
// does, so a lookup that the linker's ordering of the names breaks shows
// here, whatever the skin tests (with the pictures alone) see.
TEST(ProgramResources, EveryPictureAndTheCityTableAreFoundAmongTheProgramsOwnResources) {
    for (const TSkinEntry& entry : SkinResourceTable())
        EXPECT_TRUE(OpenSkinResource(entry.Name)) << std::string(entry.Name, entry.Name + wcslen(entry.Name));
    EXPECT_TRUE(OpenSkinResource(L"CITYCODE"));
    std::wstring stoppedAt;
    TSkinTargets none;
    EXPECT_TRUE(LoadSkin(none, &stoppedAt)) << "stopped at " << std::string(stoppedAt.begin(), stoppedAt.end());
}

TEST_F(OptionPagesTest, HintsShowAsTipsOverTheirControls) {
    const std::wstring ring = settingstest::WorkDir() + L"提示音.wav";
    ASSERT_TRUE(settingstest::WriteFixture(ring, L"RIFF", settingstest::Encoding::Ansi936));
    Fixture({L"[vyn]", L"WiseHealthAlert=1", L"UseWiseAlertRing=1"});
    TFormCorvalleOption& form = Open(kPageGeneral);
    TGeneralPage& page = *form.GeneralPage();
    ::SetWindowPos(form.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    auto tipOver = [&](const forms::TControl& c) {
        const RECT& r = c.Bounds();
        return settingstest::TipAt(form.Tooltip(), form.Hwnd(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    };
    EXPECT_EQ(tipOver(*form.CloseButton()), L"关闭");
    EXPECT_EQ(tipOver(*page.Detail), L"智能健康提醒包括：天气,吃饭,喝水等,点击查看详细信息");
    page.ChooseFile = [&](std::wstring& chosen) {
        chosen = ring;
        return true;
    };
    Click(*page.Browse);
    EXPECT_EQ(tipOver(*page.RingBox), ring) << "the tip follows the ring chosen";
    form_.reset();
    settingstest::RemovePath(ring);

    // A list row's state button: the tip follows the row's state.
    settingstest::FixedClock clock(At(2013, 7, 15, 9, 10, 0));
    Fixture(kOneActiveDailyShutDown);
    TFormCorvalleOption& lists = Open(kPageShutDownList);
    ::SetWindowPos(lists.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND box = lists.ListPages()->ShutDowns().List()->Handle();
    EXPECT_EQ(settingstest::TipAt(lists.Tooltip(), box, POINT{20, 25}), L"点击暂停");
    ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
    ::PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    settingstest::PumpUntil([&] { return lists.ShutDowns[0].State == kStatePaused; });
    ASSERT_EQ(lists.ShutDowns[0].State, kStatePaused);
    EXPECT_EQ(settingstest::TipAt(lists.Tooltip(), box, POINT{20, 25}), L"点击启用");
}

TEST_F(OptionPagesTest, ARingPreviewStillPlayingEndsWithTheWindow) {
    const std::wstring ring = settingstest::WorkDir() + L"preview.wav";
    ASSERT_TRUE(settingstest::WriteFixture(ring, L"RIFF", settingstest::Encoding::Ansi936));
    Fixture({L"[vyn]", L"WiseHealthAlert=1", L"UseWiseAlertRing=1", L"Ring=" + ring});
    TFormCorvalleOption& form = Open(kPageGeneral);
    form.RingPreview().Player = settingstest::SystemProgram(L"notepad.exe");  // stays until ended
    Click(*form.GeneralPage()->Play);
    HANDLE player = ::OpenProcess(SYNCHRONIZE, FALSE, form.RingPreview().ProcessId());
    ASSERT_NE(player, nullptr);
    form.Close();
    EXPECT_EQ(::WaitForSingleObject(player, 5000), WAIT_OBJECT_0);
    ::CloseHandle(player);
    settingstest::RemovePath(ring);
}

TEST_F(OptionPagesTest, EveryControlOfTheGeneralPageShowsItsPictureOnScreen) {
    Fixture({L"[vyn]", L"WiseHealthAlert=1", L"UseWiseAlertRing=1", L"CustomWeather=1"});
    TFormCorvalleOption& form = Open(kPageGeneral);
    TGeneralPage& page = *form.GeneralPage();
    ASSERT_NE(form.CloseButton(), nullptr);
    for (TButtonImage* b : {form.CloseButton(), page.Ok, page.Cancel, page.Browse, page.Play}) {
        EXPECT_FALSE(b->NormalBmp().Empty());
        EXPECT_FALSE(b->PassBmp().Empty());
        EXPECT_FALSE(b->PressBmp().Empty());
    }
    EXPECT_FALSE(page.Play->DisableBmp().Empty());
    for (TCheckLabelButton* box : {page.Autorun, page.WiseAlert, page.AlertRing, page.CustomWeather}) {
        EXPECT_FALSE(box->CheckBmp().Empty());
        EXPECT_FALSE(box->UnCheckBmp().Empty());
        EXPECT_FALSE(box->FaceBmp().Empty());
    }
    for (TPageComboBox* box : {page.Province, page.City}) EXPECT_FALSE(box->NormalBmp.Empty());

    ::SetWindowPos(form.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::RedrawWindow(form.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    const COLORREF ground = ScreenPixel(form.Hwnd(), 300, 70);

    // The ticked box: its picture sits 2 pixels in, centred in the height.
    ASSERT_TRUE(page.WiseAlert->Checked());
    const TQRGBA& tick = page.WiseAlert->FaceBmp();
    const POINT inTick = TellingPixel(tick, ground);
    ASSERT_GE(inTick.x, 0);
    const RECT& box = page.WiseAlert->Bounds();
    const COLORREF boxPixel = ScreenPixel(form.Hwnd(), box.left + 2 + inTick.x,
                                          box.top + (page.WiseAlert->Height() - tick.Height()) / 2 + inTick.y);
    EXPECT_TRUE(Near(boxPixel, PictureColor(tick, inTick)))
        << "screen " << Hex(boxPixel) << ", picture " << Hex(PictureColor(tick, inTick));

    // The push button's face, at a pixel the caption leaves alone.
    const TQRGBA& face = page.Ok->NormalBmp();
    const POINT inFace = TellingPixel(face, ground);
    ASSERT_GE(inFace.x, 0);
    const RECT& ok = page.Ok->Bounds();
    const COLORREF okPixel = ScreenPixel(form.Hwnd(), ok.left + inFace.x, ok.top + inFace.y);
    EXPECT_TRUE(Near(okPixel, PictureColor(face, inFace)))
        << "screen " << Hex(okPixel) << ", picture " << Hex(PictureColor(face, inFace));
}

TEST_F(OptionPagesTest, TheListPagesButtonsAndRowPicturesAreLoaded) {
    Fixture(kOneActiveDailyShutDown);
    TFormCorvalleOption& form = Open(kPageShutDownList);
    TListPages& pages = *form.ListPages();
    TTimerAlertEditor& a = pages.ReminderEditor();
    TShutDownEditor& d = pages.ShutDownEditor();
    for (TButtonImage* b : {form.CloseButton(), pages.AddButton, pages.ManageButton, pages.ReturnButton, a.Browse, a.Play,
                            pages.Reminders().Ok(), pages.Reminders().Cancel(), pages.ShutDowns().Ok(),
                            pages.ShutDowns().Cancel()})
        EXPECT_FALSE(b->NormalBmp().Empty());
    for (TCheckLabelButton* box : {a.RepeatRadio, a.SpecifyRadio, d.OnceRadio, d.DailyRadio}) {
        EXPECT_FALSE(box->CheckBmp().Empty());
        EXPECT_FALSE(box->UnCheckBmp().Empty());
    }
    EXPECT_GT(d.Clock->RGBAList().Count(), 0);
    const TListRowSkin& rows = ListRowSkin();
    for (const TQRGBAList* strip : {&rows.RowBack, &rows.Play, &rows.Pause, &rows.Delete, &rows.Suspension})
        EXPECT_GT(strip->Count(), 0);
    EXPECT_GT(rows.ActiveClock.RGBAList().Count(), 0);
    EXPECT_GT(rows.ExpiredClock.RGBAList().Count(), 0);
}

}  // namespace
