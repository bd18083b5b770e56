// A handler that throws must not end the program: the window and dialog
// procedures stop the exception and answer as if the message was unhandled.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "winlib/dialog.h"
#include "winlib/window.h"

namespace {

constexpr UINT kThrow = WM_APP + 7;
constexpr UINT kAnswer = WM_APP + 8;

class ThrowingWindow : public winlib::Window {
public:
    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(kThrow, OnThrow)
        WL_MESSAGE_HANDLER(kAnswer, OnAnswer)
    WL_END_MSG_MAP()

private:
    LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }
    LRESULT OnAnswer(UINT, WPARAM, LPARAM, BOOL&) { return 42; }
};

class ThrowingDialog : public winlib::Dialog {
public:
    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(kThrow, OnThrow)
        WL_MESSAGE_HANDLER(kAnswer, OnAnswer)
    WL_END_MSG_MAP()

protected:
    winlib::DialogTemplate GetTemplate() const override { return winlib::DialogTemplate(); }

private:
    LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }
    LRESULT OnAnswer(UINT, WPARAM, LPARAM, BOOL&) { return 42; }
};

TEST(ExceptionBarrierTest, AThrowingHandlerDoesNotEndTheProgram) {
    ThrowingWindow window;
    ASSERT_TRUE(window.Create(L"ExceptionBarrierTestWindow", HWND_MESSAGE, nullptr, L"", 0, 0));
    EXPECT_EQ(::SendMessageW(window.Hwnd(), kThrow, 0, 0), 0) << "answered as unhandled";
    EXPECT_EQ(::SendMessageW(window.Hwnd(), kAnswer, 0, 0), 42) << "the window goes on";

    ThrowingDialog dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    EXPECT_EQ(::SendMessageW(dialog.Hwnd(), kThrow, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(dialog.Hwnd(), kAnswer, 0, 0), 42);
    dialog.DestroyWindow();
    window.DestroyWindow();
}

}  // namespace
