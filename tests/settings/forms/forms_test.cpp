#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/forms/application.h"
#include "settings/forms/form.h"
#include "tests/settings/test_support.h"

using namespace settings;

using settingstest::Pump;

namespace {

// A form of a class name no other test uses, logging what its controls get.
class LoggingForm : public forms::TForm {
public:
    explicit LoggingForm(const wchar_t* className = L"TFormLayerTest")
        : TForm([className] {
              forms::FormParams p;
              p.ClassName = className;
              p.Caption = L"测试窗体";
              p.ClientWidth = 300;
              p.ClientHeight = 200;
              return p;
          }()) {}

    std::vector<std::string> log;
    forms::TSimpleButton* a = nullptr;
    forms::TSimpleButton* b = nullptr;
    forms::TSimpleButton* c = nullptr;
    forms::TWindowedControl* edit = nullptr;
    int backgroundPresses = 0;
    bool keepTabs = false;

    void Watch(forms::TControl& control, const std::string& name) {
        control.OnMouseEnter = [this, name](forms::TControl&) { log.push_back(name + " enter"); };
        control.OnMouseLeave = [this, name](forms::TControl&) { log.push_back(name + " leave"); };
        control.OnMouseDown = [this, name](forms::TControl&, POINT p) {
            log.push_back(name + " down " + std::to_string(p.x) + "," + std::to_string(p.y));
        };
        control.OnMouseUp = [this, name](forms::TControl&, POINT p) {
            log.push_back(name + " up " + std::to_string(p.x) + "," + std::to_string(p.y));
        };
        control.OnClick = [this, name](forms::TControl&) { log.push_back(name + " click"); };
    }

protected:
    void FormCreate() override {
        a = &Add<forms::TSimpleButton>(10, 10, 60, 23);
        b = &Add<forms::TSimpleButton>(100, 10, 60, 23);
        edit = &Add<forms::TWindowedControl>(10, 60, 120, 22, L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        edit->SetTabStop(true);
        c = &Add<forms::TSimpleButton>(200, 10, 60, 23);
        Watch(*a, "a");
        Watch(*b, "b");
        Watch(*c, "c");
    }
    void FormMouseDown(POINT) override { ++backgroundPresses; }
    bool DialogKey(UINT key, bool shift) override {
        if (key == VK_TAB && keepTabs) return false;
        return TForm::DialogKey(key, shift);
    }
};

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class FormLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The pointer stays away, so only the posted messages move it.
        ::SetCursorPos(0, 0);
        ASSERT_TRUE(form_.CreateForm(nullptr));
    }
    void TearDown() override {
        form_.DestroyWindow();
        Pump(10);
    }
    void Post(UINT msg, WPARAM wParam, LPARAM lParam) {
        ::PostMessageW(form_.Hwnd(), msg, wParam, lParam);
        Pump(20);
    }
    void Click(int x, int y) {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        Post(WM_LBUTTONUP, 0, At(x, y));
    }
    void Key(HWND target, UINT vk) {
        ::PostMessageW(target, WM_KEYDOWN, vk, 1);
        // Keys reach the forms only through the loop's filters.
        testsupport::Pump(50, [](MSG& msg) { return winlib::Module().Loop().PreTranslate(&msg); });
    }

    LoggingForm form_;
};

TEST_F(FormLayerTest, TheWindowHasTheExactClassAndClientSize) {
    wchar_t name[64] = {};
    ::GetClassNameW(form_.Hwnd(), name, 64);
    EXPECT_STREQ(name, L"TFormLayerTest");
    EXPECT_EQ(::FindWindowW(L"TFormLayerTest", nullptr), form_.Hwnd());
    const RECT client = form_.ClientRect();
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_FALSE(::IsWindowVisible(form_.Hwnd())) << "created hidden";
    const LONG style = ::GetWindowLongW(form_.Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION) << "no border";
    form_.SetClientSize(320, 365);
    EXPECT_EQ(form_.ClientRect().bottom, 365);
    wchar_t title[64] = {};
    ::GetWindowTextW(form_.Hwnd(), title, 64);
    EXPECT_STREQ(title, L"测试窗体");
}

TEST_F(FormLayerTest, ControlsGetEnterLeaveDownUpAndClickAtTheMessagesPosition) {
    Post(WM_MOUSEMOVE, 0, At(20, 15));
    Post(WM_MOUSEMOVE, 0, At(25, 16));
    Post(WM_MOUSEMOVE, 0, At(110, 15));
    Post(WM_MOUSEMOVE, 0, At(5, 150));
    Click(15, 20);
    EXPECT_EQ(form_.log, (std::vector<std::string>{"a enter", "a leave", "b enter", "b leave", "a enter",
                                                    "a down 15,20", "a up 15,20", "a click"}));
}

TEST_F(FormLayerTest, AClickNeedsPressAndReleaseOnTheSameEnabledVisibleControl) {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
    Post(WM_LBUTTONUP, 0, At(110, 15));
    EXPECT_EQ(form_.log, (std::vector<std::string>{"a enter", "a down 15,15", "a up 110,15"}));
    form_.log.clear();

    form_.b->SetEnabled(false);
    Click(110, 15);
    form_.c->SetVisible(false);
    Click(210, 15);
    for (const std::string& line : form_.log) EXPECT_EQ(line.find("click"), std::string::npos) << line;
    EXPECT_EQ(form_.backgroundPresses, 1) << "a hidden control is background; a disabled one is not";

    Post(WM_LBUTTONUP, 0, At(15, 15));  // a release without a press
    Click(150, 150);
    EXPECT_EQ(form_.backgroundPresses, 2);
}

TEST_F(FormLayerTest, ADoubleClickArrivesAsAPressWithItsOwnEvent) {
    int doubles = 0;
    form_.a->OnDblClick = [&](forms::TControl&) { ++doubles; };
    Click(15, 15);
    Post(WM_LBUTTONDBLCLK, MK_LBUTTON, At(15, 15));
    Post(WM_LBUTTONUP, 0, At(15, 15));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(std::count(form_.log.begin(), form_.log.end(), "a click"), 2);
}

TEST_F(FormLayerTest, TimersRunByIdUntilKilled) {
    int first = 0, second = 0;
    ASSERT_TRUE(form_.SetTimer(7, 20, [&] { ++first; }));
    ASSERT_TRUE(form_.SetTimer(8, 20, [&] {
        if (++second == 2) form_.KillTimer(8);  // a handler may end its own timer
    }));
    EXPECT_TRUE(form_.TimerActive(7));
    settingstest::PumpUntil([&] { return first >= 3 && second >= 2; });
    EXPECT_GE(first, 3);
    EXPECT_EQ(second, 2);
    EXPECT_FALSE(form_.TimerActive(8));
    form_.KillTimer(7);
    const int stopped = first;
    Pump(100);
    EXPECT_EQ(first, stopped);
    // A foreign timer id is left to the default handling.
    ::SetTimer(form_.Hwnd(), 99, 10, nullptr);
    Pump(50);
    ::KillTimer(form_.Hwnd(), 99);
    // Destroying the form ends its timers.
    ASSERT_TRUE(form_.SetTimer(7, 10, [&] { ++first; }));
    form_.DestroyWindow();
    EXPECT_FALSE(form_.TimerActive(7));
}

TEST_F(FormLayerTest, TabWalksTheFocusableControlsInTabOrder) {
    form_.Show();
    Pump(20);
    form_.FocusControl(form_.a);
    std::vector<forms::TControl*> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(form_.SelectNext(true));
        seen.push_back(form_.FocusedControl());
    }
    EXPECT_EQ(seen, (std::vector<forms::TControl*>{form_.b, form_.edit, form_.c, form_.a, form_.b}));
    EXPECT_EQ(::GetFocus(), form_.Hwnd());
    ASSERT_TRUE(form_.SelectNext(false));
    EXPECT_EQ(form_.FocusedControl(), form_.a);
    ASSERT_TRUE(form_.SelectNext(false));
    EXPECT_EQ(form_.FocusedControl(), form_.c);

    // Hidden, disabled and non-stop controls are skipped; tab order wins
    // over the order of creation.
    form_.b->SetEnabled(false);
    form_.c->SetTabOrder(-1);
    form_.FocusControl(form_.a);
    ASSERT_TRUE(form_.SelectNext(true));
    EXPECT_EQ(form_.FocusedControl(), form_.edit);
    EXPECT_EQ(::GetFocus(), form_.edit->Handle()) << "a windowed control takes the real focus";
    ASSERT_TRUE(form_.SelectNext(true));
    EXPECT_EQ(form_.FocusedControl(), form_.c);
    EXPECT_EQ(::GetFocus(), form_.Hwnd());
}

TEST_F(FormLayerTest, DialogKeysMoveTheFocusAndClick) {
    form_.Show();
    Pump(20);
    form_.FocusControl(form_.a);
    Key(form_.Hwnd(), VK_TAB);
    EXPECT_EQ(form_.FocusedControl(), form_.b);
    Key(form_.Hwnd(), VK_RETURN);
    Key(form_.Hwnd(), VK_SPACE);
    EXPECT_EQ(std::count(form_.log.begin(), form_.log.end(), "b click"), 2);
    Key(form_.Hwnd(), VK_TAB);
    EXPECT_EQ(form_.FocusedControl(), form_.edit);
    // Tab pressed inside the edit box still moves on.
    Key(form_.edit->Handle(), VK_TAB);
    EXPECT_EQ(form_.FocusedControl(), form_.c);
    // A form can keep Tab for its control.
    form_.keepTabs = true;
    Key(form_.Hwnd(), VK_TAB);
    EXPECT_EQ(form_.FocusedControl(), form_.c);
}

class ModalForm : public LoggingForm {
public:
    ModalForm() : LoggingForm(L"TFormModalTest") {}

protected:
    void FormCreate() override {
        LoggingForm::FormCreate();
        a->OnClick = [this](forms::TControl&) { SetModalResult(IDOK); };
    }
};

TEST_F(FormLayerTest, AModalFormDisablesTheOthersAndReturnsItsResult) {
    form_.Show();
    ModalForm modal;
    ASSERT_TRUE(modal.CreateForm(form_.Hwnd()));
    bool ownerDisabledDuringLoop = false;
    form_.SetTimer(1, 30, [&] {
        ownerDisabledDuringLoop = !::IsWindowEnabled(form_.Hwnd());
        ::PostMessageW(modal.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
        ::PostMessageW(modal.Hwnd(), WM_LBUTTONUP, 0, At(15, 15));
        form_.KillTimer(1);
    });
    EXPECT_EQ(modal.ShowModal(), IDOK);
    EXPECT_TRUE(ownerDisabledDuringLoop);
    EXPECT_TRUE(::IsWindowEnabled(form_.Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(modal.Hwnd()));
    EXPECT_TRUE(modal.IsWindow()) << "the caller decides when the form goes";

    // Closing and Escape end the loop with IDCANCEL.
    form_.SetTimer(1, 30, [&] {
        ::PostMessageW(modal.Hwnd(), WM_CLOSE, 0, 0);
        form_.KillTimer(1);
    });
    EXPECT_EQ(modal.ShowModal(), IDCANCEL);
    form_.SetTimer(1, 30, [&] {
        ::PostMessageW(modal.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
        form_.KillTimer(1);
    });
    EXPECT_EQ(modal.ShowModal(), IDCANCEL);

    // A quit message ends the loop and is passed on to the outer loop.
    form_.SetTimer(1, 30, [&] {
        ::PostQuitMessage(5);
        form_.KillTimer(1);
    });
    EXPECT_EQ(modal.ShowModal(), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST(ApplicationWindowTest, OwnsTheTaskbarButtonAndEndsTheLoopWithTheMainForm) {
    forms::TApplicationWindow& app = forms::Application();
    ASSERT_TRUE(app.Initialize(L"ZubVynmar - 设置"));
    EXPECT_EQ(app.Title(), L"ZubVynmar - 设置");
    wchar_t text[64] = {};
    ::GetWindowTextW(app.Hwnd(), text, 64);
    EXPECT_STREQ(text, L"ZubVynmar - 设置");
    const LONG exStyle = ::GetWindowLongW(app.Hwnd(), GWL_EXSTYLE);
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(::GetWindow(app.Hwnd(), GW_OWNER), nullptr);

    LoggingForm form(L"TFormMainTest");
    app.SetMainForm(&form);
    ASSERT_TRUE(form.CreateForm(app.Hwnd()));
    EXPECT_EQ(::GetWindow(form.Hwnd(), GW_OWNER), app.Hwnd()) << "the form keeps out of the taskbar";
    app.ShowButton();
    form.Show();
    EXPECT_TRUE(::IsWindowVisible(app.Hwnd()));
    // Closing the application window closes the main form, which ends the loop.
    form.SetTimer(1, 30, [&] { ::PostMessageW(app.Hwnd(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(form.IsWindow());
    app.SetMainForm(nullptr);
}

}  // namespace
