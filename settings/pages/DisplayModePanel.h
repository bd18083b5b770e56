// The display user modes on the health page's eye sub-page: the three mode
// tabs, the data of the mode pointed at or chosen, and the mode switch with
// its confirmation boxes and the companion settings each mode brings.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "settings/controls/ColorLabel.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/SkinUtils.h"
#include "settings/controls/TabButton.h"
#include "settings/display/DisplayApi.h"
#include "settings/display/SystemControl.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/FrmConfirmMode.h"

namespace settings {

class TPageHost;
class THealthRestPanel;
class TEyeColorPanel;

// What the page does to the machine besides the settings file. Null members
// take the real display and the real session; tests put recording fakes in.
struct THealthPageHooks {
    IDisplayApi* Display = nullptr;
    base::IPower* Shutdown = nullptr;
    // Runs inside each confirmation box once it is on screen.
    std::function<void(TFormConfirmMode&)> OnConfirmShown;
};

// The texts of the two confirmation boxes of a mode change. `previous` is
// the mode chosen so far, `restart` picks the restart texts over the log-off
// ones.
TConfirmInfo FirstConfirmInfo(const std::wstring& name, int previous, bool restart, bool vistaOrLater);
TConfirmInfo SecondConfirmInfo(const std::wstring& name, int mode, bool restart);

class TDisplayModePanel {
public:
    TDisplayModePanel(TPageHost& form, const THealthPageHooks& hooks, THealthRestPanel& rest, TEyeColorPanel& color);
    ~TDisplayModePanel();

    // Creates the display-mode controller, then the controls.
    void Build();
    void AddSkinTargets(TSkinTargets& targets);
    // After the skin: the pictures decide the size of what shows them.
    void FitPictures();
    void Show(bool shown);
    // The tab and the data of the mode chosen so far.
    void ShowSelected();

    void SelectDisplayMode(int mode);
    void ShowModeInfo(const TUserModeInfo& mode);
    // The caption of the tab of a mode kind ("" for none).
    std::wstring ModeCaption(int kind) const;

    TSystemControl& SystemControl() { return *system_; }
    TTabButton* ModeTab(int kind) const { return kind >= 0 && kind < kTabs ? tabs_[kind] : nullptr; }
    TColorLabel* StatusLine() const { return status_; }
    TColorLabel* InfoLine(int row) const { return row >= 0 && row < kInfoRows ? info_[row] : nullptr; }
    TColorLabel* DescriptionLine(int row) const { return row >= 0 && row < 2 ? description_[row] : nullptr; }

private:
    static constexpr int kTabs = 3;
    static constexpr int kInfoRows = 3;  // resolution, refresh rate, text size

    struct Snapshot {
        bool Run;
        int Interval;
        int RestTime;
        bool Green;
    };

    // The companion settings that go with a mode; failures are told and
    // the switch goes on.
    void ApplyCompanionSettings(int mode);
    void RestoreCompanionSettings(const Snapshot& before, bool greenNow);
    bool Confirm(const TConfirmInfo& info);
    void SelectModeTab(int kind);
    void ShowSelectedModeInfo();

    TPageHost& form_;
    const THealthPageHooks& hooks_;
    THealthRestPanel& rest_;
    TEyeColorPanel& color_;
    std::unique_ptr<TSystemControl> system_;
    TQRGBAList standardMode_, standardModeGray_;
    TTabButton* tabs_[kTabs] = {};
    TColorLabel* status_ = nullptr;
    TGraphicPanel* lines_[2] = {};
    TGraphicPanel* icons_[kInfoRows] = {};
    TColorLabel* info_[kInfoRows] = {};
    TColorLabel* description_[2] = {};
};

}  // namespace settings
