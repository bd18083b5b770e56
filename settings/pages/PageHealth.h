// The health page of the settings window (page 5, "健康护士"): the timed
// rest with its interval and rest time, the eye-protection window colour,
// the two exercise buttons that make Corvalle play its exercises, and the
// display user modes with their confirmation boxes.
//
// The page lives on the settings window, seen as its TPageHost, and writes
// through it, so every write of Corvalle.ini is followed by the message that
// announces it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "protocol/window_messages.h"
#include "settings/controls/ButtonImage.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/GraphicTime.h"
#include "settings/controls/TabButton.h"
#include "settings/display/DisplayApi.h"
#include "settings/display/SystemControl.h"
#include "settings/forms/control.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/FrmConfirmMode.h"
#include "winlib/subclass.h"

class TPageHost;

// What the page does to the machine besides the settings file. Null members
// take the real display and the real session; tests put recording fakes in.
struct THealthPageHooks {
    DisplayApi* Display = nullptr;
    ShutdownApi* Shutdown = nullptr;
    // Runs inside each confirmation box once it is on screen.
    std::function<void(TFormConfirmMode&)> OnConfirmShown;
};

// Sub-pages of the health page.
enum THealthSubPage : int { kSubPageNone = 0, kSubPageEye = 1, kSubPageNeck = 2 };

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

// The texts of the two confirmation boxes of a mode change. `previous` is
// the mode chosen so far, `restart` picks the restart texts over the log-off
// ones.
TConfirmInfo FirstConfirmInfo(const std::wstring& name, int previous, bool restart, bool vistaOrLater);
TConfirmInfo SecondConfirmInfo(const std::wstring& name, int mode, bool restart);

// A three-digit number box that reports Enter and the focus leaving it.
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
    winlib::Subclass subclass_;
};

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
    void ToggleRestReminder();
    void ToggleEyeColor();
    // Puts the colour into the state asked for; nothing but a repaint when
    // the green is on and on is asked. False when the flag could not be
    // written (the user was told, nothing changed).
    bool SetEyeColor(bool on);
    void PlayEyeExercise();
    void PlayNeckExercise();
    void SelectDisplayMode(int mode);
    void ShowModeInfo(const TUserModeInfo& mode);
    void lblSettingClick();
    bool InEditMode() const { return editMode_; }

    // The caption of the tab of a mode kind ("" for none).
    std::wstring ModeCaption(int kind) const;
    TSystemControl& SystemControl() { return *system_; }

    // The controls, for the window's own layout and for tests.
    TTabButton* EyeTab() const { return eyeTab_; }
    TTabButton* NeckTab() const { return neckTab_; }
    TTabButton* ModeTab(int kind) const { return kind >= 0 && kind < 3 ? modeTabs_[kind] : nullptr; }
    TButtonImage* RestSwitch() const { return restSwitch_; }
    TButtonImage* ColorSwitch() const { return colorSwitch_; }
    TButtonImage* EyeExerciseButton() const { return eyeExercise_; }
    TButtonImage* NeckExerciseButton() const { return neckExercise_; }
    TColorLabel* SettingLink() const { return settingLink_; }
    TColorLabel* IntervalLine() const { return intervalLine_; }
    TColorLabel* RestTimeLine() const { return restTimeLine_; }
    TColorLabel* ColorTitle() const { return colorTitle_; }
    TColorLabel* StatusLine() const { return status_; }
    TColorLabel* InfoLine(int row) const { return row >= 0 && row < 3 ? info_[row] : nullptr; }
    TColorLabel* DescriptionLine(int row) const { return row >= 0 && row < 2 ? description_[row] : nullptr; }
    TNumberEdit* IntervalBox() const { return intervalBox_; }
    TNumberEdit* RestTimeBox() const { return restTimeBox_; }
    TGraphicTime* NextRestClock() const { return nextRest_; }
    TGraphicPanel* RestPanel() const { return restPanel_; }
    TGraphicPanel* ColorPanel() const { return colorPanel_; }

private:
    struct Snapshot {
        bool Run;
        int Interval;
        int RestTime;
        bool Green;
    };

    void CreateControls();
    void LoadSkin();
    void ShowControl(forms::TControl* control, bool visible);
    void UpdateRestDisplay();
    void UpdateColorDisplay(bool on);
    void SetEditMode(bool on);
    bool SaveEditedRest();
    void IntervalExit(HWND to);
    void RestTimeExit(HWND to);
    // The companion settings that go with a mode; failures are told and
    // the switch goes on.
    void ApplyCompanionSettings(int mode);
    // Run on, then interval and rest time: codes 2 and 6. False (told) when
    // a write failed.
    bool TurnRestOn(int interval, int restTime);
    bool TurnRestOff();
    void RestoreCompanionSettings(const Snapshot& before, bool greenNow);
    bool Confirm(const TConfirmInfo& info);
    void SelectModeTab(int kind);
    void ShowSelectedModeInfo();
    void SetText(TColorLabel* label, const std::wstring& text, COLORREF color, bool bold = false);

    TPageHost& form_;
    THealthPageHooks hooks_;
    std::unique_ptr<TSystemControl> system_;
    int subPage_ = kSubPageNone;
    bool editMode_ = false;

    TQRGBA background_, title_, setupPicture_, restHint_, eyeHint_, dottedLine_;
    TQRGBA iconSolution_, iconRefresh_, iconFont_;
    TQRGBAList standardMode_, standardModeGray_;

    TTabButton* eyeTab_ = nullptr;
    TTabButton* neckTab_ = nullptr;
    TTabButton* modeTabs_[3] = {};
    TGraphicPanel* restPanel_ = nullptr;
    TGraphicPanel* colorPanel_ = nullptr;
    TGraphicPanel* neckHint_ = nullptr;
    TGraphicPanel* eyeHintPanel_ = nullptr;
    TGraphicPanel* lines_[2] = {};
    TGraphicPanel* icons_[3] = {};
    TGraphicPanel* setupIcon_ = nullptr;
    TColorLabel* restHeading_ = nullptr;
    TGraphicTime* nextRest_ = nullptr;
    TButtonImage* restSwitch_ = nullptr;
    TColorLabel* intervalLine_ = nullptr;
    TColorLabel* restTimeLine_ = nullptr;
    TColorLabel* settingLink_ = nullptr;
    TColorLabel* editWords_[4] = {};
    TNumberEdit* intervalBox_ = nullptr;
    TNumberEdit* restTimeBox_ = nullptr;
    TColorLabel* colorTitle_ = nullptr;
    TColorLabel* colorLines_[2] = {};
    TButtonImage* colorSwitch_ = nullptr;
    TButtonImage* eyeExercise_ = nullptr;
    TButtonImage* neckExercise_ = nullptr;
    TButtonImage* spareNeckExercise_ = nullptr;
    TColorLabel* status_ = nullptr;
    TColorLabel* info_[3] = {};
    TColorLabel* description_[2] = {};
};
