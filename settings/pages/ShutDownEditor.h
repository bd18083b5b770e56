// The timed shutdowns as a list of TEntryListPages (pages 3 and 4): a
// shutdown's editor (once or repeating, its time, its style, the countdown
// of an active one) and the texts of its row.
#pragma once

#include <string>
#include <vector>

#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/GraphicTime.h"
#include "settings/pages/EntryListPages.h"
#include "settings/pages/PageControls.h"

namespace settings {

class TShutDownEditor : public TEntryKindOf<TShutDownAlertInfo> {
public:
    explicit TShutDownEditor(TPageHost& form);

    // A shutdown that becomes active pauses the others of its day.
    void SetState(int row, int state) override;
    bool SaveList() override;
    bool TickList() override;
    void DrawRowText(HDC dc, int row, const RECT& rect) override;
    void BuildEditor(std::vector<forms::TControl*>& controls) override;
    void NewEntry() override;
    void LoadEntry(int row) override;
    void EditorShown(bool existing) override;
    bool StoreEdited(int row) override;
    // The countdown of an active entry; "00:00:00" for any other.
    void TickEditor(bool existing) override;

    TGraphicTime* Clock = nullptr;
    TCheckLabelButton* OnceRadio = nullptr;
    TPageComboBox* OnceHour = nullptr;
    TPageComboBox* OnceMin = nullptr;
    TCheckLabelButton* DailyRadio = nullptr;
    TPageComboBox* DailyKind = nullptr;
    TPageComboBox* DailyHour = nullptr;
    TPageComboBox* DailyMin = nullptr;
    TPageComboBox* Style = nullptr;

private:
    // As for a new entry.
    void Reset();
    void SelectDailyRow(bool repeating);
    void SetClock(const std::wstring& text);

    TPageHost& form_;
    TShutDownAlertInfo underEdit_;
};

}  // namespace settings
