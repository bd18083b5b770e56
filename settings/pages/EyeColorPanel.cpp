#include "settings/pages/EyeColorPanel.h"

#include "settings/pages/HealthLayout.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/page_host.h"

namespace settings {

namespace {

constexpr int kTextLeft = kHealthPanelLeft + kPanelTextInset;
constexpr int kTitleTop = kColorPanelTop + 10, kTitleWidth = 110;
constexpr int kSwitchTop = kColorPanelTop + 11;
constexpr int kLineTop = kColorPanelTop + 36, kLineGap = 19, kLineWidth = 150;

}  // namespace

TEyeColorPanel::TEyeColorPanel(TPageHost& form) : form_(form) {}

void TEyeColorPanel::Build() {
    forms::TForm& f = form_;
    // The panel first: it is drawn under what lies on it.
    panel_ = &f.Add<TGraphicPanel>(kHealthPanelLeft, kColorPanelTop, kHealthPanelWidth, kColorPanelHeight);
    panel_->SetOutStyle(osGraphic);
    title_ = &f.Add<TColorLabel>(kTextLeft, kTitleTop, kTitleWidth, kHealthLineHeight);
    switch_ = &f.Add<TButtonImage>(kSwitchLeft, kSwitchTop, kSwitchWidth, kSwitchHeight);
    switch_->OnClick = [this](forms::TControl&) { ToggleEyeColor(); };
    SetHandCursor(*switch_);
    lines_[0] = &f.Add<TColorLabel>(kTextLeft, kLineTop, kLineWidth, kHealthLineHeight);
    lines_[1] = &f.Add<TColorLabel>(kTextLeft, kLineTop + kLineGap, kLineWidth, kHealthLineHeight);
    SetLabelText(*lines_[0], L"窗体背景设置为豆沙绿色，", kPlainColor);
    SetLabelText(*lines_[1], L"可缓解视疲劳！", kPlainColor);
}

void TEyeColorPanel::AddSkinTargets(TSkinTargets& t) {
    t.ColorPanel = &panel_->Background();
}

void TEyeColorPanel::Show(bool shown) {
    for (forms::TControl* c : std::initializer_list<forms::TControl*>{panel_, title_, switch_, lines_[0], lines_[1]})
        ShowControl(c, shown);
}

void TEyeColorPanel::UpdateDisplay() {
    ShowState(IsEyeProtectionColorOn());
}

void TEyeColorPanel::ShowState(bool on) {
    SetSwitchButtonSkin(*switch_, on);
    switch_->SetHint(on ? L"视力保护色已开启，点击关闭" : L"视力保护色已关闭，点击开启");
    SetLabelText(*title_, on ? L"已开启视力保护色" : L"未开启视力保护色", kHeadingColor, true);
}

bool TEyeColorPanel::SetEyeColor(bool on) {
    if (on && IsEyeProtectionColorOn()) {
        ShowState(true);
        return true;
    }
    // The flag goes first: Corvalle's uninstall trusts it to put white back,
    // so the colour must never be green while the file says otherwise.
    if (!form_.GuardSave(form_.SaveEyeProtectionFlag(on))) return false;
    form_.SetWindowColor(on);
    ShowState(on);
    form_.NotifyMainProgram(on ? protocol::kEventColorOn : protocol::kEventColorOff);
    return true;
}

void TEyeColorPanel::ToggleEyeColor() {
    SetEyeColor(!IsEyeProtectionColorOn());
}

}  // namespace settings
