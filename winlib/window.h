// A C++ object that owns one window. The object is bound to its HWND inside
// WM_NCCREATE, so every message from the first on reaches the message map,
// including those sent while CreateWindowEx is still running.
#pragma once

#include <windows.h>

#include "winlib/message_map.h"

namespace winlib {

struct WindowClassOptions {
    UINT style = CS_DBLCLKS;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;  // null: the arrow
    HBRUSH background = nullptr;
};

class Window : public MessageMap {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Registers `className` (once per process) and creates the window.
    // Returns null when registration or creation fails.
    HWND Create(const wchar_t* className, HWND parent, const RECT* rect, const wchar_t* title,
                DWORD style, DWORD exStyle, HMENU menuOrId = nullptr,
                const WindowClassOptions& options = WindowClassOptions());

    HWND Hwnd() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }
    BOOL DestroyWindow();

    BOOL ShowWindow(int cmd) const { return ::ShowWindow(hwnd_, cmd); }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(hwnd_, msg, wParam, lParam);
    }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(hwnd_, msg, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(hwnd_, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(hwnd_, id); }
    RECT WindowRect() const;
    RECT ClientRect() const;

    // The object that owns `hwnd`, or null when it is not one of ours.
    static Window* FromHandle(HWND hwnd);

protected:
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) const {
        return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
    // Called after WM_NCDESTROY, when the object no longer has a window.
    virtual void OnFinalMessage(HWND) {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace winlib
