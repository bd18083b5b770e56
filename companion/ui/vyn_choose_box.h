// The first-run chooser: a message box that asks whether the companion
// should start with Windows and put a shortcut on the desktop. The caller
// reads the two boxes after the dialog has ended.
#pragma once

#include <windows.h>

#include "toolkit/bex_message_box.h"

namespace companion {

class CVynChooseBox : public toolkit::CBexMessageBox {
public:
    enum : UINT { kIdAutorun = 1001, kIdShortcut = 1002 };

    CVynChooseBox();

    bool AutorunChecked() const { return autorun_.GetCheck() != 0; }
    bool ShortcutChecked() const { return shortcut_.GetCheck() != 0; }
    toolkit::CBexCheckBox& AutorunBox() { return autorun_; }
    toolkit::CBexCheckBox& ShortcutBox() { return shortcut_; }

    void DrawBackground(HDC dc, const RECT* rect) override;

protected:
    void OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    toolkit::CBexCheckBox autorun_;
    toolkit::CBexCheckBox shortcut_;
};

}  // namespace companion
