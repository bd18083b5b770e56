#include "settings/pages/TimerAlertEditor.h"

#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "settings/pages/ListRowText.h"

namespace settings {

// The file's values, shared with Corvalle.
using protocol::kDefaultReminderText;
using protocol::kReminderTextLimit;
using protocol::kRepeatOnce;
using protocol::kStateActive;
using protocol::kStatePaused;

namespace {

// The editor's columns and rows: the repeat row (its kind, hour and minute)
// and under it the date row (date, hour and minute); each list is followed
// by its unit ("时", "分").
constexpr int kLeft = 20;
constexpr int kContentLabelTop = 76, kContentTop = 96, kRingLabelTop = 246;
constexpr int kHourLeft = 176, kMinuteLeft = 238, kUnitOffset = 48;
constexpr int kRadioWidth = 100, kRadioHeight = 16;
constexpr int kKindListWidth = 150, kKindListDropped = 200;
constexpr int kRepeatRadioTop = 130, kRepeatRowTop = 152;
constexpr int kSpecifyRadioTop = 188, kSpecifyRowTop = 210;
constexpr int kUnitDrop = 3;  // a unit's text sits this much lower than its list
constexpr int kContentWidth = 280, kFieldHeight = 22, kContentMargin = 4;
constexpr int kRingWidth = 200, kRingHeight = 24, kRingTop = 266;
constexpr int kPlaySize = 18, kPlayInset = 21, kPlayDrop = 3;
constexpr int kBrowseGap = 8, kBrowseWidth = 70;

}  // namespace

TTimerAlertEditor::TTimerAlertEditor(TPageHost& form) : TEntryKindOf(form.Values().TimerAlerts), form_(form) {
    ChooseFile = [this](std::wstring& chosen) { return ChooseRingFile(form_.Hwnd(), RingBox->Path(), chosen); };
    PlayRing = [this](const std::wstring& path) { return form_.RingPreview().Play(path); };
}

bool TTimerAlertEditor::SaveList() {
    return form_.SaveTimerAlertList();
}

bool TTimerAlertEditor::TickList() {
    return TickTimerAlerts(entries_, Now());
}

void TTimerAlertEditor::ShowMessage(const std::wstring& text) {
    ShowInfo(form_.Hwnd(), text);
}

// ------------------------------------------------------------ editor

void TTimerAlertEditor::BuildEditor(std::vector<forms::TControl*>& controls) {
    forms::TForm& f = form_;
    auto keep = [&controls](forms::TControl& c) { controls.push_back(&c); };
    keep(AddLabel(f, kLeft, kContentLabelTop, L"提醒内容："));
    Content = &f.Add<TEditBox>(kLeft, kContentTop, kContentWidth, kFieldHeight, ES_AUTOHSCROLL);
    ::SendMessageW(Content->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                   MAKELPARAM(kContentMargin, kContentMargin));
    ::SetWindowLongW(Content->Handle(), GWL_EXSTYLE, 0);
    Content->OnChange = [this] {
        const std::wstring text = Content->Text();
        if (text.size() < kReminderTextLimit) return;
        Content->SetText(text.substr(0, kReminderTextLimit));
        ::SendMessageW(Content->Handle(), EM_SETSEL, kReminderTextLimit, kReminderTextLimit);
    };
    keep(*Content);
    RepeatRadio = &f.Add<TCheckLabelButton>(kLeft, kRepeatRadioTop, kRadioWidth, kRadioHeight);
    SpecifyRadio = &f.Add<TCheckLabelButton>(kLeft, kSpecifyRadioTop, kRadioWidth, kRadioHeight);
    RepeatKind = &f.Add<TPageComboBox>(kLeft, kRepeatRowTop, kKindListWidth, kKindListDropped);
    RepeatHour = &AddTimeList(f, kHourLeft, kRepeatRowTop, kHoursInDay);
    RepeatMin = &AddTimeList(f, kMinuteLeft, kRepeatRowTop, kMinutesInHour);
    Date = &f.Add<TDatePicker>(kLeft, kSpecifyRowTop, kKindListWidth, kFieldHeight);
    SpecifyHour = &AddTimeList(f, kHourLeft, kSpecifyRowTop, kHoursInDay);
    SpecifyMin = &AddTimeList(f, kMinuteLeft, kSpecifyRowTop, kMinutesInHour);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{RepeatRadio, SpecifyRadio, RepeatKind, RepeatHour,
                                                                       RepeatMin, Date, SpecifyHour, SpecifyMin})
        keep(*c);
    for (int top : {kRepeatRowTop, kSpecifyRowTop}) {
        keep(AddLabel(f, kHourLeft + kUnitOffset, top + kUnitDrop, L"时"));
        keep(AddLabel(f, kMinuteLeft + kUnitOffset, top + kUnitDrop, L"分"));
    }
    keep(AddLabel(f, kLeft, kRingLabelTop, L"提醒声音："));
    RingBox = &f.Add<TRingBox>(kLeft, kRingTop, kRingWidth, kRingHeight);
    RingBox->SetTabStop(true);
    Play = &f.Add<TButtonImage>(kLeft + kRingWidth - kPlayInset, kRingTop + kPlayDrop, kPlaySize, kPlaySize);
    Play->SetHint(L"试听");
    Browse = &AddPushButton(f, kLeft + kRingWidth + kBrowseGap, kRingTop, kBrowseWidth, kRingHeight, L"浏览...");
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{RingBox, Play, Browse}) keep(*c);

    StyleRadio(*RepeatRadio, L"重复提醒");
    StyleRadio(*SpecifyRadio, L"指定日期");
    RepeatKind->AddItems(RepeatListItems());
    RepeatRadio->OnClick = [this](forms::TControl&) { SelectRepeatRow(true); };
    SpecifyRadio->OnClick = [this](forms::TControl&) { SelectRepeatRow(false); };
    Browse->OnClick = [this](forms::TControl&) {
        std::wstring chosen;
        if (!ChooseFile || !ChooseFile(chosen)) return;
        if (FileExistsAnyView(chosen) && FileHasExtension(chosen, kSoundExtensions)) {
            SetRing(chosen);
            return;
        }
        ShowMessage(VerdictText(evRingFormat));
        SetRing(std::wstring());
    };
    Play->OnClick = [this](forms::TControl&) {
        if (PlayRing && !RingBox->Path().empty() && FileHasExtension(RingBox->Path(), kSoundExtensions))
            PlayRing(RingBox->Path());
    };
}

void TTimerAlertEditor::SelectRepeatRow(bool repeating) {
    if (repeating)
        SelectRadioRow(*RepeatRadio, {RepeatKind, RepeatHour, RepeatMin}, *SpecifyRadio, {Date, SpecifyHour, SpecifyMin});
    else
        SelectRadioRow(*SpecifyRadio, {Date, SpecifyHour, SpecifyMin}, *RepeatRadio, {RepeatKind, RepeatHour, RepeatMin});
}

void TTimerAlertEditor::SetRing(const std::wstring& path) {
    RingBox->SetPath(path);
    Play->SetEnabled(!path.empty() && FileExistsAnyView(path));
}

void TTimerAlertEditor::Reset() {
    const TDateTime now = Now();
    bool nextDay = false;
    const int hour = NextHour(now, &nextDay);
    Date->SetDate(nextDay ? now.AddDays(1) : now);
    RepeatKind->SetItemIndex(0);
    for (TPageComboBox* h : {RepeatHour, SpecifyHour}) h->SetText(std::to_wstring(hour));
    for (TPageComboBox* m : {RepeatMin, SpecifyMin}) m->SetText(L"0");
    SelectRepeatRow(true);
    Content->SetText(kDefaultReminderText);
    SetRing(form_.Values().DefaultRingPath);
}

void TTimerAlertEditor::NewEntry() {
    underEdit_ = TTimerAlertInfo();
    underEdit_.State = kStateActive;
    Reset();
}

void TTimerAlertEditor::LoadEntry(int row) {
    underEdit_ = entries_[static_cast<size_t>(row)];
    Reset();
    const bool repeating = underEdit_.Repeat != kRepeatOnce;
    if (repeating) {
        RepeatKind->SetItemIndex(RepeatListIndex(underEdit_.Repeat));
        ShowTime(underEdit_.Time, *RepeatHour, *RepeatMin);
    } else {
        RepeatKind->SetItemIndex(0);
        ShowTime(underEdit_.Time, *SpecifyHour, *SpecifyMin);
        Date->SetDate(ParseDate8(underEdit_.LastSetDate));
    }
    SelectRepeatRow(repeating);
    Content->SetText(underEdit_.Content);
    SetRing(underEdit_.Ring);
}

void TTimerAlertEditor::EditorShown(bool) {
    FocusContent();
}

void TTimerAlertEditor::FocusContent() {
    form_.FocusControl(Content);
    if (Content->Handle()) ::SetFocus(Content->Handle());
}

bool TTimerAlertEditor::EditorKey(UINT key, bool shift) {
    if (shift || (key != VK_TAB && key != VK_RETURN)) return false;
    forms::TControl* focused = form_.FocusedControl();
    // The content box hands Tab and Enter to the chosen kind of reminder.
    if (focused == Content) {
        form_.FocusControl(RepeatRadio->Checked() ? RepeatRadio : SpecifyRadio);
        return true;
    }
    // The date row is the last one before the ring.
    if (focused == SpecifyMin && key == VK_TAB) {
        form_.FocusControl(RingBox);
        return true;
    }
    return false;
}

bool TTimerAlertEditor::StoreEdited(int row) {
    TReminderForm input;
    input.Repeating = RepeatRadio->Checked();
    input.RepeatKind = RepeatKindFromText(RepeatKind->Text());
    TPageComboBox& hour = input.Repeating ? *RepeatHour : *SpecifyHour;
    TPageComboBox& minute = input.Repeating ? *RepeatMin : *SpecifyMin;
    input.Hour = ClampedListNumber(hour.Text(), kHoursInDay);
    input.Minute = ClampedListNumber(minute.Text(), kMinutesInHour);
    input.Date = Date->Date();
    input.Ring = RingBox->Path();
    input.Content = Content->Text();

    TTimerAlertInfo entry = underEdit_;
    const TEntryVerdict verdict = BuildReminder(entries_, row, input, Now(), entry);
    if (verdict != evOk) {
        ShowMessage(VerdictText(verdict));
        if (verdict == evRingFormat) SetRing(std::wstring());
        if (verdict == evBeyondTwoYears) Date->SetDate(Now());
        if (verdict == evRingMissing) form_.FocusControl(RingBox);
        if (verdict == evBeyondTwoYears || verdict == evPastDate || verdict == evPastTime) form_.FocusControl(Date);
        return false;
    }
    Store(row, entry);
    return true;
}

// ------------------------------------------------------------ rows

void TTimerAlertEditor::DrawRowText(HDC dc, int row, const RECT& r) {
    const TTimerAlertInfo& e = entries_[static_cast<size_t>(row)];
    TListRowSkin& skin = ListRowSkin();
    base::Font bold = RowFont(true), plain = RowFont(false);
    const int middle = (r.top + r.bottom) / 2;
    int right = r.right - kRowRightMargin;
    if (e.State == kStatePaused) {
        const int w = RowTextWidth(dc, L"已暂停", plain.Get());
        DrawRowLine(dc, L"已暂停", RECT{right - w, r.top, right, r.bottom}, kGreyTextColor, plain.Get(), DT_RIGHT);
        right -= w;
    } else {
        right = DrawRowDigits(dc, e.State == kStateActive ? skin.ActiveClock : skin.ExpiredClock, e.Time, right, middle);
    }
    // The texts keep this far from the time.
    constexpr int kTimeGap = 8;
    const int left = r.left + TEntryListPages::kStateButton.right + kRowTextGap;
    DrawRowLine(dc, e.Content, RECT{left, r.top + kRowTextInset, right - kTimeGap, middle}, kRowTextColor, bold.Get(),
                DT_LEFT | DT_END_ELLIPSIS);
    const RECT lower{left, middle, right - kTimeGap, r.bottom - kRowTextInset};
    DrawRowLine(dc, RepeatKindText(e.Repeat, false), lower, kRowTextColor, plain.Get(), DT_LEFT);
    if (e.Repeat == kRepeatOnce && e.State != kStatePaused)
        DrawRowLine(dc, FormatDate8(e.LastSetDate), lower, kRowDateColor, plain.Get(), DT_RIGHT);
}

}  // namespace settings
