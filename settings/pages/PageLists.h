// Pages 1 to 4 of the settings window: the timed-reminder list and its
// editor, the timed-shutdown list and its editor, with their rows, the
// manage mode, the context menu and the three timers that keep the states
// current.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/DrawListBox.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/GraphicTime.h"
#include "settings/model/SettingsFile.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/page_host.h"

enum TEditMode { emIdle, emNew, emExisting };

class TListPages {
public:
    static constexpr UINT_PTR kTimerAlertTimerId = 2;   // tmrTimerAlert
    static constexpr UINT_PTR kShutDownListTimerId = 3; // tmrShutDownList
    static constexpr UINT_PTR kShutDownEditTimerId = 4; // tmrShutDownEdit
    static constexpr int kRowHeight = 51;
    static constexpr int kStateItem = 1;  // the state button of a row

    explicit TListPages(TPageHost& form);

    void Build();
    void Show(OptionPage page);
    void Paint(HDC dc);

    // Entry points of the buttons, rows and menu.
    void AddEntry();
    void EditTimerAlert(int index);
    void EditShutDown(int index);
    void SaveTimerAlertEntry();
    void SaveShutDownEntry();
    void CancelEdit();
    void DeleteTimerAlert(int index);
    void DeleteShutDownEntry(int index);
    void PauseOrResume(int index);
    void ToggleManageMode();
    void ManageOff();
    void RowClick(int row, int item);

    // The editors' own keys, before the form's dialog keys; true when taken.
    bool DialogKey(UINT key, bool shift);

    void tmrTimerAlertTick();
    void tmrShutDownListTick();
    void tmrShutDownEditTick();

    bool ManageMode() const;
    int EditIndex() const { return editIndex_; }
    // The hint of a row's state button.
    std::wstring StateHint(int row) const;

    std::function<bool(std::wstring& chosen)> ChooseFile;
    std::function<bool(const std::wstring& path)> PlayRing;
    // Shows the row menu at a screen point and returns the chosen command
    // (0 for none).
    std::function<int(HMENU menu, POINT screen)> TrackMenu;
    static constexpr int kMenuEdit = 1;
    static constexpr int kMenuDelete = 2;

    // Title band.
    TButtonImage* AddButton = nullptr;
    TButtonImage* ManageButton = nullptr;
    TButtonImage* ReturnButton = nullptr;
    // Lists.
    TDrawListBox* AlertList = nullptr;
    TDrawListBox* ShutDownListBox = nullptr;
    TGraphicPanel* EmptyPanel = nullptr;
    TColorLabel* EmptyText = nullptr;
    // Reminder editor.
    TEditBox* Content = nullptr;
    TCheckLabelButton* RepeatRadio = nullptr;
    TPageComboBox* RepeatKind = nullptr;
    TPageComboBox* RepeatHour = nullptr;
    TPageComboBox* RepeatMin = nullptr;
    TCheckLabelButton* SpecifyRadio = nullptr;
    TDatePicker* Date = nullptr;
    TPageComboBox* SpecifyHour = nullptr;
    TPageComboBox* SpecifyMin = nullptr;
    TRingBox* RingBox = nullptr;
    TButtonImage* Play = nullptr;
    TButtonImage* Browse = nullptr;
    TButtonImage* AlertOk = nullptr;
    TButtonImage* AlertCancel = nullptr;
    // Shutdown editor.
    TGraphicTime* Clock = nullptr;
    TCheckLabelButton* OnceRadio = nullptr;
    TPageComboBox* OnceHour = nullptr;
    TPageComboBox* OnceMin = nullptr;
    TCheckLabelButton* DailyRadio = nullptr;
    TPageComboBox* DailyKind = nullptr;
    TPageComboBox* DailyHour = nullptr;
    TPageComboBox* DailyMin = nullptr;
    TPageComboBox* Style = nullptr;
    TButtonImage* ShutDownOk = nullptr;
    TButtonImage* ShutDownCancel = nullptr;

private:
    void BuildAlertEditor();
    void BuildShutDownEditor();
    void ResetAlertEditor();
    void ResetShutDownEditor();
    void SelectRepeatRow(bool repeating);
    void SelectDailyRow(bool repeating);
    void SetRing(const std::wstring& path);
    void UpdateEmptyPanel();
    void UpdateRowCounts();
    void RepaintRows();
    void ShowMessage(const std::wstring& text);
    void DrawRow(TDrawListBox& box, int row, const RECT& rect, int item, int state);
    void DrawAlertRow(HDC dc, const TTimerAlertInfo& e, const RECT& r);
    void DrawShutDownRow(HDC dc, const TShutDownAlertInfo& e, const RECT& r);
    void ContextMenu(TDrawListBox& box, int x, int y);
    void FocusContent();
    bool OnAlertPages() const;
    TPageComboBox& AddTimeList(int left, int top, int count);

    TPageHost& form_;
    OptionPage page_ = kPageTimerAlertList;
    TEditMode mode_ = emIdle;
    int editIndex_ = -1;
    TTimerAlertInfo alertUnderEdit_;
    TShutDownAlertInfo shutDownUnderEdit_;
    bool manageAlerts_ = false;
    bool manageShutDowns_ = false;
    std::wstring clockText_ = L"00:00:00";
    std::vector<forms::TControl*> alertList_, alertEditor_, shutDownList_, shutDownEditor_;
    TQRGBA background_, titleAlert_, titleShutDown_, emptyPicture_, bottom_;
};
