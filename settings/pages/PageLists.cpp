#include "settings/pages/PageLists.h"

#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"

namespace settings {

namespace {

constexpr int kWidth = 320, kHeight = 365;
// The title band's buttons, right-aligned: add (or return) at the edge, the
// manage toggle left of it.
constexpr int kTitleButtonTop = 36, kTitleButtonHeight = 23;
constexpr int kAddWidth = 57, kManageWidth = 26, kTitleButtonGap = 6, kTitleRightMargin = 12;
constexpr int kAddLeft = kWidth - kAddWidth - kTitleRightMargin;
constexpr int kManageLeft = kAddLeft - kManageWidth - kTitleButtonGap;
constexpr POINT kTitlePicture{5, 13};
// The band behind an editor's OK and Cancel.
constexpr int kFrame = 1;  // the window's frame line, which the band leaves alone
constexpr int kBottomBandHeight = 39, kBottomBandTop = kHeight - kBottomBandHeight - kFrame;
// How often the lists' timers tick: tmrTimerAlert, tmrShutDownList and the
// editor's countdown, tmrShutDownEdit.
constexpr UINT kAlertTickMs = 500, kShutDownTickMs = 1000, kCountdownTickMs = 500;

// What the two lists differ in beyond their entries and editors.
TEntryListSetup RemindersSetup() {
    TEntryListSetup s{};
    s.ListPage = kPageTimerAlertList;
    s.EditPage = kPageTimerAlertEdit;
    s.EmptyText = L"您还没有提醒事项哦";
    s.SavedCode = protocol::kEventAddRemind;
    s.DeletedCode = protocol::kEventDelRemind;
    s.ListTimerId = TListPages::kTimerAlertTimerId;
    s.ListTimerMs = kAlertTickMs;
    s.ListTimerOnEditor = false;
    return s;
}

TEntryListSetup ShutDownsSetup() {
    TEntryListSetup s{};
    s.ListPage = kPageShutDownList;
    s.EditPage = kPageShutDownEdit;
    s.EmptyText = L"您还没有定时关机哦";
    s.SavedCode = protocol::kEventAddTask;
    s.DeletedCode = protocol::kEventDelTask;
    s.ListTimerId = TListPages::kShutDownListTimerId;
    s.ListTimerMs = kShutDownTickMs;
    s.ListTimerOnEditor = true;  // the rows stay current under the editor too
    s.EditorTimerId = TListPages::kShutDownEditTimerId;
    s.EditorTimerMs = kCountdownTickMs;
    return s;
}

}  // namespace

TListPages::TListPages(TPageHost& form)
    : form_(form),
      reminderEditor_(form),
      shutDownEditor_(form),
      reminders_(form, RemindersSetup(), reminderEditor_, TrackMenu),
      shutDowns_(form, ShutDownsSetup(), shutDownEditor_, TrackMenu) {
    TrackMenu = [this](HMENU menu, POINT screen) {
        return static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x,
                                                 screen.y, 0, form_.Hwnd(), nullptr));
    };
}

void TListPages::Build() {
    forms::TForm& f = form_;
    AddButton = &f.Add<TButtonImage>(kAddLeft, kTitleButtonTop, kAddWidth, kTitleButtonHeight);
    ManageButton = &f.Add<TButtonImage>(kManageLeft, kTitleButtonTop, kManageWidth, kTitleButtonHeight);
    ManageButton->SetHint(L"管理");
    ManageButton->UseOnOff = true;
    ReturnButton = &f.Add<TButtonImage>(kAddLeft, kTitleButtonTop, kAddWidth, kTitleButtonHeight);

    reminders_.Build(ManageButton, [this] { ManageOff(); });
    shutDowns_.Build(ManageButton, [this] { ManageOff(); });

    TTimerAlertEditor& r = reminderEditor_;
    TShutDownEditor& s = shutDownEditor_;
    TSkinTargets t;
    t.Background = &background_;
    t.TitleTimerAlert = &titleAlert_;
    t.TitleTimerShutDown = &titleShutDown_;
    t.EmptyListPicture = &emptyPicture_;
    t.BottomPanel = &bottom_;
    t.PushButtons = {reminders_.Ok(), reminders_.Cancel(), shutDowns_.Ok(), shutDowns_.Cancel()};
    t.SoundBrowseButtons = {r.Play, nullptr};
    t.MorePushButtons = {r.Browse, nullptr, nullptr, nullptr};
    t.AddButton = AddButton;
    t.ManageButton = ManageButton;
    t.ReturnButton = ReturnButton;
    t.CheckBoxes = {r.RepeatRadio, r.SpecifyRadio, s.OnceRadio};
    t.FourthCheckBox = s.DailyRadio;
    t.ShutDownClock = s.Clock;
    t.ComboBoxes = {r.RepeatKind, r.RepeatHour, r.RepeatMin, r.SpecifyHour, r.SpecifyMin, s.OnceHour,
                    s.OnceMin,    s.DailyKind,  s.DailyHour, s.DailyMin,    s.Style};
    LoadSkin(t);
    reminders_.SetEmptyPicture(emptyPicture_);
    shutDowns_.SetEmptyPicture(emptyPicture_);
    for (TButtonImage* b : {reminders_.Ok(), reminders_.Cancel(), shutDowns_.Ok(), shutDowns_.Cancel(), r.Browse})
        StylePushButton(*b);
    for (TQComboBox* box : t.ComboBoxes) StyleDropDown(*box);
    SetComboDropWidth(s.Style->Handle(), -1);
    s.Clock->SetAutoSize(true);
    s.Clock->SetCaption(L"00:00:00");

    AddButton->OnClick = [this](forms::TControl&) { AddEntry(); };
    ManageButton->OnClick = [this](forms::TControl&) { ToggleManageMode(); };
    ReturnButton->OnClick = [this](forms::TControl&) { CancelEdit(); };
}

TEntryListPages& TListPages::Current() {
    return reminders_.Shows(page_) ? reminders_ : shutDowns_;
}

const TEntryListPages& TListPages::Current() const {
    return reminders_.Shows(page_) ? reminders_ : shutDowns_;
}

void TListPages::Show(OptionPage page) {
    page_ = page;
    reminders_.Show(page);
    shutDowns_.Show(page);
    const bool list = page == kPageTimerAlertList || page == kPageShutDownList;
    AddButton->SetVisible(list);
    ManageButton->SetVisible(list);
    ReturnButton->SetVisible(!list);
    ManageButton->SetStateOn(ManageMode());
    if (form_.Hwnd()) ::InvalidateRect(form_.Hwnd(), nullptr, FALSE);
}

void TListPages::Paint(HDC dc) {
    if (!background_.Empty()) DrawRGBA(dc, 0, 0, background_);
    const TQRGBA& title = reminders_.Shows(page_) ? titleAlert_ : titleShutDown_;
    if (!title.Empty()) DrawRGBA(dc, kTitlePicture.x, kTitlePicture.y, title);
    const bool editor = page_ == kPageTimerAlertEdit || page_ == kPageShutDownEdit;
    if (editor && !bottom_.Empty())
        StretchDrawRGBA(dc, kFrame, kBottomBandTop, 255, bottom_.Height(), bottom_.Width(), 0, 0, bottom_,
                        kBottomBandHeight, kWidth - 2 * kFrame);
}

void TListPages::AddEntry() {
    Current().Add();
}

void TListPages::CancelEdit() {
    Current().CancelEdit();
}

void TListPages::ToggleManageMode() {
    Current().ToggleManageMode();
}

bool TListPages::ManageMode() const {
    return Current().ManageMode();
}

int TListPages::EditIndex() const {
    return Current().EditIndex();
}

void TListPages::ManageOff() {
    reminders_.ClearManageMode();
    shutDowns_.ClearManageMode();
}

bool TListPages::DialogKey(UINT key, bool shift) {
    return Current().DialogKey(key, shift);
}

}  // namespace settings
