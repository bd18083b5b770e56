// The little picture that points at the mascot on the very first start.
#pragma once

#include <windows.h>

#include "toolkit/bex_wnd_manager.h"
#include "winlib/window.h"

namespace companion {

class CFirstTipWnd : public winlib::Window, public toolkit::CBexWndManager {
public:
    bool Create(HWND owner);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw();
};

}  // namespace companion
