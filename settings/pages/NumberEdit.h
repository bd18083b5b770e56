// A three-digit number box of the health page that reports Enter and the
// focus leaving it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "protocol/window_messages.h"
#include "settings/forms/control.h"
#include "winlib/subclass.h"

namespace settings {

class TNumberEdit : public forms::TWindowedControl {
public:
    TNumberEdit();
    ~TNumberEdit() override;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    void SetFocus();
    std::function<void()> OnEnter;
    // The focus went to `to`; reported after the change is complete.
    std::function<void(HWND to)> OnExit;
    bool ExitAttached = true;

protected:
    void Attached() override;

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static constexpr UINT kExitMessage = protocol::WM_HEALTH_PAGE_EXIT;
    static constexpr int kMaxDigits = 3;
    winlib::Subclass subclass_;
};

}  // namespace settings
