#include "settings/pages/DisplayModePanel.h"

#include "settings/pages/EyeColorPanel.h"
#include "settings/pages/HealthLayout.h"
#include "settings/pages/HealthRestPanel.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/page_host.h"

namespace settings {

namespace {

constexpr wchar_t kChooseModeHint[] = L"请根据每个模式的说明，选择适合自己的模式，缓解视觉疲劳！";

// The companion settings each mode brings (minutes).
constexpr int kChildRestInterval = 60, kChildRestTime = 5;
constexpr int kSavedRestInterval = 120, kSavedRestTime = 5;

// Everything lines up at kLeft: the status line, the tabs side by side,
// then between two dotted lines the three rows of data, each an icon and
// its text, and the two lines of the mode's description.
constexpr int kLeft = 30;
constexpr int kStatusTop = 104, kWideLineWidth = 380;
constexpr int kTabTop = 145, kTabWidth = 65, kTabHeight = 69, kTabPitch = 77;
constexpr int kDottedTops[2] = {228, 312};
constexpr int kDottedWidth = 260;
constexpr int kRowTop = 238, kRowPitch = 23, kIconSize = 16;
constexpr int kInfoLeft = 52, kInfoWidth = 200, kInfoDrop = 1;  // a row's text, right of its icon
constexpr int kDescriptionTops[2] = {324, 344};

std::wstring Format(const wchar_t* format, const std::wstring& name) {
    std::wstring out = format;
    const size_t at = out.find(L"%s");
    if (at != std::wstring::npos) out.replace(at, 2, name);
    return out;
}

}  // namespace

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

TDisplayModePanel::TDisplayModePanel(TPageHost& form, const THealthPageHooks& hooks, THealthRestPanel& rest,
                                     TEyeColorPanel& color)
    : form_(form), hooks_(hooks), rest_(rest), color_(color) {}

TDisplayModePanel::~TDisplayModePanel() = default;

void TDisplayModePanel::Build() {
    system_ = std::make_unique<TSystemControl>(hooks_.Display ? *hooks_.Display : SystemDisplayApi(),
                                               form_.SettingsPath());
    forms::TForm& f = form_;
    TFontSpec captionFont;
    captionFont.Name = UiFontName();
    captionFont.Height = kPageFontHeight;
    status_ = &f.Add<TColorLabel>(kLeft, kStatusTop, kWideLineWidth, kHealthLineHeight);
    for (int k = 0; k < kTabs; ++k) {
        TTabButton* tab = &f.Add<TTabButton>(kLeft + kTabPitch * k, kTabTop, kTabWidth, kTabHeight);
        tab->CaptionAlign = caBottom;
        tab->ShowCaption = true;
        tab->CaptionColor = kLabelColor;
        tab->SetFont(captionFont);
        tab->SetCaption(ModeCaption(k));
        tab->OnClick = [this, k](forms::TControl&) { SelectDisplayMode(k); };
        tab->OnMouseEnter = [this, k](forms::TControl&) {
            const TUserModeInfo* mode = system_->FindMode(k);
            ShowModeInfo(mode ? *mode : system_->CurrentMode());
        };
        tab->OnMouseLeave = [this](forms::TControl&) { ShowSelectedModeInfo(); };
        SetHandCursor(*tab);
        tabs_[k] = tab;
    }
    for (int i = 0; i < 2; ++i) lines_[i] = &f.Add<TGraphicPanel>(kLeft, kDottedTops[i], kDottedWidth, 1);
    for (int row = 0; row < kInfoRows; ++row) {
        icons_[row] = &f.Add<TGraphicPanel>(kLeft, kRowTop + kRowPitch * row, kIconSize, kIconSize);
        info_[row] = &f.Add<TColorLabel>(kInfoLeft, kRowTop + kInfoDrop + kRowPitch * row, kInfoWidth, kHealthLineHeight);
    }
    for (TGraphicPanel* panel : {lines_[0], lines_[1], icons_[0], icons_[1], icons_[2]}) panel->SetOutStyle(osGraphic);
    for (int i = 0; i < 2; ++i)
        description_[i] = &f.Add<TColorLabel>(kLeft, kDescriptionTops[i], kWideLineWidth, kHealthLineHeight);
}

void TDisplayModePanel::AddSkinTargets(TSkinTargets& t) {
    t.OriginModeTab = tabs_[kModeSaved];
    t.StandardMode = &standardMode_;
    t.StandardModeGray = &standardModeGray_;
    t.ChildModeTab = tabs_[kModeChild];
    t.OldManModeTab = tabs_[kModeElderly];
    t.DottedLines = {&lines_[0]->Background(), &lines_[1]->Background()};
    t.IconSolution = &icons_[0]->Background();
    t.IconRefresh = &icons_[1]->Background();
    t.IconFont = &icons_[2]->Background();
}

void TDisplayModePanel::FitPictures() {
    for (TGraphicPanel* panel : {lines_[0], lines_[1], icons_[0], icons_[1], icons_[2]}) {
        const TQRGBA& picture = panel->Background();
        if (picture.Empty()) continue;
        const RECT& r = panel->Bounds();
        panel->SetBounds(r.left, r.top, picture.Width(), picture.Height());
    }
}

void TDisplayModePanel::Show(bool shown) {
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{status_, lines_[0], lines_[1], description_[0],
                                                                      description_[1]})
        ShowControl(c, shown);
    for (int k = 0; k < kTabs; ++k) {
        ShowControl(tabs_[k], shown);
        ShowControl(icons_[k], shown);
        ShowControl(info_[k], shown);
    }
}

void TDisplayModePanel::ShowSelected() {
    SelectModeTab(system_->LastSelected());
    ShowSelectedModeInfo();
}

std::wstring TDisplayModePanel::ModeCaption(int kind) const {
    switch (kind) {
    case kModeChild: return L"儿童模式";
    case kModeElderly: return L"老人模式";
    case kModeSaved: return system_ && system_->FirstBackup() ? L"默认模式" : L"备份模式";
    default: return std::wstring();
    }
}

void TDisplayModePanel::SelectModeTab(int kind) {
    for (int k = 0; k < kTabs; ++k) SetTabSelected(tabs_[k], k == kind);
}

void TDisplayModePanel::ShowSelectedModeInfo() {
    const TUserModeInfo* selected = system_->SelectedMode();
    ShowModeInfo(selected ? *selected : system_->CurrentMode());
}

void TDisplayModePanel::ShowModeInfo(const TUserModeInfo& mode) {
    SetLabelText(*info_[0], L"分辨率：" + std::to_wstring(mode.Width) + L" x " + std::to_wstring(mode.Height),
                 kPlainColor);
    SetLabelText(*info_[1], L"刷新频率：" + std::to_wstring(mode.Frequency) + L" Hz", kPlainColor);
    SetLabelText(*info_[2], L"文字大小(DPI)：" + std::to_wstring(mode.Dpi), kPlainColor);
    std::wstring left, right;
    SplitAt(mode.Description, L"\r\n", right, left);
    SetLabelText(*description_[0], left, kLabelColor);
    SetLabelText(*description_[1], right, kLabelColor);
    if (mode.Kind == kModeNone) {
        SetLabelText(*status_, kChooseModeHint, kHeadingColor, true);
    } else if (mode.Selected) {
        const bool pending = !system_->NoRestartPending();
        SetLabelText(*status_,
                     L"您当前使用的是" + ModeCaption(mode.Kind) + (pending ? L"，DPI大小重启后生效。" : L"。"),
                     kHeadingColor, true);
    }
}

bool TDisplayModePanel::Confirm(const TConfirmInfo& info) {
    return ShowConfirm(info, form_.Hwnd(), hooks_.OnConfirmShown);
}

void TDisplayModePanel::ApplyCompanionSettings(int mode) {
    switch (mode) {
    case kModeChild:
        rest_.TurnRestOn(kChildRestInterval, kChildRestTime);
        color_.SetEyeColor(true);
        break;
    case kModeElderly:
        rest_.TurnRestOff();
        break;
    case kModeSaved:
        rest_.TurnRestOn(kSavedRestInterval, kSavedRestTime);
        break;
    default:
        break;
    }
}

void TDisplayModePanel::RestoreCompanionSettings(const Snapshot& before, bool greenNow) {
    rest_.TurnRestOn(before.Interval, before.RestTime);
    if (!before.Run) rest_.TurnRestOff();
    if (greenNow != before.Green) color_.SetEyeColor(before.Green);
}

void TDisplayModePanel::SelectDisplayMode(int mode) {
    if (form_.Page() != kPageHealth || !system_) return;
    TSystemControl& control = *system_;
    rest_.LeaveEditMode();

    const bool noRestartBefore = control.NoRestartPending();
    if (!control.ApplyMode(mode)) {
        // Without the user's own settings safely stored nothing may change.
        form_.GuardSave(false);
        SelectModeTab(control.LastSelected());
        ShowSelectedModeInfo();
        return;
    }
    const TRestSettings& rest = form_.Values().Rest;
    const Snapshot before{rest.Run, rest.Interval, rest.RestTime, IsEyeProtectionColorOn()};
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
            base::IPower& api = hooks_.Shutdown ? *hooks_.Shutdown : SystemShutdownApi();
            DoShutdown(restart ? base::ShutdownKind::Restart : base::ShutdownKind::LogOff, false, api);
        }
    }
    SelectModeTab(control.LastSelected());
    ShowSelectedModeInfo();
}

}  // namespace settings
