// The window layer's own promises, each on real windows of this thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/window_text.h"
#include "winlib/app_module.h"
#include "winlib/dialog.h"
#include "winlib/subclass.h"
#include "winlib/window.h"

namespace {

class LoggingWindow : public winlib::Window {
public:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT&) override {
        log.push_back(msg);
        boundAtFirstMessage = boundAtFirstMessage || (log.size() == 1 && Hwnd() == hwnd);
        if (msg == WM_APP) ++appMessages;
        return FALSE;
    }
    std::vector<UINT> log;
    bool boundAtFirstMessage = false;
    int appMessages = 0;
    HWND finalHwnd = nullptr;
    bool finalAfterNcDestroy = false;

protected:
    void OnFinalMessage(HWND hwnd) override {
        finalHwnd = hwnd;
        finalAfterNcDestroy = !log.empty() && log.back() == WM_NCDESTROY && Hwnd() == nullptr;
    }
};

size_t IndexOf(const std::vector<UINT>& log, UINT msg) {
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i] == msg) return i;
    return log.size();
}

TEST(WinlibWindowTest, IsBoundAtNcCreateSoEarlyMessagesReachIt) {
    LoggingWindow window;
    HWND hwnd = window.Create(L"WinlibTestWindow", nullptr, nullptr, L"", WS_POPUP, 0);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(window.boundAtFirstMessage);
    EXPECT_EQ(IndexOf(window.log, WM_NCCREATE), 0u);
    EXPECT_LT(IndexOf(window.log, WM_NCCREATE), IndexOf(window.log, WM_CREATE));
    EXPECT_LT(IndexOf(window.log, WM_CREATE), window.log.size());
    EXPECT_EQ(winlib::Window::FromHandle(hwnd), &window);
}

TEST(WinlibWindowTest, OnFinalMessageComesAfterNcDestroyWithoutAWindow) {
    LoggingWindow window;
    HWND hwnd = window.Create(L"WinlibTestWindow", nullptr, nullptr, L"", WS_POPUP, 0);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.finalHwnd, hwnd);
    EXPECT_TRUE(window.finalAfterNcDestroy);
    EXPECT_FALSE(window.IsWindow());
    EXPECT_EQ(winlib::Window::FromHandle(hwnd), nullptr);
}

// Ends itself with a given result once it runs its own loop.
class ResultDialog : public winlib::Dialog {
public:
    explicit ResultDialog(INT_PTR result) : result_(result) {}
    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
        WL_MESSAGE_HANDLER(WM_APP, OnEnd)
    WL_END_MSG_MAP()
    std::wstring title = L"Winlib test dialog";

protected:
    winlib::DialogTemplate GetTemplate() const override {
        winlib::DialogTemplate t;
        t.style |= DS_SETFONT;
        t.title = title;
        return t;
    }

private:
    LRESULT OnInit(UINT, WPARAM, LPARAM, BOOL&) {
        ::PostMessageW(Hwnd(), WM_APP, 0, 0);
        return TRUE;
    }
    LRESULT OnEnd(UINT, WPARAM, LPARAM, BOOL&) {
        EndDialog(result_);
        return 0;
    }
    INT_PTR result_;
};

TEST(WinlibDialogTest, TheModalCallReturnsWhatEndDialogWasGiven) {
    for (INT_PTR result : {INT_PTR{IDOK}, INT_PTR{IDCANCEL}, INT_PTR{0}, INT_PTR{4711}}) {
        ResultDialog dialog(result);
        EXPECT_EQ(dialog.DoModal(nullptr), result);
        EXPECT_EQ(dialog.Hwnd(), nullptr);
    }
}

TEST(WinlibDialogTest, TheTemplateInMemoryMakesTheFrameItDescribes) {
    winlib::DialogTemplate t;
    t.title = L"Ab";
    const std::vector<WORD> plain = t.Build();
    ASSERT_GE(plain.size(), 12u);
    EXPECT_EQ(plain.size() % 2, 0u) << "DWORD aligned";
    EXPECT_EQ(MAKELONG(plain[0], plain[1]), static_cast<LONG>(t.style));
    EXPECT_EQ(plain[4], 0) << "no items";
    EXPECT_EQ(plain[7], 200);
    EXPECT_EQ(plain[8], 100);
    EXPECT_EQ(std::wstring(plain.begin() + 11, plain.begin() + 13), L"Ab");

    ResultDialog dialog(IDOK);
    dialog.title = L"Built in memory";
    HWND hwnd = dialog.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    wchar_t text[64] = {};
    ::GetWindowTextW(hwnd, text, 64);
    EXPECT_STREQ(text, L"Built in memory");
    EXPECT_TRUE(::GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION);
    // A modeless dialog ends by being destroyed.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !::IsWindow(hwnd); }));
    EXPECT_EQ(dialog.Hwnd(), nullptr);
}

// Counts messages to the test window; may swallow them or leave the loop.
class CountingFilter : public winlib::IMessageFilter {
public:
    CountingFilter(winlib::MessageLoop& loop, bool removeOnFirst, bool swallow)
        : loop_(loop), removeOnFirst_(removeOnFirst), swallow_(swallow) {}
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_APP) return false;
        ++seen;
        if (removeOnFirst_) loop_.RemoveFilter(this);
        return swallow_;
    }
    int seen = 0;

private:
    winlib::MessageLoop& loop_;
    bool removeOnFirst_, swallow_;
};

TEST(WinlibMessageLoopTest, AFilterThatRemovesItselfLeavesTheOthersTheirTurn) {
    LoggingWindow window;
    ASSERT_NE(window.Create(L"WinlibTestWindow", nullptr, nullptr, L"", WS_POPUP, 0), nullptr);
    winlib::MessageLoop loop;
    CountingFilter leaving(loop, true, false), staying(loop, false, false);
    loop.AddFilter(&leaving);
    loop.AddFilter(&staying);
    for (int i = 0; i < 3; ++i) window.PostMessage(WM_APP);
    ::PostQuitMessage(7);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(leaving.seen, 1);
    EXPECT_EQ(staying.seen, 3);
    EXPECT_EQ(window.appMessages, 3);

    CountingFilter swallowing(loop, false, true);
    loop.AddFilter(&swallowing);
    window.PostMessage(WM_APP);
    ::PostQuitMessage(0);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_EQ(swallowing.seen, 1);
    EXPECT_EQ(window.appMessages, 3) << "a swallowed message is not dispatched";
}

// ---------------------------------------------------------------- subclass

HWND MakeStatic() {
    return ::CreateWindowExW(0, L"STATIC", L"before", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

TEST(WinlibSubclassTest, ForwardsToItsHandlerAndPassesTheRestOn) {
    HWND hwnd = MakeStatic();
    ASSERT_NE(hwnd, nullptr);
    std::vector<UINT> seen;
    {
        winlib::Subclass subclass;
        ASSERT_TRUE(subclass.Install(hwnd, [&](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
            seen.push_back(msg);
            if (msg == WM_APP) return 42;
            if (msg == WM_APP + 1) throw std::runtime_error("handler failed");
            return winlib::Subclass::Default(h, msg, w, l);
        }));
        EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 42);
        ::SetWindowTextW(hwnd, L"after");
        EXPECT_EQ(testsupport::WindowText(hwnd), L"after") << "passed on to the control";
        // The exception stops at the subclass; the window still gets the message.
        ::SendMessageW(hwnd, WM_APP + 1, 0, 0);
        EXPECT_EQ(seen.back(), static_cast<UINT>(WM_APP + 1));

        winlib::Subclass moved(std::move(subclass));
        EXPECT_FALSE(subclass.Installed());
        EXPECT_EQ(moved.Hwnd(), hwnd);
        EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 42) << "the moved owner still forwards";
    }
    seen.clear();
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 0) << "taken off with its owner";
    EXPECT_TRUE(seen.empty());
    ::DestroyWindow(hwnd);
}

TEST(WinlibSubclassTest, TakesItselfOffWhenTheWindowGoesFirst) {
    HWND hwnd = MakeStatic();
    ASSERT_NE(hwnd, nullptr);
    winlib::Subclass subclass;
    bool sawNcDestroy = false;
    ASSERT_TRUE(subclass.Install(hwnd, [&](HWND h, UINT msg, WPARAM w, LPARAM l) {
        sawNcDestroy = sawNcDestroy || msg == WM_NCDESTROY;
        return winlib::Subclass::Default(h, msg, w, l);
    }));
    EXPECT_TRUE(subclass.Installed());
    ::DestroyWindow(hwnd);
    EXPECT_TRUE(sawNcDestroy);
    EXPECT_FALSE(subclass.Installed());
    EXPECT_EQ(subclass.Hwnd(), nullptr);
    EXPECT_FALSE(subclass.Install(nullptr, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }));
}

}  // namespace
