// One list of timed entries on two pages of the settings window: the list
// page (rows with their state buttons, the manage mode, the context menu,
// pausing and deleting, the empty-list notice) and the editor page (new or
// existing entry, OK and Cancel). The reminders and the shutdowns are each
// one of these; what differs between them comes in as a TEntryListSetup and
// an IEntryKind.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/window_messages.h"
#include "settings/controls/ButtonImage.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/DrawListBox.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/controls/QAlpha.h"
#include "settings/model/SettingsFile.h"
#include "settings/pages/page_host.h"

namespace settings {

enum TEditMode { emIdle, emNew, emExisting };

// The entries of one list, the editor's own fields and a row's texts.
class IEntryKind {
public:
    virtual ~IEntryKind() = default;

    virtual int Count() const = 0;
    virtual int State(int row) const = 0;
    // The state a row's button gave it.
    virtual void SetState(int row, int state) = 0;
    virtual void Erase(int row) = 0;
    // Returns what puts the entries back as they are now.
    virtual std::function<void()> Keep() = 0;
    // Writes the list and tells Corvalle; false when the file was not written.
    virtual bool SaveList() = 0;
    // One tick of the list's timer; true when the rows show something else now.
    virtual bool TickList() = 0;
    // What a row shows right of its state button.
    virtual void DrawRowText(HDC dc, int row, const RECT& rect) = 0;

    // The editor's own controls, created in their tab order (OK and Cancel
    // follow them); each goes into `controls`.
    virtual void BuildEditor(std::vector<forms::TControl*>& controls) = 0;
    // Fills the editor for a new entry, or for the entry of `row`.
    virtual void NewEntry() = 0;
    virtual void LoadEntry(int row) = 0;
    // The editor page is showing now.
    virtual void EditorShown(bool existing) = 0;
    // Puts the edited entry into the list at `row` (-1: a new entry) when
    // the input passes its checks; otherwise tells the user and returns
    // false with the list as it was.
    virtual bool StoreEdited(int row) = 0;
    // The editor's own timer (TEntryListSetup::EditorTimerId).
    virtual void TickEditor(bool /*existing*/) {}
    // A key before the form's dialog keys; true when taken.
    virtual bool EditorKey(UINT /*key*/, bool /*shift*/) { return false; }
};

// The list operations that are the same for every entry type.
template <class Entry>
class TEntryKindOf : public IEntryKind {
public:
    explicit TEntryKindOf(std::vector<Entry>& entries) : entries_(entries) {}

    int Count() const override { return static_cast<int>(entries_.size()); }
    int State(int row) const override { return entries_[static_cast<size_t>(row)].State; }
    void SetState(int row, int state) override { entries_[static_cast<size_t>(row)].State = state; }
    void Erase(int row) override { entries_.erase(entries_.begin() + row); }
    std::function<void()> Keep() override {
        return [this, kept = entries_] { entries_ = kept; };
    }

protected:
    // An edited entry replaces the one at `row`, or is appended when `row`
    // names none; returns where it went.
    int Store(int row, const Entry& entry) {
        if (row >= 0 && row < Count()) {
            entries_[static_cast<size_t>(row)] = entry;
            return row;
        }
        entries_.push_back(entry);
        return Count() - 1;
    }

    std::vector<Entry>& entries_;
};

// What else differs between the two lists.
struct TEntryListSetup {
    OptionPage ListPage;
    OptionPage EditPage;
    const wchar_t* EmptyText;  // shown over an empty list
    protocol::SettingsEventCode SavedCode;
    protocol::SettingsEventCode DeletedCode;
    // The list's timer runs on the list page, and on the editor page too
    // when ListTimerOnEditor.
    UINT_PTR ListTimerId;
    UINT ListTimerMs;
    bool ListTimerOnEditor = false;
    // The editor's own timer (0: none), while an entry is open.
    UINT_PTR EditorTimerId = 0;
    UINT EditorTimerMs = 0;
};

class TEntryListPages {
public:
    static constexpr int kRowHeight = 51;
    static constexpr int kStateItem = 1;  // the state button of a row
    static constexpr int kMenuEdit = 1;
    static constexpr int kMenuDelete = 2;
    // Where a row's state button lies inside the row.
    static constexpr RECT kStateButton{10, 12, 36, 40};

    // `trackMenu` shows the row menu at a screen point and returns the
    // command chosen (0 for none); it is asked each time.
    TEntryListPages(TPageHost& form, const TEntryListSetup& setup, IEntryKind& kind,
                    const std::function<int(HMENU menu, POINT screen)>& trackMenu);

    // `manageButton` is the title band's manage toggle, shared by both lists;
    // `manageOff` ends the manage mode of every list that shares it.
    void Build(TButtonImage* manageButton, std::function<void()> manageOff);
    void SetEmptyPicture(const TQRGBA& picture);
    void Show(OptionPage page);
    bool Shows(OptionPage page) const { return page == setup_.ListPage || page == setup_.EditPage; }

    void Add();
    void Edit(int row);
    void Save();
    void CancelEdit();
    void Delete(int row);
    void PauseOrResume(int row);
    void ToggleManageMode();
    // Ends the manage mode of both lists, not only this one's: they share
    // the toggle, and a list shown again must not come back with its delete
    // buttons still up.
    void ManageOff();
    // This list's own flag, one half of ManageOff.
    void ClearManageMode();
    void RowClick(int row, int item);
    bool DialogKey(UINT key, bool shift);
    void ListTick();
    void EditorTick();

    bool ManageMode() const { return manage_; }
    int EditIndex() const { return editIndex_; }
    // The hint of a row's state button.
    std::wstring StateHint(int row) const;

    TDrawListBox* List() const { return list_; }
    TButtonImage* Ok() const { return ok_; }
    TButtonImage* Cancel() const { return cancel_; }

private:
    // Runs `change`, then saves unless it changed nothing (false); a failed
    // save puts the list back and tells the user.
    bool ChangeAndSave(const std::function<bool()>& change);
    void UpdateRowCounts();
    void UpdateEmptyPanel();
    void RepaintRows();
    void ShowMessage(const std::wstring& text);
    void DrawRow(int row, const RECT& rect, int item, int state);
    void ContextMenu(int x, int y);

    TPageHost& form_;
    const TEntryListSetup setup_;
    IEntryKind& kind_;
    const std::function<int(HMENU, POINT)>& trackMenu_;
    OptionPage page_ = kPageNone;
    TEditMode mode_ = emIdle;
    int editIndex_ = -1;
    bool manage_ = false;
    TButtonImage* manageButton_ = nullptr;
    std::function<void()> manageOff_;
    TDrawListBox* list_ = nullptr;
    TGraphicPanel* emptyPanel_ = nullptr;
    TColorLabel* emptyText_ = nullptr;
    TButtonImage* ok_ = nullptr;
    TButtonImage* cancel_ = nullptr;
    std::vector<forms::TControl*> editor_;
};

}  // namespace settings
