// The settings program's artwork: PNG files compiled in as resources of the
// type "DATA", the frame sizes each strip is cut into and which frame
// becomes which state, and the routine that skins the settings window.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/ComboboxEx.h"
#include "settings/controls/GraphicTime.h"
#include "settings/controls/ListBoxView.h"
#include "settings/controls/QAlpha.h"
#include "settings/controls/QGraphics.h"
#include "settings/controls/TabButton.h"

namespace settings {

constexpr wchar_t kSkinResourceType[] = L"DATA";

// A read view of a resource; the data lives as long as the program.
struct TSkinStream {
    const void* Data = nullptr;
    size_t Size = 0;
    explicit operator bool() const { return Data != nullptr && Size != 0; }
};

// An empty stream when the resource is missing or cannot be loaded.
TSkinStream OpenSkinResource(const wchar_t* name, const wchar_t* type = kSkinResourceType);

// How many states an image button takes from its strip.
enum TStateCount { kThreeStates = 3, kFourStates = 4 };

// Skins an image button from a strip: frames 0, 1, 2 become normal, hover
// and pressed when the strip has more than two, and frame 3 disabled for
// four states when it has more than three. False when the resource is
// missing (the button keeps its look); a null button only checks that.
bool SkinImageButton(TButtonImage* button, const wchar_t* name, int frameWidth, int frameHeight, TStateCount states);
// A page tab selects with frame 2, a mode tab with frame 3.
enum TTabKind { kPageTab, kModeTab };
bool SkinTabButton(TTabButton* tab, const wchar_t* name, int frameWidth, int frameHeight, TTabKind kind, bool selected);
// Frame 4 is the ticked picture and frame 0 the plain one; a strip of fewer
// than five frames leaves both alone.
bool SkinCheckBox(TCheckLabelButton* box, const wchar_t* name, int frameWidth, int frameHeight);
bool SkinComboButton(TQComboBox* box, const wchar_t* name, int frameWidth, int frameHeight);
bool SkinClock(TGraphicTime* clock, const wchar_t* name, int itemWidth, int itemHeight);
bool LoadSkinStrip(TQRGBAList* list, const wchar_t* name, int frameWidth, int frameHeight);
// A whole picture; false when missing (the picture stays as it was).
bool LoadSkinImage(TQRGBA* image, const wchar_t* name, TAlphaMode mode = amPremultiplied);

// The on/off switches: "btnsetopen" or "btnsetclose", frame 0 for normal,
// hover and pressed. A missing resource leaves the button as it was.
bool SetSwitchButtonSkin(TButtonImage& button, bool on);

// The controls and pictures of the settings window that take a skin. Null
// members are skipped, but their resources are still looked for, so a
// missing strip stops the loading at the same point.
struct TSkinTargets {
    bool HealthPage = false;  // the window opens on the health page
    TQRGBA* Background = nullptr;
    TQRGBA* TitleTimerAlert = nullptr;
    TQRGBA* TitleTimerShutDown = nullptr;
    TQRGBA* TitleEye = nullptr;
    TQRGBA* TitleSet = nullptr;
    TListRowSkin* Rows = nullptr;  // the shared row pictures when null
    // Health page only.
    TButtonImage* EyeExercise = nullptr;
    TButtonImage* SpareNeckExercise = nullptr;  // kept hidden by the window
    TQRGBA* SetupPicture = nullptr;
    TTabButton* EyeTab = nullptr;
    TTabButton* NeckTab = nullptr;
    TTabButton* OriginModeTab = nullptr;
    TQRGBAList* StandardMode = nullptr;
    TQRGBAList* StandardModeGray = nullptr;
    TTabButton* ChildModeTab = nullptr;
    TTabButton* OldManModeTab = nullptr;
    TButtonImage* NeckExercise = nullptr;
    // Every page.
    TQRGBA* EmptyListPicture = nullptr;
    TButtonImage* CloseButton = nullptr;
    std::array<TButtonImage*, 4> PushButtons{};
    std::array<TButtonImage*, 2> SoundBrowseButtons{};
    // The last one also takes frame 0 as its disabled picture.
    std::array<TButtonImage*, 4> MorePushButtons{};
    TQRGBA* FilePicture = nullptr;
    TButtonImage* AddButton = nullptr;
    TButtonImage* ManageButton = nullptr;
    TButtonImage* ReturnButton = nullptr;
    TQRGBA* BottomPanel = nullptr;
    std::array<TCheckLabelButton*, 3> CheckBoxes{};
    TGraphicTime* ShutDownClock = nullptr;
    TCheckLabelButton* FourthCheckBox = nullptr;
    std::vector<TQComboBox*> ComboBoxes;
    TQRGBA* RestPanel = nullptr;
    TQRGBA* ColorPanel = nullptr;
    TQRGBA* RestHint = nullptr;
    TQRGBA* RestHint2 = nullptr;
    std::array<TQRGBA*, 2> DottedLines{};
    TQRGBA* IconFont = nullptr;
    TQRGBA* IconRefresh = nullptr;
    TQRGBA* IconSolution = nullptr;
    TGraphicTime* NextRestClock = nullptr;
};

// Loads everything in its fixed order. Stops at the first missing strip
// (false, `stoppedAt` names it); missing whole pictures are skipped.
bool LoadSkin(TSkinTargets& targets, std::wstring* stoppedAt = nullptr);

// Every picture the program asks for, with the frame size it is cut at and
// the number of frames the skin needs (0 for whole pictures).
struct TSkinEntry {
    const wchar_t* Name;
    int FrameWidth;
    int FrameHeight;
    int Frames;
};
const std::vector<TSkinEntry>& SkinResourceTable();

}  // namespace settings
