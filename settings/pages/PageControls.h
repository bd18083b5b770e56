// Small pieces the settings pages share: a drop-down list that reports its
// changes, the framed box that shows a ring file, a plain edit box and a
// date picker as controls of the form, text labels, the skinned push
// buttons, the open dialog for a ring and the sound player for its preview.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/ComboboxEx.h"
#include "settings/controls/TabButton.h"
#include "settings/forms/form.h"
#include "settings/model/DateTime.h"

namespace settings {

constexpr COLORREF kLabelColor = 6512215;     // RGB(87, 94, 99)
constexpr COLORREF kGreyTextColor = 8421504;  // RGB(128, 128, 128)
constexpr COLORREF kFrameColor = 13157048;    // RGB(184, 194, 200)
constexpr COLORREF kFieldColor = 16710903;    // RGB(247, 252, 254)
// The pages' text: the interface font at this height.
constexpr int kPageFontHeight = -12;
constexpr int kHoursInDay = 24;
constexpr int kMinutesInHour = 60;
constexpr wchar_t kSoundFilter[] = L"声音文件(*.wav;*.mp3;*.mid;*.wma)|*.wav;*.mp3;*.mid;*.wma";

class TPageComboBox : public TQComboBox {
public:
    explicit TPageComboBox(DWORD style = CBS_DROPDOWNLIST | WS_VSCROLL) : TQComboBox(style) {}
    std::function<void()> OnChange;
    // Leaving the box: the hour and minute lists put their text right.
    std::function<void()> OnLeave;

    void Clear();
    void AddItem(const std::wstring& text);
    void AddItems(const std::vector<std::wstring>& items);
    int ItemIndex() const;
    void SetItemIndex(int index);
    int ItemCount() const;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // Selects the item with exactly this text; false when there is none.
    bool SelectText(const std::wstring& text);

    bool ReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// The number an hour or minute list holds: not a number gives 0, anything
// at or above `limit` gives limit - 1.
int ClampedListNumber(const std::wstring& text, int limit);

// The pages' look of a drop-down list, once the skin is loaded: frame,
// field colour and button size.
void StyleDropDown(TQComboBox& box);

// An hour or minute list of the numbers 0 to count - 1 (kHoursInDay or
// kMinutesInHour): digits only, and put right when the focus leaves it.
TPageComboBox& AddTimeList(forms::TForm& form, int left, int top, int count);

// Shows a time "HH:NN" in an hour and a minute list, without leading zeros.
void ShowTime(const std::wstring& time, TPageComboBox& hour, TPageComboBox& minute);

// The repeat list of both editors: "每天", "星期一到星期五", "星期六到星期日".
std::vector<std::wstring> RepeatListItems();

// A radio button of an editor's two rows, in the pages' look.
void StyleRadio(TCheckLabelButton& radio, const std::wstring& caption);
// Checks `on` and enables its row; clears `off` and disables its row.
void SelectRadioRow(TCheckLabelButton& on, std::initializer_list<forms::TControl*> onRow, TCheckLabelButton& off,
                    std::initializer_list<forms::TControl*> offRow);

// A framed, read-only field that shows a file's name; the full path is its
// hint. A small play button sits inside it at the right.
class TRingBox : public forms::TControl {
public:
    void SetPath(const std::wstring& path);
    const std::wstring& Path() const { return path_; }
    void Paint(HDC dc) override;

private:
    std::wstring path_;
};

class TEditBox : public forms::TWindowedControl {
public:
    explicit TEditBox(DWORD style = ES_AUTOHSCROLL) : TWindowedControl(L"EDIT", style) { SetTabStop(true); }
    std::function<void()> OnChange;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    bool ReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool changing_ = false;
};

class TDatePicker : public forms::TWindowedControl {
public:
    TDatePicker();
    TDateTime Date() const;  // the day only
    void SetDate(const TDateTime& date);
};

// A one-run text label.
TColorLabel& AddLabel(forms::TForm& form, int left, int top, const std::wstring& text, COLORREF color = kLabelColor,
                      bool bold = false);
void SetLabelText(TColorLabel& label, const std::wstring& text, COLORREF color, bool bold = false);

// A 60 x 23 (or given size) push button with the skin's caption look.
TButtonImage& AddPushButton(forms::TForm& form, int left, int top, int width, int height, const std::wstring& caption);
void StylePushButton(TButtonImage& button);

// The hand over the control.
void SetHandCursor(forms::TControl& control);
// Shows or hides a control that is not so already.
void ShowControl(forms::TControl* control, bool visible);
// Selects or deselects a tab and renews its face.
void SetTabSelected(TTabButton* tab, bool selected);

// The open dialog for a ring, starting in the folder of `current` when it
// exists; false when the user cancelled.
bool ChooseRingFile(HWND owner, const std::wstring& current, std::wstring& chosen);

}  // namespace settings
