#include "settings/pages/PageHealth.h"

#include <commctrl.h>

#include <cwchar>

#include "protocol/window_messages.h"
#include "settings/controls/SkinUtils.h"
#include "settings/pages/page_host.h"

namespace {

constexpr int kWidth = 620;
constexpr int kHeight = 420;

// The rest panel sits 18 pixels from the right edge, its top at 85; the
// colour panel 8 pixels under it.
constexpr int kPanelWidth = 165;
constexpr int kPanelLeft = kWidth - 18 - kPanelWidth;
constexpr int kRestTop = 85;
constexpr int kRestHeight = 119;
constexpr int kColorTop = kRestTop + kRestHeight + 8;
constexpr int kColorHeight = 81;
constexpr int kInset = 10;

constexpr COLORREF kHeadingColor = RGB(76, 96, 61);    // 4022348
constexpr COLORREF kLinkColor = RGB(11, 130, 213);     // 13992459
constexpr COLORREF kTabCaptionColor = RGB(87, 94, 99); // 6512215
constexpr COLORREF kPlainColor = RGB(106, 96, 96);     // 6316138
constexpr COLORREF kGreyColor = RGB(128, 128, 128);    // 8421504
constexpr COLORREF kNumberColor = RGB(255, 0, 0);

constexpr wchar_t kIntervalTooSmall[] = L"休息时间间隔最小为1分钟。";
constexpr wchar_t kIntervalTooLarge[] = L"休息时间间隔最大为720分钟。";
constexpr wchar_t kRestTooSmall[] = L"休息时间最小为1分钟。";
constexpr wchar_t kRestTooLarge[] = L"休息时间最大为240分钟。";
constexpr wchar_t kChooseModeHint[] = L"请根据每个模式的说明，选择适合自己的模式，缓解视觉疲劳！";

// The boxes take digits only; an empty box counts as 0, which is refused.
int BoxValue(const std::wstring& text) {
    if (text.empty()) return 0;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return 0;
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

std::wstring Format(const wchar_t* format, const std::wstring& name) {
    std::wstring out = format;
    const size_t at = out.find(L"%s");
    if (at != std::wstring::npos) out.replace(at, 2, name);
    return out;
}

// A tab draws its normal picture over the selected one when it is
// deselected; the skins here are see-through, so the face is renewed from
// the normal picture alone.
void SetTabSelected(TTabButton* tab, bool selected) {
    if (!tab) return;
    const bool was = tab->Selected();
    tab->SetSelected(selected);
    if (was && !selected && tab->Enabled()) {
        tab->SetEnabled(false);
        tab->SetEnabled(true);
    }
}

void HandCursor(forms::TControl& control) {
    control.OnMouseMove = [](forms::TControl&, POINT) { ::SetCursor(::LoadCursorW(nullptr, IDC_HAND)); };
}

}  // namespace

// ---------------------------------------------------------------- rules

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
        check.Correction = L"720";
    } else if (check.RestTime <= 0) {
        check.Message = kRestTooSmall;
        check.Box = 1;
    } else if (check.RestTime > kMaxRestTime) {
        check.Message = kRestTooLarge;
        check.Box = 1;
        check.Correction = L"240";
    } else {
        check.Ok = true;
    }
    return check;
}

TConfirmInfo FirstConfirmInfo(const std::wstring& name, int previous, bool restart, bool vistaOrLater) {
    TConfirmInfo info;
    info.Title = L"您当前选择的是" + name;
    info.OkCaption = L"确认选择";
    info.CancelCaption = L"放弃选择";
    if (previous == kModeElderly) {
        // Leaving the larger fonts can leave the desktop icons out of order.
        info.Message = L"注意：因老人模式会加大字体，恢复时可能会造成图\r\n标排序异常，请手动将图标进行排序！";
        info.Message2 = vistaOrLater ? L"手动排序：桌面右键，选择\"查看\"|\"自动排列图标\"。"
                                     : L"手动排序：桌面右键，选择\"排列图标\"|\"自动排列\"。";
    } else {
        info.Message = Format(restart ? L"下次开机启动时需要加载%s的相关配置，请\r\n耐心等待一会儿吧！"
                                      : L"下次启动时需要加载%s的相关配置，请\r\n耐心等待一会儿吧！",
                              name);
    }
    return info;
}

TConfirmInfo SecondConfirmInfo(const std::wstring& name, int mode, bool restart) {
    TConfirmInfo info;
    info.Title = L"恭喜，您已经选择" + name;
    if (restart) {
        info.SecondLine = Format(L"马上重新启动计算机看看%s的效果吧！", name);
        info.Message = mode == kModeElderly
                           ? L"注意：老人模式会加大桌面图标字体，图标过多会\r\n导致部分图标显示不全，请在重启前尽量删除不必\r\n要的桌面图标！"
                           : L"选择 \"稍后重启\"， 将会在下次开机时帮您加载\r\n" + name + L"的相关配置。";
        info.OkCaption = L"立即重启";
        info.CancelCaption = L"稍后重启";
    } else {
        info.SecondLine = Format(L"马上注销计算机看看%s的效果吧！", name);
        info.Message = L"选择 \"稍后注销\" ，将会在下次注销时帮您加载\r\n" + name + L"的相关配置。";
        info.OkCaption = L"立即注销";
        info.CancelCaption = L"稍后注销";
    }
    return info;
}

// ---------------------------------------------------------------- number box

TNumberEdit::TNumberEdit()
    : TWindowedControl(L"EDIT", ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER) {
    SetTabStop(true);
}

TNumberEdit::~TNumberEdit() {
    subclass_.Remove();
}

void TNumberEdit::Attached() {
    TWindowedControl::Attached();
    if (!Handle()) return;
    ::SendMessageW(Handle(), EM_LIMITTEXT, 3, 0);
    subclass_.Install(Handle(), [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return HandleMessage(hwnd, msg, wParam, lParam);
    });
}

std::wstring TNumberEdit::Text() const {
    if (!Handle()) return Caption();
    wchar_t text[16] = {};
    ::GetWindowTextW(Handle(), text, 16);
    return text;
}

void TNumberEdit::SetText(const std::wstring& text) {
    SetCaption(text);
    if (Handle()) ::SetWindowTextW(Handle(), text.c_str());
}

void TNumberEdit::SetFocus() {
    if (Form()) Form()->FocusControl(this);
    if (Handle()) ::SetFocus(Handle());
}

LRESULT TNumberEdit::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CHAR:
        if (wParam == VK_RETURN) {
            if (OnEnter) OnEnter();
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        // Whether the leave counts is decided now: a save running at this
        // moment detaches it. The handler itself runs once the focus has
        // settled, since a message box must not open inside a focus change.
        if (ExitAttached && OnExit) ::PostMessageW(hwnd, kExitMessage, wParam, 0);
        break;
    case kExitMessage:
        if (OnExit) OnExit(reinterpret_cast<HWND>(wParam));
        return 0;
    default:
        break;
    }
    return winlib::Subclass::Default(hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------- the page

TPageHealth::TPageHealth(TPageHost& form, THealthPageHooks hooks) : form_(form), hooks_(std::move(hooks)) {}

TPageHealth::~TPageHealth() = default;

void TPageHealth::Build() {
    system_ = std::make_unique<TSystemControl>(hooks_.Display ? *hooks_.Display : SystemDisplayApi(),
                                               form_.SettingsPath());
    CreateControls();
    LoadSkin();
    ShowSubPage(kSubPageNone);
}

void TPageHealth::SetText(TColorLabel* label, const std::wstring& text, COLORREF color, bool bold) {
    TFontInfo font;
    font.Color = color;
    font.Name = UiFontName();
    font.Style = bold ? fsBold : fsNone;
    label->ClearText();
    label->AddText(text, font);
}

void TPageHealth::CreateControls() {
    TFontSpec captionFont;
    captionFont.Name = UiFontName();
    captionFont.Height = -12;

    eyeTab_ = &form_.Add<TTabButton>(10, 14, 135, 47);
    neckTab_ = &form_.Add<TTabButton>(155, 14, 135, 47);
    eyeTab_->OnClick = [this](forms::TControl&) { ShowSubPage(kSubPageEye); };
    neckTab_->OnClick = [this](forms::TControl&) { ShowSubPage(kSubPageNeck); };
    HandCursor(*eyeTab_);
    HandCursor(*neckTab_);

    // Panels first: they are drawn under what lies on them.
    restPanel_ = &form_.Add<TGraphicPanel>(kPanelLeft, kRestTop, kPanelWidth, kRestHeight);
    colorPanel_ = &form_.Add<TGraphicPanel>(kPanelLeft, kColorTop, kPanelWidth, kColorHeight);
    neckHint_ = &form_.Add<TGraphicPanel>(70, 115, 300, 70);
    eyeHintPanel_ = &form_.Add<TGraphicPanel>(kPanelLeft, kColorTop + kColorHeight + 8, kPanelWidth, 40);
    for (TGraphicPanel* panel : {restPanel_, colorPanel_, neckHint_, eyeHintPanel_}) panel->SetOutStyle(osGraphic);

    // The rest panel.
    const int x = kPanelLeft + kInset;
    restHeading_ = &form_.Add<TColorLabel>(kPanelLeft + 8, kRestTop + 8, 100, 15);
    SetText(restHeading_, L"下次休息时间", kHeadingColor, true);
    nextRest_ = &form_.Add<TGraphicTime>(x, kRestTop + 32, 90, 20);
    restSwitch_ = &form_.Add<TButtonImage>(kPanelLeft + kPanelWidth - 33 - kInset, kRestTop + 10, 33, 13);
    restSwitch_->OnClick = [this](forms::TControl&) { ToggleRestReminder(); };
    HandCursor(*restSwitch_);
    intervalLine_ = &form_.Add<TColorLabel>(x, kRestTop + 62, 140, 15);
    restTimeLine_ = &form_.Add<TColorLabel>(x, kRestTop + 80, 140, 15);
    setupIcon_ = &form_.Add<TGraphicPanel>(kPanelLeft + kPanelWidth - 50, kRestTop + kRestHeight - 20, 16, 16);
    setupIcon_->SetOutStyle(osGraphic);
    settingLink_ = &form_.Add<TColorLabel>(kPanelLeft + kPanelWidth - 32, kRestTop + kRestHeight - 20, 30, 15);
    settingLink_->OnClick = [this](forms::TControl&) { lblSettingClick(); };

    // Edit mode: "每" [interval] "分钟休息一次" / "休息" [rest time] "分钟".
    const int lineTop = kRestTop + 60, lineGap = 22;
    editWords_[0] = &form_.Add<TColorLabel>(x, lineTop + 2, 14, 15);
    intervalBox_ = &form_.Add<TNumberEdit>(x + 16, lineTop, 34, 19);
    editWords_[1] = &form_.Add<TColorLabel>(x + 54, lineTop + 2, 80, 15);
    editWords_[2] = &form_.Add<TColorLabel>(x, lineTop + lineGap + 2, 26, 15);
    restTimeBox_ = &form_.Add<TNumberEdit>(x + 28, lineTop + lineGap, 34, 19);
    editWords_[3] = &form_.Add<TColorLabel>(x + 66, lineTop + lineGap + 2, 30, 15);
    const wchar_t* words[] = {L"每", L"分钟休息一次", L"休息", L"分钟"};
    for (int i = 0; i < 4; ++i) SetText(editWords_[i], words[i], kPlainColor);
    intervalBox_->OnEnter = [this] { lblSettingClick(); };
    restTimeBox_->OnEnter = [this] { lblSettingClick(); };
    intervalBox_->OnExit = [this](HWND to) { IntervalExit(to); };
    restTimeBox_->OnExit = [this](HWND to) { RestTimeExit(to); };

    // The colour panel.
    colorTitle_ = &form_.Add<TColorLabel>(kPanelLeft + 8, kColorTop + 10, 110, 15);
    colorSwitch_ = &form_.Add<TButtonImage>(kPanelLeft + kPanelWidth - 33 - kInset, kColorTop + 11, 33, 13);
    colorSwitch_->OnClick = [this](forms::TControl&) { ToggleEyeColor(); };
    HandCursor(*colorSwitch_);
    colorLines_[0] = &form_.Add<TColorLabel>(kPanelLeft + 8, kColorTop + 36, 150, 15);
    colorLines_[1] = &form_.Add<TColorLabel>(kPanelLeft + 8, kColorTop + 55, 150, 15);
    SetText(colorLines_[0], L"窗体背景设置为豆沙绿色，", kPlainColor);
    SetText(colorLines_[1], L"可缓解视疲劳！", kPlainColor);

    // The exercises.
    eyeExercise_ = &form_.Add<TButtonImage>(kWidth - 201, kHeight - 75, 101, 45);
    eyeExercise_->SetHint(L"播放眼保健操");
    eyeExercise_->OnClick = [this](forms::TControl&) { PlayEyeExercise(); };
    neckExercise_ = &form_.Add<TButtonImage>(260, 205, 125, 111);
    neckExercise_->SetHint(L"播放颈椎保健操");
    neckExercise_->OnClick = [this](forms::TControl&) { PlayNeckExercise(); };
    spareNeckExercise_ = &form_.Add<TButtonImage>(260, 205, 130, 114);
    spareNeckExercise_->SetVisible(false);
    for (TButtonImage* b : {eyeExercise_, neckExercise_}) HandCursor(*b);

    // The display modes.
    status_ = &form_.Add<TColorLabel>(30, 104, 380, 15);
    for (int k = 0; k < 3; ++k) {
        TTabButton* tab = &form_.Add<TTabButton>(30 + 77 * k, 145, 65, 69);
        tab->CaptionAlign = caBottom;
        tab->ShowCaption = true;
        tab->CaptionColor = kTabCaptionColor;
        tab->SetFont(captionFont);
        tab->SetCaption(ModeCaption(k));
        tab->OnClick = [this, k](forms::TControl&) { SelectDisplayMode(k); };
        tab->OnMouseEnter = [this, k](forms::TControl&) {
            const TUserModeInfo* mode = system_->FindMode(k);
            ShowModeInfo(mode ? *mode : system_->CurrentMode());
        };
        tab->OnMouseLeave = [this](forms::TControl&) { ShowSelectedModeInfo(); };
        HandCursor(*tab);
        modeTabs_[k] = tab;
    }
    lines_[0] = &form_.Add<TGraphicPanel>(30, 228, 260, 1);
    lines_[1] = &form_.Add<TGraphicPanel>(30, 312, 260, 1);
    for (int row = 0; row < 3; ++row) {
        icons_[row] = &form_.Add<TGraphicPanel>(30, 238 + 23 * row, 16, 16);
        info_[row] = &form_.Add<TColorLabel>(52, 239 + 23 * row, 200, 15);
    }
    for (TGraphicPanel* panel : {lines_[0], lines_[1], icons_[0], icons_[1], icons_[2]}) panel->SetOutStyle(osGraphic);
    description_[0] = &form_.Add<TColorLabel>(30, 324, 380, 15);
    description_[1] = &form_.Add<TColorLabel>(30, 344, 380, 15);
}

void TPageHealth::LoadSkin() {
    TSkinTargets t;
    t.HealthPage = true;
    t.Background = &background_;
    t.TitleEye = &title_;
    t.EyeExercise = eyeExercise_;
    t.SpareNeckExercise = spareNeckExercise_;
    t.SetupPicture = &setupIcon_->Background();
    t.EyeTab = eyeTab_;
    t.NeckTab = neckTab_;
    t.OriginModeTab = modeTabs_[kModeSaved];
    t.StandardMode = &standardMode_;
    t.StandardModeGray = &standardModeGray_;
    t.ChildModeTab = modeTabs_[kModeChild];
    t.OldManModeTab = modeTabs_[kModeElderly];
    t.NeckExercise = neckExercise_;
    t.RestPanel = &restPanel_->Background();
    t.ColorPanel = &colorPanel_->Background();
    t.RestHint = &neckHint_->Background();
    t.RestHint2 = &eyeHintPanel_->Background();
    t.DottedLines = {&lines_[0]->Background(), &lines_[1]->Background()};
    t.IconSolution = &icons_[0]->Background();
    t.IconRefresh = &icons_[1]->Background();
    t.IconFont = &icons_[2]->Background();
    t.NextRestClock = nextRest_;
    ::LoadSkin(t);
    // The low eye hint leaves the eye exercise button its place; the tall
    // one stays as the fallback.
    LoadSkinImage(&eyeHintPanel_->Background(), L"bg_eye_hint");

    // The pictures decide the size of what shows them.
    for (TGraphicPanel* panel : {neckHint_, eyeHintPanel_, lines_[0], lines_[1], icons_[0], icons_[1], icons_[2],
                                 setupIcon_}) {
        const TQRGBA& picture = panel->Background();
        if (!picture.Empty()) {
            const RECT& r = panel->Bounds();
            panel->SetBounds(r.left, r.top, picture.Width(), picture.Height());
        }
    }
}

bool TPageHealth::PaintBackground(HDC dc, const RECT& client) {
    if (background_.Empty()) return false;
    StretchDrawRGBA(dc, 0, 0, 255, background_.Height(), background_.Width(), 0, 0, background_, client.bottom,
                    client.right);
    if (!title_.Empty()) DrawRGBA(dc, client.right - title_.Width() - 5, 13, title_);
    return true;
}

void TPageHealth::ShowControl(forms::TControl* control, bool visible) {
    if (control && control->Visible() != visible) control->SetVisible(visible);
}

void TPageHealth::ShowSubPage(int subPage) {
    if (subPage == subPage_ && subPage != kSubPageNone) return;
    subPage_ = subPage;
    const bool eye = subPage == kSubPageEye, neck = subPage == kSubPageNeck, any = eye || neck;
    SetTabSelected(eyeTab_, eye);
    SetTabSelected(neckTab_, neck);
    ShowControl(eyeTab_, any);
    ShowControl(neckTab_, any);

    // The rest panel belongs to both sub-pages.
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{restPanel_, restHeading_, nextRest_, restSwitch_,
                                                                      setupIcon_, settingLink_})
        ShowControl(c, any);
    for (forms::TControl* c : {intervalLine_, restTimeLine_}) ShowControl(c, any && !editMode_);
    for (forms::TControl* c : editWords_) ShowControl(c, any && editMode_);
    ShowControl(intervalBox_, any && editMode_);
    ShowControl(restTimeBox_, any && editMode_);

    for (forms::TControl* c : std::initializer_list<forms::TControl*>{colorPanel_, colorTitle_, colorSwitch_,
                                                                      colorLines_[0], colorLines_[1], eyeExercise_,
                                                                      eyeHintPanel_, status_, lines_[0], lines_[1],
                                                                      description_[0], description_[1]})
        ShowControl(c, eye);
    for (int k = 0; k < 3; ++k) {
        ShowControl(modeTabs_[k], eye);
        ShowControl(icons_[k], eye);
        ShowControl(info_[k], eye);
    }
    ShowControl(neckHint_, neck);
    ShowControl(neckExercise_, neck);
    ShowControl(spareNeckExercise_, false);
    if (form_.Hwnd()) ::InvalidateRect(form_.Hwnd(), nullptr, FALSE);
}

void TPageHealth::Open() {
    UpdateRestDisplay();
    UpdateColorDisplay(IsEyeProtectionColorOn());
    SelectModeTab(system_->LastSelected());
    ShowSelectedModeInfo();
    ShowSubPage(kSubPageEye);
}

std::wstring TPageHealth::ModeCaption(int kind) const {
    switch (kind) {
    case kModeChild: return L"儿童模式";
    case kModeElderly: return L"老人模式";
    case kModeSaved: return system_ && system_->FirstBackup() ? L"默认模式" : L"备份模式";
    default: return std::wstring();
    }
}

// ---------------------------------------------------------------- timed rest

void TPageHealth::UpdateRestDisplay() {
    const TRestSettings& rest = form_.Values().Rest;
    const bool on = rest.Run;
    SetSwitchButtonSkin(*restSwitch_, on);
    restSwitch_->SetHint(on ? L"定时休息已开启，点击关闭" : L"定时休息已关闭，点击开启");
    const COLORREF number = on ? kNumberColor : kGreyColor;
    TFontInfo plain, value;
    plain.Name = value.Name = UiFontName();
    plain.Color = kPlainColor;
    value.Color = number;
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
    link.Color = on ? kLinkColor : kGreyColor;
    auto hand = std::make_unique<TTextLink>();
    hand->Cursor = ::LoadCursorW(nullptr, IDC_HAND);
    settingLink_->ClearText();
    settingLink_->AddText(editMode_ ? L"确定" : L"设置", link, on ? std::move(hand) : nullptr);
    settingLink_->SetEnabled(on);
    nextRest_->SetCaption(rest.NextShown);
}

void TPageHealth::SetEditMode(bool on) {
    editMode_ = on;
    if (on) {
        intervalBox_->SetText(std::to_wstring(form_.Values().Rest.Interval));
        restTimeBox_->SetText(std::to_wstring(form_.Values().Rest.RestTime));
    }
    const bool shown = subPage_ != kSubPageNone;
    ShowControl(intervalLine_, shown && !on);
    ShowControl(restTimeLine_, shown && !on);
    for (forms::TControl* c : editWords_) ShowControl(c, shown && on);
    ShowControl(intervalBox_, shown && on);
    ShowControl(restTimeBox_, shown && on);
    UpdateRestDisplay();
    if (on) intervalBox_->SetFocus();
    else if (form_.Hwnd() && ::GetFocus() != form_.Hwnd()) {
        // The focus must not stay in a box that is now hidden.
        form_.FocusControl(nullptr);
        ::SetFocus(form_.Hwnd());
    }
}

void TPageHealth::lblSettingClick() {
    if (!editMode_) {
        if (form_.Values().Rest.Run) SetEditMode(true);
        return;
    }
    SaveEditedRest();
}

bool TPageHealth::SaveEditedRest() {
    // The focus changes made by the save raise no second message.
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = false;
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
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = true;
    return saved;
}

void TPageHealth::IntervalExit(HWND to) {
    const std::wstring text = intervalBox_->Text();
    if (!editMode_ || to != restTimeBox_->Handle() || text.empty() || BoxValue(text) > 0) return;
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = false;
    ShowInfo(form_.Hwnd(), kIntervalTooSmall);
    intervalBox_->SetFocus();
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = true;
}

void TPageHealth::RestTimeExit(HWND to) {
    const std::wstring text = restTimeBox_->Text();
    if (!editMode_ || to != intervalBox_->Handle() || text.empty() || BoxValue(text) > 0) return;
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = false;
    ShowInfo(form_.Hwnd(), kRestTooSmall);
    restTimeBox_->SetFocus();
    intervalBox_->ExitAttached = restTimeBox_->ExitAttached = true;
}

void TPageHealth::ToggleRestReminder() {
    // The flag flips only once the file holds the new state, so a failed
    // write leaves the next click asking for the same change again.
    const bool on = !form_.Values().Rest.Run;
    if (editMode_) SetEditMode(false);
    if (!form_.GuardSave(form_.WriteRestRun(on))) return;
    UpdateRestDisplay();
    if (on) {
        form_.NotifyMainProgram(protocol::kEventRestOn);
        form_.GuardSave(form_.SaveRestSettings(form_.Values().Rest.Interval, form_.Values().Rest.RestTime));
        UpdateRestDisplay();
    } else {
        form_.NotifyMainProgram(protocol::kEventRestOff);
    }
}

bool TPageHealth::TurnRestOn(int interval, int restTime) {
    if (!form_.GuardSave(form_.WriteRestRun(true))) return false;
    form_.NotifyMainProgram(protocol::kEventRestOn);
    const bool saved = form_.GuardSave(form_.SaveRestSettings(interval, restTime));
    UpdateRestDisplay();
    return saved;
}

bool TPageHealth::TurnRestOff() {
    if (!form_.GuardSave(form_.WriteRestRun(false))) return false;
    form_.NotifyMainProgram(protocol::kEventRestOff);
    UpdateRestDisplay();
    return true;
}

// ---------------------------------------------------------------- eye colour

void TPageHealth::UpdateColorDisplay(bool on) {
    SetSwitchButtonSkin(*colorSwitch_, on);
    colorSwitch_->SetHint(on ? L"视力保护色已开启，点击关闭" : L"视力保护色已关闭，点击开启");
    SetText(colorTitle_, on ? L"已开启视力保护色" : L"未开启视力保护色", kHeadingColor, true);
}

bool TPageHealth::SetEyeColor(bool on) {
    if (on && IsEyeProtectionColorOn()) {
        UpdateColorDisplay(true);
        return true;
    }
    // The flag goes first: Corvalle's uninstall trusts it to put white back,
    // so the colour must never be green while the file says otherwise.
    if (!form_.GuardSave(form_.SaveEyeProtectionFlag(on))) return false;
    form_.SetWindowColor(on);
    UpdateColorDisplay(on);
    form_.NotifyMainProgram(on ? protocol::kEventColorOn : protocol::kEventColorOff);
    return true;
}

void TPageHealth::ToggleEyeColor() {
    SetEyeColor(!IsEyeProtectionColorOn());
}

// ---------------------------------------------------------------- exercises

void TPageHealth::PlayEyeExercise() {
    form_.NotifyMainProgram(protocol::kEventEyeCare);
    form_.PostToMainProgram(protocol::WM_SHOW_EYE_EXERCISE);
}

void TPageHealth::PlayNeckExercise() {
    form_.NotifyMainProgram(protocol::kEventNeckCare);
    form_.PostToMainProgram(protocol::WM_SHOW_NECK_EXERCISE);
}

// ---------------------------------------------------------------- display modes

void TPageHealth::SelectModeTab(int kind) {
    for (int k = 0; k < 3; ++k)
        SetTabSelected(modeTabs_[k], k == kind);
}

void TPageHealth::ShowSelectedModeInfo() {
    const TUserModeInfo* selected = system_->SelectedMode();
    ShowModeInfo(selected ? *selected : system_->CurrentMode());
}

void TPageHealth::ShowModeInfo(const TUserModeInfo& mode) {
    SetText(info_[0], L"分辨率：" + std::to_wstring(mode.Width) + L" x " + std::to_wstring(mode.Height), kPlainColor);
    SetText(info_[1], L"刷新频率：" + std::to_wstring(mode.Frequency) + L" Hz", kPlainColor);
    SetText(info_[2], L"文字大小(DPI)：" + std::to_wstring(mode.Dpi), kPlainColor);
    std::wstring left, right;
    SplitAt(mode.Description, L"\r\n", right, left);
    SetText(description_[0], left, kTabCaptionColor);
    SetText(description_[1], right, kTabCaptionColor);
    if (mode.Kind == kModeNone) {
        SetText(status_, kChooseModeHint, kHeadingColor, true);
    } else if (mode.Selected) {
        const bool pending = !system_->NoRestartPending();
        SetText(status_, L"您当前使用的是" + ModeCaption(mode.Kind) + (pending ? L"，DPI大小重启后生效。" : L"。"),
                kHeadingColor, true);
    }
}

bool TPageHealth::Confirm(const TConfirmInfo& info) {
    return ShowConfirm(info, form_.Hwnd(), hooks_.OnConfirmShown);
}

void TPageHealth::ApplyCompanionSettings(int mode) {
    switch (mode) {
    case kModeChild:
        TurnRestOn(60, 5);
        SetEyeColor(true);
        break;
    case kModeElderly:
        TurnRestOff();
        break;
    case kModeSaved:
        TurnRestOn(120, 5);
        break;
    default:
        break;
    }
}

void TPageHealth::RestoreCompanionSettings(const Snapshot& before, bool greenNow) {
    TurnRestOn(before.Interval, before.RestTime);
    if (!before.Run) TurnRestOff();
    if (greenNow != before.Green) SetEyeColor(before.Green);
}

void TPageHealth::SelectDisplayMode(int mode) {
    if (form_.Page() != kPageHealth || !system_) return;
    TSystemControl& control = *system_;
    if (editMode_) SetEditMode(false);

    const bool noRestartBefore = control.NoRestartPending();
    if (!control.ApplyMode(mode)) {
        // Without the user's own settings safely stored nothing may change.
        form_.GuardSave(false);
        SelectModeTab(control.LastSelected());
        ShowSelectedModeInfo();
        return;
    }
    const Snapshot before{form_.Values().Rest.Run, form_.Values().Rest.Interval, form_.Values().Rest.RestTime, IsEyeProtectionColorOn()};
    ApplyCompanionSettings(mode);

    const int previous = control.LastSelected();
    if (mode != previous) {
        const std::wstring name = ModeCaption(mode);
        // A log-off is all a return to the saved text size needs where the
        // controller says so; it is offered in place of a restart.
        const bool logOff = control.LogOffSuffices();
        const bool restart = !logOff && control.RestartNeeded();
        bool declined = false, endSession = false;
        if (logOff || restart) {
            if (Confirm(FirstConfirmInfo(name, previous, restart, IsVistaOrLater()))) {
                control.SetLastSelected(mode);
                // A failure here is told by the save after the boxes.
                control.SaveLastSelected();
                endSession = Confirm(SecondConfirmInfo(name, mode, restart));
            } else {
                declined = true;
            }
        } else {
            control.SetLastSelected(mode);
        }

        if (declined) {
            control.ApplyMode(previous);
            control.SetRestartNeeded(false);
            control.ClearLogOffSuffices();
            if (control.NoRestartPending() != noRestartBefore) control.RestoreRestartMarker(noRestartBefore);
            RestoreCompanionSettings(before, IsEyeProtectionColorOn());
        } else {
            form_.GuardSave(control.SaveLastSelected());
        }
        // The session ends only once everything of the switch is written.
        if (endSession) {
            ShutdownApi& api = hooks_.Shutdown ? *hooks_.Shutdown : SystemShutdownApi();
            DoShutdown(restart ? kShutdownRestart : kShutdownLogOff, false, api);
        }
    }
    SelectModeTab(control.LastSelected());
    ShowSelectedModeInfo();
}
