#include "settings/pages/PageHealth.h"

#include "protocol/window_messages.h"
#include "settings/controls/SkinUtils.h"
#include "settings/pages/HealthLayout.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/page_host.h"

namespace settings {

namespace {

constexpr int kTabTop = 14, kTabWidth = 135, kTabHeight = 47;
constexpr int kEyeTabLeft = 10, kNeckTabLeft = 155;
constexpr int kTitleTop = 13, kTitleRightMargin = 5;
// The eye exercise button at the bottom right, the eye hint over it under
// the colour panel; the neck exercise button and its hint in the middle.
constexpr int kEyeExerciseWidth = 101, kEyeExerciseHeight = 45;
constexpr int kEyeExerciseLeft = kHealthWidth - 201, kEyeExerciseTop = kHealthHeight - 75;
constexpr int kEyeHintHeight = 40;
constexpr RECT kNeckHint{70, 115, 370, 185};
constexpr RECT kNeckExercise{260, 205, 385, 316};
constexpr RECT kSpareNeckExercise{260, 205, 390, 319};

template <class Control>
Control& AddAt(forms::TForm& form, const RECT& r) {
    return form.Add<Control>(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The pictures decide the size of what shows them.
void FitToPicture(TGraphicPanel& panel) {
    const TQRGBA& picture = panel.Background();
    if (picture.Empty()) return;
    const RECT& r = panel.Bounds();
    panel.SetBounds(r.left, r.top, picture.Width(), picture.Height());
}

}  // namespace

TPageHealth::TPageHealth(TPageHost& form, THealthPageHooks hooks)
    : form_(form), hooks_(std::move(hooks)), rest_(form), color_(form), modes_(form, hooks_, rest_, color_) {}

TPageHealth::~TPageHealth() = default;

void TPageHealth::Build() {
    forms::TForm& f = form_;
    eyeTab_ = &f.Add<TTabButton>(kEyeTabLeft, kTabTop, kTabWidth, kTabHeight);
    neckTab_ = &f.Add<TTabButton>(kNeckTabLeft, kTabTop, kTabWidth, kTabHeight);
    eyeTab_->OnClick = [this](forms::TControl&) { ShowSubPage(kSubPageEye); };
    neckTab_->OnClick = [this](forms::TControl&) { ShowSubPage(kSubPageNeck); };
    SetHandCursor(*eyeTab_);
    SetHandCursor(*neckTab_);

    // Each panel is created before what lies on it: it is drawn under it.
    rest_.Build();
    color_.Build();
    eyeHint_ = &f.Add<TGraphicPanel>(kHealthPanelLeft, kEyeHintTop, kHealthPanelWidth, kEyeHintHeight);
    eyeHint_->SetOutStyle(osGraphic);
    eyeExercise_ = &f.Add<TButtonImage>(kEyeExerciseLeft, kEyeExerciseTop, kEyeExerciseWidth, kEyeExerciseHeight);
    eyeExercise_->SetHint(L"播放眼保健操");
    eyeExercise_->OnClick = [this](forms::TControl&) { PlayEyeExercise(); };
    SetHandCursor(*eyeExercise_);
    modes_.Build();

    neckHint_ = &AddAt<TGraphicPanel>(f, kNeckHint);
    neckHint_->SetOutStyle(osGraphic);
    neckExercise_ = &AddAt<TButtonImage>(f, kNeckExercise);
    neckExercise_->SetHint(L"播放颈椎保健操");
    neckExercise_->OnClick = [this](forms::TControl&) { PlayNeckExercise(); };
    SetHandCursor(*neckExercise_);
    spareNeckExercise_ = &AddAt<TButtonImage>(f, kSpareNeckExercise);
    spareNeckExercise_->SetVisible(false);

    LoadSkin();
    ShowSubPage(kSubPageNone);
}

void TPageHealth::LoadSkin() {
    TSkinTargets t;
    t.HealthPage = true;
    t.Background = &background_;
    t.TitleEye = &title_;
    t.EyeTab = eyeTab_;
    t.NeckTab = neckTab_;
    t.EyeExercise = eyeExercise_;
    t.NeckExercise = neckExercise_;
    t.SpareNeckExercise = spareNeckExercise_;
    t.RestHint = &neckHint_->Background();
    t.RestHint2 = &eyeHint_->Background();
    rest_.AddSkinTargets(t);
    color_.AddSkinTargets(t);
    modes_.AddSkinTargets(t);
    settings::LoadSkin(t);
    // The low eye hint leaves the eye exercise button its place; the tall
    // one stays as the fallback.
    LoadSkinImage(&eyeHint_->Background(), L"bg_eye_hint");
    FitToPicture(*neckHint_);
    FitToPicture(*eyeHint_);
    rest_.FitPictures();
    modes_.FitPictures();
}

bool TPageHealth::PaintBackground(HDC dc, const RECT& client) {
    if (background_.Empty()) return false;
    StretchDrawRGBA(dc, 0, 0, 255, background_.Height(), background_.Width(), 0, 0, background_, client.bottom,
                    client.right);
    if (!title_.Empty()) DrawRGBA(dc, client.right - title_.Width() - kTitleRightMargin, kTitleTop, title_);
    return true;
}

void TPageHealth::ShowSubPage(int subPage) {
    if (subPage == subPage_ && subPage != kSubPageNone) return;
    subPage_ = subPage;
    const bool eye = subPage == kSubPageEye, neck = subPage == kSubPageNeck, any = eye || neck;
    SetTabSelected(eyeTab_, eye);
    SetTabSelected(neckTab_, neck);
    ShowControl(eyeTab_, any);
    ShowControl(neckTab_, any);

    rest_.Show(any);
    color_.Show(eye);
    ShowControl(eyeExercise_, eye);
    ShowControl(eyeHint_, eye);
    modes_.Show(eye);
    ShowControl(neckHint_, neck);
    ShowControl(neckExercise_, neck);
    ShowControl(spareNeckExercise_, false);
    if (form_.Hwnd()) ::InvalidateRect(form_.Hwnd(), nullptr, FALSE);
}

void TPageHealth::Open() {
    rest_.UpdateDisplay();
    color_.UpdateDisplay();
    modes_.ShowSelected();
    ShowSubPage(kSubPageEye);
}

void TPageHealth::PlayEyeExercise() {
    form_.NotifyMainProgram(protocol::kEventEyeCare);
    form_.PostToMainProgram(protocol::WM_SHOW_EYE_EXERCISE);
}

void TPageHealth::PlayNeckExercise() {
    form_.NotifyMainProgram(protocol::kEventNeckCare);
    form_.PostToMainProgram(protocol::WM_SHOW_NECK_EXERCISE);
}

}  // namespace settings
