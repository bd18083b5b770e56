// The timed reminders as a list of TEntryListPages (pages 1 and 2): a
// reminder's editor (its text, a repeating time or a date and time, a ring)
// and the texts of its row.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/controls/CheckLabelButton.h"
#include "settings/pages/EntryListPages.h"
#include "settings/pages/PageControls.h"

namespace settings {

class TTimerAlertEditor : public TEntryKindOf<TTimerAlertInfo> {
public:
    explicit TTimerAlertEditor(TPageHost& form);

    bool SaveList() override;
    bool TickList() override;
    void DrawRowText(HDC dc, int row, const RECT& rect) override;
    void BuildEditor(std::vector<forms::TControl*>& controls) override;
    void NewEntry() override;
    void LoadEntry(int row) override;
    void EditorShown(bool existing) override;
    bool StoreEdited(int row) override;
    bool EditorKey(UINT key, bool shift) override;

    std::function<bool(std::wstring& chosen)> ChooseFile;
    std::function<bool(const std::wstring& path)> PlayRing;

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

private:
    // As for a new entry.
    void Reset();
    void SelectRepeatRow(bool repeating);
    void SetRing(const std::wstring& path);
    void FocusContent();
    void ShowMessage(const std::wstring& text);

    TPageHost& form_;
    TTimerAlertInfo underEdit_;
};

}  // namespace settings
