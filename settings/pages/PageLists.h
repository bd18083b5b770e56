// Pages 1 to 4 of the settings window: the timed-reminder list and its
// editor, the timed-shutdown list and its editor. Both are a TEntryListPages;
// this holds the two, the title band they share (add, manage, return) and
// their pictures.
#pragma once

#include <functional>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/QAlpha.h"
#include "settings/pages/EntryListPages.h"
#include "settings/pages/ShutDownEditor.h"
#include "settings/pages/TimerAlertEditor.h"
#include "settings/pages/page_host.h"

namespace settings {

class TListPages {
public:
    static constexpr UINT_PTR kTimerAlertTimerId = 2;   // tmrTimerAlert
    static constexpr UINT_PTR kShutDownListTimerId = 3; // tmrShutDownList
    static constexpr UINT_PTR kShutDownEditTimerId = 4; // tmrShutDownEdit
    static constexpr int kRowHeight = TEntryListPages::kRowHeight;
    static constexpr int kMenuEdit = TEntryListPages::kMenuEdit;
    static constexpr int kMenuDelete = TEntryListPages::kMenuDelete;

    explicit TListPages(TPageHost& form);

    void Build();
    void Show(OptionPage page);
    void Paint(HDC dc);

    // The list of the page shown.
    void AddEntry();
    void CancelEdit();
    void ToggleManageMode();
    bool ManageMode() const;
    int EditIndex() const;
    // Both lists.
    void ManageOff();
    // The editors' own keys, before the form's dialog keys; true when taken.
    bool DialogKey(UINT key, bool shift);
    void tmrShutDownListTick() { shutDowns_.ListTick(); }

    TEntryListPages& Reminders() { return reminders_; }
    TEntryListPages& ShutDowns() { return shutDowns_; }
    TTimerAlertEditor& ReminderEditor() { return reminderEditor_; }
    TShutDownEditor& ShutDownEditor() { return shutDownEditor_; }

    // Shows a row menu at a screen point and returns the chosen command
    // (0 for none).
    std::function<int(HMENU menu, POINT screen)> TrackMenu;

    // Title band.
    TButtonImage* AddButton = nullptr;
    TButtonImage* ManageButton = nullptr;
    TButtonImage* ReturnButton = nullptr;

private:
    TEntryListPages& Current();
    const TEntryListPages& Current() const;

    TPageHost& form_;
    OptionPage page_ = kPageTimerAlertList;
    TTimerAlertEditor reminderEditor_;
    TShutDownEditor shutDownEditor_;
    TEntryListPages reminders_;
    TEntryListPages shutDowns_;
    TQRGBA background_, titleAlert_, titleShutDown_, emptyPicture_, bottom_;
};

}  // namespace settings
