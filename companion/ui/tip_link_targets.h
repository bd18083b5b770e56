// The windows a tip's link reports to: the mascot's window gets posted
// messages, the tip's text window gets the replacement text.
#pragma once

#include <windows.h>

#include "companion/actions/link_targets.h"

namespace companion {

class CTipLinkTargets : public ILinkTargets {
public:
    CTipLinkTargets(HWND mainWindow, HWND tipTextWindow) : main_(mainWindow), tipText_(tipTextWindow) {}

    void PostToMainWindow(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ReplaceShownTipText(const wchar_t* text) override;

private:
    HWND main_;
    HWND tipText_;
};

}  // namespace companion
