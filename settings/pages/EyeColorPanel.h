// The eye-protection colour panel of the health page's eye sub-page: its
// title, two lines and the switch that turns the window colour green.
#pragma once

#include "settings/controls/ButtonImage.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/SkinUtils.h"

namespace settings {

class TPageHost;

class TEyeColorPanel {
public:
    explicit TEyeColorPanel(TPageHost& form);

    void Build();
    void AddSkinTargets(TSkinTargets& targets);
    void Show(bool shown);
    // The switch and the title as the system colour says.
    void UpdateDisplay();

    void ToggleEyeColor();
    // Puts the colour into the state asked for; nothing but a repaint when
    // the green is on and on is asked. False when the flag could not be
    // written (the user was told, nothing changed).
    bool SetEyeColor(bool on);

    TGraphicPanel* Panel() const { return panel_; }
    TButtonImage* Switch() const { return switch_; }
    TColorLabel* Title() const { return title_; }

private:
    void ShowState(bool on);

    TPageHost& form_;
    TGraphicPanel* panel_ = nullptr;
    TColorLabel* title_ = nullptr;
    TButtonImage* switch_ = nullptr;
    TColorLabel* lines_[2] = {};
};

}  // namespace settings
