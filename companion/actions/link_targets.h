// Where the link behaviours of the tips report: the main window and the tip
// on the screen. The window side implements it and hands it to every click,
// so that the actions need not know which windows those are.
#pragma once

#include <windows.h>

namespace companion {

class ILinkTargets {
public:
    // Posts `msg` to the main window; it acts once the click has returned.
    virtual void PostToMainWindow(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // Replaces the text of the tip on the screen.
    virtual void ReplaceShownTipText(const wchar_t* text) = 0;

protected:
    ~ILinkTargets() = default;
};

}  // namespace companion
