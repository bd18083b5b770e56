#include "companion/ui/showing_dialogs.h"

#include <memory>

#include "base/module_path.h"
#include "companion/system/autorun.h"
#include "companion/system/desktop_shortcut.h"
#include "companion/ui/eye_protection.h"
#include "companion/ui/full_screen_dialog.h"
#include "companion/ui/neck_health.h"
#include "companion/ui/pre_shutdown_dialog.h"
#include "companion/ui/vyn_choose_box.h"

namespace companion {

namespace {

// Clears a flag when the scope ends, however it ends.
class OpenFlag {
public:
    explicit OpenFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~OpenFlag() { flag_ = false; }
    OpenFlag(const OpenFlag&) = delete;
    OpenFlag& operator=(const OpenFlag&) = delete;

private:
    bool& flag_;
};

class SystemDialogs : public IShowingDialogs {
public:
    INT_PTR RunCountdown(CountdownMode mode) override {
        CPreShutdownDialog dialog(mode);
        return dialog.Run(::GetDesktopWindow());
    }

    bool RunFullScreenRest(int restMinutes, void (*beforeShow)(void*), void* context) override {
        std::unique_ptr<toolkit::CBexBitmap> background;
        if (MakeRestBackground(background) != 0 && MakeWhiteBackground(background) != 0) return false;
        if (beforeShow) beforeShow(context);
        CFullScreenDialog dialog(background.get(), restMinutes);
        dialog.Run(::GetDesktopWindow());
        return true;
    }

    // The main window may be asked again while a dialog's own modal loop
    // runs; a second copy of the same exercise is not opened.
    void RunNeckExercise() override {
        if (neckOpen_) return;
        OpenFlag open(neckOpen_);
        CNeckHealth dialog;
        dialog.Run(::GetDesktopWindow());
    }

    void RunEyeExercise() override {
        if (eyeOpen_) return;
        OpenFlag open(eyeOpen_);
        CEyeProtection dialog;
        dialog.Run(::GetDesktopWindow());
    }

    void RunFirstRunChooser(HWND mainWindow) override {
        if (mainWindow) ::ShowWindow(mainWindow, SW_HIDE);
        CVynChooseBox chooser;
        if (chooser.Run(::GetDesktopWindow()) != IDOK) return;
        if (chooser.AutorunChecked()) EnsureAutorun();
        if (chooser.ShortcutChecked()) {
            const std::wstring exe = base::ModuleFilePath();
            const std::wstring shortcut = DesktopShortcutPath();
            ShellLinkCreate(exe.c_str(), shortcut.c_str());
        }
    }

private:
    bool neckOpen_ = false;
    bool eyeOpen_ = false;
};

}  // namespace

IShowingDialogs& SystemShowingDialogs() {
    static SystemDialogs dialogs;
    return dialogs;
}

}  // namespace companion
