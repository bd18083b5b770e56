// Message maps: each window class lists, in order, which messages, command ids
// and notifications go to which handler. A handler has the shape
//     LRESULT OnX(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
// and may clear `handled` to let the next entry (or the default procedure)
// have the message.
#pragma once

#include <windows.h>

namespace winlib {

// Anything that can take part in message routing: windows, dialogs, and the
// mix-ins that a window chains to.
class MessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;

protected:
    ~MessageMap() = default;
};

}  // namespace winlib

#define WL_BEGIN_MSG_MAP()                                                                  \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,           \
                              LRESULT& lResult) override {                                  \
        BOOL bHandled = TRUE;                                                               \
        (void)hWnd;                                                                         \
        (void)bHandled;

// The same table under another name, for a class that puts steps of its own
// in front of the table in its ProcessWindowMessage.
#define WL_BEGIN_MSG_MAP_NAMED(name)                                                        \
    BOOL name(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {       \
        BOOL bHandled = TRUE;                                                               \
        (void)hWnd;                                                                         \
        (void)bHandled;

#define WL_MESSAGE_HANDLER(msg, func)                   \
    if (uMsg == (msg)) {                                \
        bHandled = TRUE;                                \
        lResult = func(uMsg, wParam, lParam, bHandled); \
        if (bHandled) return TRUE;                      \
    }

#define WL_MESSAGE_RANGE_HANDLER(first, last, func)     \
    if (uMsg >= (first) && uMsg <= (last)) {            \
        bHandled = TRUE;                                \
        lResult = func(uMsg, wParam, lParam, bHandled); \
        if (bHandled) return TRUE;                      \
    }

// Command handlers: LRESULT OnCmd(WORD notifyCode, WORD id, HWND ctl, BOOL& handled).
#define WL_COMMAND_ID_HANDLER(id, func)                                                      \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                      \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return TRUE;                                                           \
    }

#define WL_COMMAND_RANGE_HANDLER(first, last, func)                                          \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) {       \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return TRUE;                                                           \
    }

// Hands the message to a base class (called non-virtually).
#define WL_CHAIN_MSG_MAP(BaseClass) \
    if (BaseClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define WL_END_MSG_MAP() \
    return FALSE;        \
    }
