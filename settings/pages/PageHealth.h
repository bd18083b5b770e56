// The health page of the settings window (page 5, "健康护士"): two tabs,
// each a sub-page. The eye sub-page holds the rest panel, the eye-protection
// colour panel, the eye exercise button and the display user modes; the
// neck sub-page the rest panel and the neck exercise button. Each panel is
// a class of its own; this holds them, the tabs and the exercise buttons.
//
// The page lives on the settings window, seen as its TPageHost, and writes
// through it, so every write of Corvalle.ini is followed by the message that
// announces it.
#pragma once

#include <windows.h>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/TabButton.h"
#include "settings/pages/DisplayModePanel.h"
#include "settings/pages/EyeColorPanel.h"
#include "settings/pages/HealthRestPanel.h"

namespace settings {

class TPageHost;

// Sub-pages of the health page.
enum THealthSubPage : int { kSubPageNone = 0, kSubPageEye = 1, kSubPageNeck = 2 };

class TPageHealth {
public:
    TPageHealth(TPageHost& form, THealthPageHooks hooks);
    ~TPageHealth();
    TPageHealth(const TPageHealth&) = delete;
    TPageHealth& operator=(const TPageHealth&) = delete;

    // Creates the controls and skins them (hidden until a sub-page shows).
    void Build();
    // After loading: the rest and colour panels as the file and the system
    // say, the current display mode, and the eye sub-page.
    void Open();
    // Draws the page's ground and title picture; false before it is loaded.
    bool PaintBackground(HDC dc, const RECT& client);

    void ShowSubPage(int subPage);
    int SubPage() const { return subPage_; }

    // The handlers of the page.
    void ToggleRestReminder() { rest_.ToggleRestReminder(); }
    void lblSettingClick() { rest_.lblSettingClick(); }
    bool InEditMode() const { return rest_.InEditMode(); }
    void ToggleEyeColor() { color_.ToggleEyeColor(); }
    bool SetEyeColor(bool on) { return color_.SetEyeColor(on); }
    void PlayEyeExercise();
    void PlayNeckExercise();
    void SelectDisplayMode(int mode) { modes_.SelectDisplayMode(mode); }
    void ShowModeInfo(const TUserModeInfo& mode) { modes_.ShowModeInfo(mode); }
    std::wstring ModeCaption(int kind) const { return modes_.ModeCaption(kind); }
    TSystemControl& SystemControl() { return modes_.SystemControl(); }

    // The controls, for tests.
    TTabButton* EyeTab() const { return eyeTab_; }
    TTabButton* NeckTab() const { return neckTab_; }
    TTabButton* ModeTab(int kind) const { return modes_.ModeTab(kind); }
    TButtonImage* RestSwitch() const { return rest_.Switch(); }
    TButtonImage* ColorSwitch() const { return color_.Switch(); }
    TButtonImage* EyeExerciseButton() const { return eyeExercise_; }
    TButtonImage* NeckExerciseButton() const { return neckExercise_; }
    TColorLabel* SettingLink() const { return rest_.SettingLink(); }
    TColorLabel* IntervalLine() const { return rest_.IntervalLine(); }
    TColorLabel* RestTimeLine() const { return rest_.RestTimeLine(); }
    TColorLabel* ColorTitle() const { return color_.Title(); }
    TColorLabel* StatusLine() const { return modes_.StatusLine(); }
    TColorLabel* InfoLine(int row) const { return modes_.InfoLine(row); }
    TColorLabel* DescriptionLine(int row) const { return modes_.DescriptionLine(row); }
    TNumberEdit* IntervalBox() const { return rest_.IntervalBox(); }
    TNumberEdit* RestTimeBox() const { return rest_.RestTimeBox(); }
    TGraphicTime* NextRestClock() const { return rest_.NextRestClock(); }
    TGraphicPanel* RestPanel() const { return rest_.Panel(); }
    TGraphicPanel* ColorPanel() const { return color_.Panel(); }

private:
    void LoadSkin();

    TPageHost& form_;
    const THealthPageHooks hooks_;
    THealthRestPanel rest_;
    TEyeColorPanel color_;
    TDisplayModePanel modes_;
    int subPage_ = kSubPageNone;

    TQRGBA background_, title_;
    TTabButton* eyeTab_ = nullptr;
    TTabButton* neckTab_ = nullptr;
    TGraphicPanel* eyeHint_ = nullptr;
    TGraphicPanel* neckHint_ = nullptr;
    TButtonImage* eyeExercise_ = nullptr;
    TButtonImage* neckExercise_ = nullptr;
    TButtonImage* spareNeckExercise_ = nullptr;
};

}  // namespace settings
