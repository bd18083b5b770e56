// The rest panel of the health page, on both of its sub-pages: the next
// rest, the switch of the timed rest, its interval and rest time, and the
// edit mode in which the two numbers are typed.
#pragma once

#include <string>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/GraphicTime.h"
#include "settings/controls/SkinUtils.h"
#include "settings/pages/NumberEdit.h"

namespace settings {

class TPageHost;

constexpr int kMaxRestInterval = 720;
constexpr int kMaxRestTime = 240;
constexpr int kDefaultRestInterval = 120;
constexpr int kDefaultRestTime = 5;

// The verdict on the two number boxes of the rest panel.
struct TRestCheck {
    bool Ok = false;
    int Interval = 0;
    int RestTime = 0;
    std::wstring Message;     // told to the user when refused
    int Box = 0;              // the refused box: 0 interval, 1 rest time
    std::wstring Correction;  // put into the refused box (empty: left as typed)
};
TRestCheck CheckRestValues(const std::wstring& interval, const std::wstring& restTime);

class THealthRestPanel {
public:
    explicit THealthRestPanel(TPageHost& form);

    void Build();
    void AddSkinTargets(TSkinTargets& targets);
    // After the skin: the pictures decide the size of what shows them.
    void FitPictures();
    void Show(bool shown);
    // The switch, the numbers and the link as the settings say.
    void UpdateDisplay();

    // The switch: flips the timed rest.
    void ToggleRestReminder();
    // The link: enters the edit mode, or saves and leaves it.
    void lblSettingClick();
    bool InEditMode() const { return editMode_; }
    void LeaveEditMode();
    // Run on, then interval and rest time: codes 2 and 6. False (told) when
    // a write failed.
    bool TurnRestOn(int interval, int restTime);
    bool TurnRestOff();

    TGraphicPanel* Panel() const { return panel_; }
    TButtonImage* Switch() const { return switch_; }
    TColorLabel* SettingLink() const { return settingLink_; }
    TColorLabel* IntervalLine() const { return intervalLine_; }
    TColorLabel* RestTimeLine() const { return restTimeLine_; }
    TNumberEdit* IntervalBox() const { return intervalBox_; }
    TNumberEdit* RestTimeBox() const { return restTimeBox_; }
    TGraphicTime* NextRestClock() const { return nextRest_; }

private:
    void SetEditMode(bool on);
    bool SaveEdited();
    void BoxExit(TNumberEdit& box, const TNumberEdit& other, HWND to, const wchar_t* refusal);
    void AttachExits(bool attached);

    TPageHost& form_;
    bool shown_ = false;
    bool editMode_ = false;
    TGraphicPanel* panel_ = nullptr;
    TColorLabel* heading_ = nullptr;
    TGraphicTime* nextRest_ = nullptr;
    TButtonImage* switch_ = nullptr;
    TColorLabel* intervalLine_ = nullptr;
    TColorLabel* restTimeLine_ = nullptr;
    TGraphicPanel* setupIcon_ = nullptr;
    TColorLabel* settingLink_ = nullptr;
    TColorLabel* editWords_[4] = {};
    TNumberEdit* intervalBox_ = nullptr;
    TNumberEdit* restTimeBox_ = nullptr;
};

}  // namespace settings
