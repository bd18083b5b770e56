#include "settings/pages/ShutDownEditor.h"

#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "settings/pages/ListRowText.h"

namespace settings {

// The file's values, shared with Corvalle.
using protocol::kRepeatOnce;
using protocol::kStateActive;
using protocol::kStatePaused;
using protocol::kStylePowerOff;

namespace {

// The editor's rows: "本次关机" (hour and minute) and under it "每天关机"
// (its kind, hour and minute); each time list is followed by its unit.
constexpr int kLeft = 20;
constexpr int kCountdownLabelTop = 76, kClockTop = 98, kClockWidth = 112, kClockHeight = 20;
constexpr int kStyleLabelTop = 252, kStyleTop = 272;
constexpr int kRadioWidth = 100, kRadioHeight = 16;
constexpr int kOnceRadioTop = 134, kOnceRowTop = 156, kOnceMinuteLeft = 82;
constexpr int kDailyRadioTop = 192, kDailyRowTop = 214, kDailyHourLeft = 176, kDailyMinuteLeft = 238;
constexpr int kUnitOffset = 48, kUnitDrop = 3;
constexpr int kListWidth = 150, kListDropped = 200;
constexpr wchar_t kNoCountdown[] = L"00:00:00";

std::vector<std::wstring> StyleItems() {
    std::vector<std::wstring> items;
    for (int style = 0; style < protocol::kShutDownStyleCount; ++style) items.push_back(ShutDownStyleText(style));
    return items;
}

}  // namespace

TShutDownEditor::TShutDownEditor(TPageHost& form) : TEntryKindOf(form.Values().ShutDowns), form_(form) {}

void TShutDownEditor::SetState(int row, int state) {
    TEntryKindOf::SetState(row, state);
    if (state == kStateActive) PauseOverlappingShutDowns(entries_, row);
}

bool TShutDownEditor::SaveList() {
    return form_.SaveShutDownList();
}

bool TShutDownEditor::TickList() {
    const TShutDownTick tick = TickShutDowns(entries_, Now());
    if (tick.Save) form_.SaveShutDownList();  // a later tick or save tries again
    return tick.AnyActive || tick.Changed;
}

// ------------------------------------------------------------ editor

void TShutDownEditor::BuildEditor(std::vector<forms::TControl*>& controls) {
    forms::TForm& f = form_;
    auto keep = [&controls](forms::TControl& c) { controls.push_back(&c); };
    keep(AddLabel(f, kLeft, kCountdownLabelTop, L"关机倒计时："));
    Clock = &f.Add<TGraphicTime>(kLeft, kClockTop, kClockWidth, kClockHeight);
    OnceRadio = &f.Add<TCheckLabelButton>(kLeft, kOnceRadioTop, kRadioWidth, kRadioHeight);
    OnceHour = &AddTimeList(f, kLeft, kOnceRowTop, kHoursInDay);
    OnceMin = &AddTimeList(f, kOnceMinuteLeft, kOnceRowTop, kMinutesInHour);
    DailyRadio = &f.Add<TCheckLabelButton>(kLeft, kDailyRadioTop, kRadioWidth, kRadioHeight);
    DailyKind = &f.Add<TPageComboBox>(kLeft, kDailyRowTop, kListWidth, kListDropped);
    DailyHour = &AddTimeList(f, kDailyHourLeft, kDailyRowTop, kHoursInDay);
    DailyMin = &AddTimeList(f, kDailyMinuteLeft, kDailyRowTop, kMinutesInHour);
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{Clock, OnceRadio, OnceHour, OnceMin, DailyRadio,
                                                                       DailyKind, DailyHour, DailyMin})
        keep(*c);
    keep(AddLabel(f, kLeft + kUnitOffset, kOnceRowTop + kUnitDrop, L"时"));
    keep(AddLabel(f, kOnceMinuteLeft + kUnitOffset, kOnceRowTop + kUnitDrop, L"分"));
    keep(AddLabel(f, kDailyHourLeft + kUnitOffset, kDailyRowTop + kUnitDrop, L"时"));
    keep(AddLabel(f, kDailyMinuteLeft + kUnitOffset, kDailyRowTop + kUnitDrop, L"分"));
    keep(AddLabel(f, kLeft, kStyleLabelTop, L"关机类型："));
    Style = &f.Add<TPageComboBox>(kLeft, kStyleTop, kListWidth, kListDropped);
    keep(*Style);
    StyleRadio(*OnceRadio, L"本次关机");
    StyleRadio(*DailyRadio, L"每天关机");
    DailyKind->AddItems(RepeatListItems());
    Style->AddItems(StyleItems());
    OnceRadio->OnClick = [this](forms::TControl&) { SelectDailyRow(false); };
    DailyRadio->OnClick = [this](forms::TControl&) { SelectDailyRow(true); };
}

void TShutDownEditor::SelectDailyRow(bool repeating) {
    if (repeating) SelectRadioRow(*DailyRadio, {DailyKind, DailyHour, DailyMin}, *OnceRadio, {OnceHour, OnceMin});
    else SelectRadioRow(*OnceRadio, {OnceHour, OnceMin}, *DailyRadio, {DailyKind, DailyHour, DailyMin});
}

void TShutDownEditor::SetClock(const std::wstring& text) {
    Clock->SetCaption(text);
}

void TShutDownEditor::Reset() {
    const int hour = NextHour(Now());
    for (TPageComboBox* h : {OnceHour, DailyHour}) h->SetText(std::to_wstring(hour));
    for (TPageComboBox* m : {OnceMin, DailyMin}) m->SetText(L"0");
    DailyKind->SetItemIndex(0);
    SelectDailyRow(false);
    Style->SetItemIndex(StyleListIndex(kStylePowerOff));
    SetClock(kNoCountdown);
}

void TShutDownEditor::NewEntry() {
    underEdit_ = TShutDownAlertInfo();
    underEdit_.State = kStateActive;
    Reset();
}

void TShutDownEditor::LoadEntry(int row) {
    underEdit_ = entries_[static_cast<size_t>(row)];
    Reset();
    const bool repeating = underEdit_.Repeat != kRepeatOnce;
    if (repeating) {
        DailyKind->SetItemIndex(RepeatListIndex(underEdit_.Repeat));
        ShowTime(underEdit_.Time, *DailyHour, *DailyMin);
    } else {
        ShowTime(underEdit_.Time, *OnceHour, *OnceMin);
    }
    SelectDailyRow(repeating);
    Style->SetItemIndex(StyleListIndex(underEdit_.Style));
}

void TShutDownEditor::EditorShown(bool existing) {
    TickEditor(existing);
}

void TShutDownEditor::TickEditor(bool existing) {
    const bool counting = existing && underEdit_.State == kStateActive;
    SetClock(counting ? FormatSeconds(ShutDownCountdown(underEdit_, Now())) : kNoCountdown);
}

bool TShutDownEditor::StoreEdited(int row) {
    TShutDownForm input;
    input.Repeating = DailyRadio->Checked();
    input.RepeatKind = RepeatKindFromText(DailyKind->Text());
    TPageComboBox& hour = input.Repeating ? *DailyHour : *OnceHour;
    TPageComboBox& minute = input.Repeating ? *DailyMin : *OnceMin;
    input.Hour = ClampedListNumber(hour.Text(), kHoursInDay);
    input.Minute = ClampedListNumber(minute.Text(), kMinutesInHour);
    input.Style = Style->ItemIndex() < 0 ? kStylePowerOff : Style->ItemIndex();

    TShutDownAlertInfo entry = underEdit_;
    const TEntryVerdict verdict = BuildShutDown(entries_, row, input, Now(), entry);
    if (verdict != evOk) {
        ShowInfo(form_.Hwnd(), VerdictText(verdict));
        return false;
    }
    const int stored = Store(row, entry);
    if (entry.State == kStateActive) PauseOverlappingShutDowns(entries_, stored);
    return true;
}

// ------------------------------------------------------------ rows

void TShutDownEditor::DrawRowText(HDC dc, int row, const RECT& r) {
    const TShutDownAlertInfo& e = entries_[static_cast<size_t>(row)];
    TListRowSkin& skin = ListRowSkin();
    base::Font bold = RowFont(true), plain = RowFont(false);
    // The style follows the time after this gap; the texts leave the right
    // part of the row to the countdown.
    constexpr int kStyleGap = 5, kCountdownWidth = 110, kPausedWidth = 80;
    const int middle = (r.top + r.bottom) / 2;
    const int left = r.left + TEntryListPages::kStateButton.right + kRowTextGap;
    const int textRight = r.right - kCountdownWidth;
    const int timeWidth = RowTextWidth(dc, e.Time, bold.Get());
    DrawRowLine(dc, e.Time, RECT{left, r.top + kRowTextInset, left + timeWidth, middle}, kRowTextColor, bold.Get(),
                DT_LEFT);
    DrawRowLine(dc, ShutDownStyleShortName(e.Style),
                RECT{left + timeWidth + kStyleGap, r.top + kRowTextInset, textRight, middle}, kRowTextColor, plain.Get(),
                DT_LEFT | DT_END_ELLIPSIS);
    std::wstring repeat = RepeatKindText(e.Repeat, true);
    if (e.Repeat == kRepeatOnce)
        repeat = e.LastSetDate == FormatYYYYMMDD(Now()) ? L"今天" : FormatDate8(e.LastSetDate);
    DrawRowLine(dc, repeat, RECT{left, middle, textRight, r.bottom - kRowTextInset}, kRowTextColor, plain.Get(), DT_LEFT);
    const int right = r.right - kRowRightMargin;
    if (e.State == kStateActive)
        DrawRowDigits(dc, skin.ActiveClock, L"-" + FormatSeconds(ShutDownCountdown(e, Now())), right, middle);
    else if (e.State == kStatePaused)
        DrawRowLine(dc, L"已暂停", RECT{right - kPausedWidth, r.top, right, r.bottom}, kGreyTextColor, bold.Get(),
                    DT_RIGHT);
    else DrawRowDigits(dc, skin.ExpiredClock, e.Time, right, middle);
}

}  // namespace settings
