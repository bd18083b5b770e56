// The notification-area icon, which exists only while the user has hidden
// the mascot. A mix-in of the main window: its hook sees every message first.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <utility>

#include "base/handles.h"
#include "protocol/window_messages.h"

namespace companion {

// The shell's notification area, a seam so tests can record the calls.
class ITrayShell {
public:
    virtual bool Notify(DWORD message, NOTIFYICONDATAW* data) = 0;

protected:
    ~ITrayShell() = default;
};
ITrayShell& SystemTrayShell();

// The tip as the shells of every supported system show it: 63 characters
// and the terminator; a longer text is cut there.
constexpr size_t kTrayTipCapacity = 64;
void SetTrayTip(NOTIFYICONDATAW& data, const std::wstring& text);

// What the icon's tip shows once the pointer has rested on it.
constexpr wchar_t kTrayTipText[] = L"ZubVynmar";

class CTrayIconBase {
public:
    explicit CTrayIconBase(ITrayShell& shell, std::wstring tipText = kTrayTipText);
    ~CTrayIconBase();
    CTrayIconBase(const CTrayIconBase&) = delete;
    CTrayIconBase& operator=(const CTrayIconBase&) = delete;

    // Adds the icon; a new icon replaces the held one.
    void AddIcon(HWND owner, base::Icon icon = base::Icon());
    void SetTipText();
    void ShowBalloon();
    void RemoveIcon();
    bool Added() const { return added_; }

protected:
    UINT restartMessage_ = 0;    // the product's own "add the icon again"
    UINT taskbarCreated_ = 0;    // the shell's, after it restarted

private:
    void Fill(UINT flags);

    ITrayShell& shell_;
    const std::wstring tipText_;
    NOTIFYICONDATAW data_{};
    base::Icon icon_;
    HWND owner_ = nullptr;
    std::wstring tip_;
    bool added_ = false;
};

// T provides: void ShowTrayMenu(); void OnTrayClick(); (the main window).
template <typename T>
class CNBTray : public CTrayIconBase {
public:
    explicit CNBTray(ITrayShell& shell, std::wstring tipText = kTrayTipText)
        : CTrayIconBase(shell, std::move(tipText)) {}

    // Called first for every message of the main window.
    BOOL ProcessTrayMessage(HWND hwnd, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
        if ((restartMessage_ && msg == restartMessage_) || (taskbarCreated_ && msg == taskbarCreated_)) {
            // The shell lost its icons; put ours back.
            if (msg == restartMessage_ || Added()) AddIcon(hwnd);
            result = 0;
            return TRUE;
        }
        if (msg == WM_DESTROY) {
            RemoveIcon();
            return FALSE;
        }
        if (msg == WM_TRAY_NOTIFY) {
            T* self = static_cast<T*>(this);
            switch (static_cast<UINT>(lParam)) {
            case WM_RBUTTONUP:
                self->ShowTrayMenu();
                break;
            case WM_LBUTTONUP:
                self->OnTrayClick();
                break;
            case WM_MOUSEMOVE:
                SetTipText();
                break;
            default:
                break;
            }
            result = 1;
            return TRUE;
        }
        return FALSE;
    }
};

}  // namespace companion
