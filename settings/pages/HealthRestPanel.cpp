#include "settings/pages/HealthRestPanel.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>

#include "base/numbers.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/HealthLayout.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/page_host.h"

namespace settings {

namespace {

constexpr wchar_t kIntervalTooSmall[] = L"休息时间间隔最小为1分钟。";
constexpr wchar_t kIntervalTooLarge[] = L"休息时间间隔最大为720分钟。";
constexpr wchar_t kRestTooSmall[] = L"休息时间最小为1分钟。";
constexpr wchar_t kRestTooLarge[] = L"休息时间最大为240分钟。";

// Inside the panel: the numbers and the clock start further in than the
// heading; the two lines of numbers (or of boxes in the edit mode) lie
// under the clock; the link and its picture sit in the bottom right corner.
constexpr int kTextLeft = kHealthPanelLeft + 10;
constexpr int kHeadingWidth = 100;
constexpr int kSwitchTop = kRestPanelTop + 10;
constexpr int kClockTop = kRestPanelTop + 32, kClockWidth = 90, kClockHeight = 20;
constexpr int kNumberLinesTop = kRestPanelTop + 62, kNumberLineGap = 18, kNumberLineWidth = 140;
constexpr int kBoxRowsTop = kRestPanelTop + 60, kBoxRowGap = 22;
// A box row: a word, the box kBeforeBox after it, the next word kAfterBox
// after the box; the words sit kWordDrop lower than the box.
constexpr int kBoxWidth = 34, kBoxHeight = 19, kBeforeBox = 2, kAfterBox = 4, kWordDrop = 2;
constexpr int kCornerTop = kRestPanelTop + kRestPanelHeight - 20;
constexpr int kPanelRight = kHealthPanelLeft + kHealthPanelWidth;
constexpr int kIconLeft = kPanelRight - 50, kIconSize = 16;
constexpr int kLinkLeft = kPanelRight - 32, kLinkWidth = 30;

// The boxes take digits only; an empty box counts as 0, which is refused.
int BoxValue(const std::wstring& text) {
    uint64_t value = 0;
    return base::ParseDigits(text, value) ? static_cast<int>(std::min<uint64_t>(value, INT_MAX)) : 0;
}

}  // namespace

TRestCheck CheckRestValues(const std::wstring& interval, const std::wstring& restTime) {
    TRestCheck check;
    // A box left empty takes the default; only a typed 0 is refused.
    check.Interval = interval.empty() ? kDefaultRestInterval : BoxValue(interval);
    check.RestTime = restTime.empty() ? kDefaultRestTime : BoxValue(restTime);
    if (check.Interval <= 0) {
        check.Message = kIntervalTooSmall;
        check.Box = 0;
    } else if (check.Interval > kMaxRestInterval) {
        check.Message = kIntervalTooLarge;
        check.Box = 0;
        check.Correction = std::to_wstring(kMaxRestInterval);
    } else if (check.RestTime <= 0) {
        check.Message = kRestTooSmall;
        check.Box = 1;
    } else if (check.RestTime > kMaxRestTime) {
        check.Message = kRestTooLarge;
        check.Box = 1;
        check.Correction = std::to_wstring(kMaxRestTime);
    } else {
        check.Ok = true;
    }
    return check;
}

THealthRestPanel::THealthRestPanel(TPageHost& form) : form_(form) {}

void THealthRestPanel::Build() {
    forms::TForm& f = form_;
    // The panel first: it is drawn under what lies on it.
    panel_ = &f.Add<TGraphicPanel>(kHealthPanelLeft, kRestPanelTop, kHealthPanelWidth, kRestPanelHeight);
    panel_->SetOutStyle(osGraphic);
    heading_ = &f.Add<TColorLabel>(kHealthPanelLeft + kPanelTextInset, kRestPanelTop + kPanelTextInset, kHeadingWidth,
                                   kHealthLineHeight);
    SetLabelText(*heading_, L"下次休息时间", kHeadingColor, true);
    nextRest_ = &f.Add<TGraphicTime>(kTextLeft, kClockTop, kClockWidth, kClockHeight);
    switch_ = &f.Add<TButtonImage>(kSwitchLeft, kSwitchTop, kSwitchWidth, kSwitchHeight);
    switch_->OnClick = [this](forms::TControl&) { ToggleRestReminder(); };
    SetHandCursor(*switch_);
    intervalLine_ = &f.Add<TColorLabel>(kTextLeft, kNumberLinesTop, kNumberLineWidth, kHealthLineHeight);
    restTimeLine_ =
        &f.Add<TColorLabel>(kTextLeft, kNumberLinesTop + kNumberLineGap, kNumberLineWidth, kHealthLineHeight);
    setupIcon_ = &f.Add<TGraphicPanel>(kIconLeft, kCornerTop, kIconSize, kIconSize);
    setupIcon_->SetOutStyle(osGraphic);
    settingLink_ = &f.Add<TColorLabel>(kLinkLeft, kCornerTop, kLinkWidth, kHealthLineHeight);
    settingLink_->OnClick = [this](forms::TControl&) { lblSettingClick(); };

    // Edit mode: "每" [interval] "分钟休息一次" / "休息" [rest time] "分钟".
    auto boxRow = [&](int top, int firstWidth, int secondWidth, TColorLabel*& first, TColorLabel*& second) {
        const int boxLeft = kTextLeft + firstWidth + kBeforeBox;
        first = &f.Add<TColorLabel>(kTextLeft, top + kWordDrop, firstWidth, kHealthLineHeight);
        TNumberEdit* box = &f.Add<TNumberEdit>(boxLeft, top, kBoxWidth, kBoxHeight);
        second = &f.Add<TColorLabel>(boxLeft + kBoxWidth + kAfterBox, top + kWordDrop, secondWidth, kHealthLineHeight);
        return box;
    };
    intervalBox_ = boxRow(kBoxRowsTop, 14, 80, editWords_[0], editWords_[1]);
    restTimeBox_ = boxRow(kBoxRowsTop + kBoxRowGap, 26, 30, editWords_[2], editWords_[3]);
    const wchar_t* words[] = {L"每", L"分钟休息一次", L"休息", L"分钟"};
    for (int i = 0; i < 4; ++i) SetLabelText(*editWords_[i], words[i], kPlainColor);
    intervalBox_->OnEnter = [this] { lblSettingClick(); };
    restTimeBox_->OnEnter = [this] { lblSettingClick(); };
    intervalBox_->OnExit = [this](HWND to) { BoxExit(*intervalBox_, *restTimeBox_, to, kIntervalTooSmall); };
    restTimeBox_->OnExit = [this](HWND to) { BoxExit(*restTimeBox_, *intervalBox_, to, kRestTooSmall); };
}

void THealthRestPanel::AddSkinTargets(TSkinTargets& t) {
    t.SetupPicture = &setupIcon_->Background();
    t.RestPanel = &panel_->Background();
    t.NextRestClock = nextRest_;
}

void THealthRestPanel::FitPictures() {
    const TQRGBA& picture = setupIcon_->Background();
    if (picture.Empty()) return;
    const RECT& r = setupIcon_->Bounds();
    setupIcon_->SetBounds(r.left, r.top, picture.Width(), picture.Height());
}

void THealthRestPanel::Show(bool shown) {
    shown_ = shown;
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{panel_, heading_, nextRest_, switch_, setupIcon_,
                                                                      settingLink_})
        ShowControl(c, shown);
    for (forms::TControl* c : {intervalLine_, restTimeLine_}) ShowControl(c, shown && !editMode_);
    for (forms::TControl* c : editWords_) ShowControl(c, shown && editMode_);
    ShowControl(intervalBox_, shown && editMode_);
    ShowControl(restTimeBox_, shown && editMode_);
}

void THealthRestPanel::UpdateDisplay() {
    const TRestSettings& rest = form_.Values().Rest;
    const bool on = rest.Run;
    SetSwitchButtonSkin(*switch_, on);
    switch_->SetHint(on ? L"定时休息已开启，点击关闭" : L"定时休息已关闭，点击开启");
    TFontInfo plain, value;
    plain.Name = value.Name = UiFontName();
    plain.Color = kPlainColor;
    value.Color = on ? kNumberColor : kGreyTextColor;
    intervalLine_->ClearText();
    intervalLine_->AddText(L"每 ", plain);
    intervalLine_->AddText(std::to_wstring(rest.Interval), value);
    intervalLine_->AddText(L" 分钟休息一次", plain);
    restTimeLine_->ClearText();
    restTimeLine_->AddText(L"休息 ", plain);
    restTimeLine_->AddText(std::to_wstring(rest.RestTime), value);
    restTimeLine_->AddText(L" 分钟", plain);

    TFontInfo link;
    link.Name = UiFontName();
    link.Color = on ? kLinkColor : kGreyTextColor;
    auto hand = std::make_unique<TTextLink>();
    hand->Cursor = ::LoadCursorW(nullptr, IDC_HAND);
    settingLink_->ClearText();
    settingLink_->AddText(editMode_ ? L"确定" : L"设置", link, on ? std::move(hand) : nullptr);
    settingLink_->SetEnabled(on);
    nextRest_->SetCaption(rest.NextShown);
}

void THealthRestPanel::SetEditMode(bool on) {
    editMode_ = on;
    if (on) {
        intervalBox_->SetText(std::to_wstring(form_.Values().Rest.Interval));
        restTimeBox_->SetText(std::to_wstring(form_.Values().Rest.RestTime));
    }
    ShowControl(intervalLine_, shown_ && !on);
    ShowControl(restTimeLine_, shown_ && !on);
    for (forms::TControl* c : editWords_) ShowControl(c, shown_ && on);
    ShowControl(intervalBox_, shown_ && on);
    ShowControl(restTimeBox_, shown_ && on);
    UpdateDisplay();
    if (on) intervalBox_->SetFocus();
    else if (form_.Hwnd() && ::GetFocus() != form_.Hwnd()) {
        // The focus must not stay in a box that is now hidden.
        form_.FocusControl(nullptr);
        ::SetFocus(form_.Hwnd());
    }
}

void THealthRestPanel::LeaveEditMode() {
    if (editMode_) SetEditMode(false);
}

void THealthRestPanel::lblSettingClick() {
    if (!editMode_) {
        if (form_.Values().Rest.Run) SetEditMode(true);
        return;
    }
    SaveEdited();
}

// The focus changes a save or a message makes raise no second message.
void THealthRestPanel::AttachExits(bool attached) {
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = attached;
}

bool THealthRestPanel::SaveEdited() {
    AttachExits(false);
    const TRestCheck check = CheckRestValues(intervalBox_->Text(), restTimeBox_->Text());
    bool saved = false;
    if (!check.Ok) {
        TNumberEdit* box = check.Box == 0 ? intervalBox_ : restTimeBox_;
        ShowInfo(form_.Hwnd(), check.Message);
        if (!check.Correction.empty()) box->SetText(check.Correction);
        box->SetFocus();
    } else if (form_.GuardSave(form_.SaveRestSettings(check.Interval, check.RestTime))) {
        saved = true;
        SetEditMode(false);
    }
    AttachExits(true);
    return saved;
}

// Leaving one box for the other with a 0 in it is refused at once.
void THealthRestPanel::BoxExit(TNumberEdit& box, const TNumberEdit& other, HWND to, const wchar_t* refusal) {
    const std::wstring text = box.Text();
    if (!editMode_ || to != other.Handle() || text.empty() || BoxValue(text) > 0) return;
    AttachExits(false);
    ShowInfo(form_.Hwnd(), refusal);
    box.SetFocus();
    AttachExits(true);
}

void THealthRestPanel::ToggleRestReminder() {
    // The flag flips only once the file holds the new state, so a failed
    // write leaves the next click asking for the same change again.
    const bool on = !form_.Values().Rest.Run;
    LeaveEditMode();
    if (!form_.GuardSave(form_.WriteRestRun(on))) return;
    UpdateDisplay();
    if (on) {
        form_.NotifyMainProgram(protocol::kEventRestOn);
        form_.GuardSave(form_.SaveRestSettings(form_.Values().Rest.Interval, form_.Values().Rest.RestTime));
        UpdateDisplay();
    } else {
        form_.NotifyMainProgram(protocol::kEventRestOff);
    }
}

bool THealthRestPanel::TurnRestOn(int interval, int restTime) {
    if (!form_.GuardSave(form_.WriteRestRun(true))) return false;
    form_.NotifyMainProgram(protocol::kEventRestOn);
    const bool saved = form_.GuardSave(form_.SaveRestSettings(interval, restTime));
    UpdateDisplay();
    return saved;
}

bool THealthRestPanel::TurnRestOff() {
    if (!form_.GuardSave(form_.WriteRestRun(false))) return false;
    form_.NotifyMainProgram(protocol::kEventRestOff);
    UpdateDisplay();
    return true;
}

}  // namespace settings
