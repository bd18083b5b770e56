#include "settings/pages/PageGeneral.h"

#include <shellapi.h>

#include "base/log.h"
#include "settings/controls/SkinUtils.h"
#include "settings/model/CityCode.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"
#include "settings/pages/page_host.h"

namespace settings {

namespace {

constexpr int kLeft = 20;
constexpr int kWidth = 320, kHeight = 365;

TCheckLabelButton& AddCheckBox(forms::TForm& form, int left, int top, const std::wstring& caption) {
    TCheckLabelButton& box = form.Add<TCheckLabelButton>(left, top, 150, 16);
    box.AutoSize = true;
    box.SetFont(TFontSpec{UiFontName(), -12, fsNone, 0});
    box.SetFontColor(6512215);
    box.SetCaption(caption);
    box.SetTabStop(true);
    return box;
}

}  // namespace

TGeneralPage::TGeneralPage(TPageHost& form) : form_(form) {
    ChooseFile = [this](std::wstring& chosen) { return ChooseRingFile(form_.Hwnd(), RingBox->Path(), chosen); };
    PlayRing = [this](const std::wstring& path) { return form_.RingPreview().Play(path); };
    OpenUrl = [](const std::wstring& url) {
        // The shell answers a number above 32 when it started something.
        const auto started = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(nullptr, L"Open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (started <= 32) base::LogFailedCall(L"the details link", L"ShellExecuteW");
    };
}

void TGeneralPage::Build() {
    forms::TForm& f = form_;
    auto keep = [this](forms::TControl& c) -> forms::TControl& {
        controls_.push_back(&c);
        return c;
    };

    keep(AddLabel(f, kLeft, 76, L"常规设置", kLabelColor, true));
    Autorun = &AddCheckBox(f, kLeft, 98, L"开机时启动Vynmar");
    keep(*Autorun);

    keep(AddLabel(f, kLeft, 131, L"提醒设置", kLabelColor, true));
    WiseAlert = &AddCheckBox(f, kLeft, 153, L"智能健康提醒");
    keep(*WiseAlert);
    Detail = &f.Add<TColorLabel>(0, 153, 0, 16);
    Detail->SetHint(L"智能健康提醒包括：天气,吃饭,喝水等,点击查看详细信息");
    auto showDetail = [this](bool underline) {
        auto link = std::make_unique<TTextLink>();
        link->Cursor = ::LoadCursorW(nullptr, IDC_HAND);
        link->OnClick = [this](TColorLabel&) { if (OpenUrl) OpenUrl(kWiseDetailUrl); };
        Detail->ClearText();
        Detail->AddText(L"详情", TFontInfo{RGB(11, 130, 213), UiFontName(), -12, underline ? unsigned(fsUnderline) : unsigned(fsNone)},
                        std::move(link));
        Detail->Invalidate();
    };
    showDetail(false);
    Detail->OnMouseEnter = [showDetail](forms::TControl&) { showDetail(true); };
    Detail->OnMouseLeave = [showDetail](forms::TControl&) { showDetail(false); };
    keep(*Detail);
    AlertRing = &AddCheckBox(f, kLeft, 175, L"开启智能健康提醒铃声");
    keep(*AlertRing);
    RingBox = &f.Add<TRingBox>(kLeft + 18, 197, 180, 24);
    keep(*RingBox);
    Play = &f.Add<TButtonImage>(kLeft + 18 + 180 - 21, 200, 18, 18);
    Play->SetHint(L"试听");
    keep(*Play);
    Browse = &AddPushButton(f, kLeft + 18 + 180 + 8, 197, 70, 24, L"浏览...");
    keep(*Browse);

    keep(AddLabel(f, kLeft, 236, L"天气预报", kLabelColor, true));
    CustomWeather = &AddCheckBox(f, kLeft, 258, L"自定义城市天气预报");
    keep(*CustomWeather);
    ProvinceLabel = &AddLabel(f, kLeft, 288, L"省份：");
    keep(*ProvinceLabel);
    Province = &f.Add<TPageComboBox>(kLeft + 38, 285, 90, 300);
    keep(*Province);
    City = &f.Add<TPageComboBox>(kWidth - 16 - 90, 285, 90, 300);
    keep(*City);
    CityLabel = &AddLabel(f, kWidth - 16 - 90 - 38, 288, L"城市：");
    keep(*CityLabel);

    Cancel = &AddPushButton(f, kWidth - 10 - 60, kHeight - 31, 60, 23, L"取消");
    Ok = &AddPushButton(f, kWidth - 10 - 60 - 10 - 60, kHeight - 31, 60, 23, L"确定");
    keep(*Ok);
    keep(*Cancel);

    TSkinTargets t;
    t.Background = &background_;
    t.TitleSet = &title_;
    t.BottomPanel = &bottom_;
    t.PushButtons = {Ok, Cancel, Browse, nullptr};
    t.SoundBrowseButtons = {Play, nullptr};
    t.CheckBoxes = {Autorun, WiseAlert, AlertRing};
    t.FourthCheckBox = CustomWeather;
    t.ComboBoxes = {Province, City};
    LoadSkin(t);
    for (TButtonImage* b : {Ok, Cancel, Browse}) StylePushButton(*b);
    for (TPageComboBox* box : {Province, City}) StyleDropDown(*box);
    // The link sits 20 pixels right of its box's caption.
    const RECT& wise = WiseAlert->Bounds();
    const SIZE extent = Detail->TextExtent();
    Detail->SetBounds(wise.right + 20, wise.top, extent.cx, 16);

    WiseAlert->OnClick = [this](forms::TControl&) { UpdateEnabling(); };
    AlertRing->OnClick = [this](forms::TControl&) { UpdateEnabling(); };
    CustomWeather->OnClick = [this](forms::TControl&) { UpdateEnabling(); };
    Browse->OnClick = [this](forms::TControl&) { BrowseClick(); };
    Play->OnClick = [this](forms::TControl&) { PlayClick(); };
    Ok->OnClick = [this](forms::TControl&) { OkClick(); };
    Cancel->OnClick = [this](forms::TControl&) { form_.Close(); };
    Province->OnChange = [this] { ProvinceChanged(); };

    for (int n = 0; n < ProvinceList().Count(); ++n) Province->AddItem(ProvinceList().At(n)->Name);
    Province->SetItemIndex(0);
    ProvinceChanged();
}

void TGeneralPage::Fill() {
    Autorun->SetChecked(form_.Values().Autorun);
    WiseAlert->SetChecked(form_.Values().General.WiseHealthAlert);
    AlertRing->SetChecked(form_.Values().General.UseWiseAlertRing);
    SetRing(form_.Values().General.Ring);
    CustomWeather->SetChecked(form_.Values().General.CustomWeather);
    SelectStored(form_.Values().General.ProvinceCode, form_.Values().General.CityCode);
    UpdateEnabling();
}

void TGeneralPage::SelectStored(const std::wstring& provinceCode, const std::wstring& cityCode) {
    int province = 0;
    for (int n = 0; n < ProvinceList().Count(); ++n)
        if (ProvinceList().At(n)->Code == provinceCode) province = n;
    Province->SetItemIndex(province);
    ProvinceChanged();
    // The city is found by its code among the rows of its own province: a
    // name two provinces share must not pull in the other one.
    for (size_t n = 0; n < cityCodes_.size(); ++n)
        if (cityCodes_[n] == cityCode) City->SetItemIndex(static_cast<int>(n));
}

void TGeneralPage::ProvinceChanged() {
    City->Clear();
    cityCodes_.clear();
    const TDataEntry* province = ProvinceList().At(Province->ItemIndex());
    const TDataList* cities = CityList();
    if (!province || !cities) return;
    for (const TDataEntry* city : CitiesOfProvince(*cities, province->Code)) {
        City->AddItem(city->Name);
        cityCodes_.push_back(city->Code);
    }
    City->SetItemIndex(0);
}

std::wstring TGeneralPage::SelectedProvinceCode() const {
    const TDataEntry* province = ProvinceList().At(Province->ItemIndex());
    return province ? province->Code : std::wstring();
}

std::wstring TGeneralPage::SelectedCityCode() const {
    const int row = City->ItemIndex();
    return row >= 0 && row < static_cast<int>(cityCodes_.size()) ? cityCodes_[static_cast<size_t>(row)] : std::wstring();
}

void TGeneralPage::UpdateEnabling() {
    const bool wise = WiseAlert->Checked();
    AlertRing->SetEnabled(wise);
    const bool ring = wise && AlertRing->Checked();
    RingBox->SetEnabled(ring);
    Browse->SetEnabled(ring);
    Play->SetEnabled(ring && FileExistsAnyView(RingBox->Path()));
    const bool weather = CustomWeather->Checked();
    const COLORREF labelColor = weather ? RGB(0, 0, 0) : kGreyTextColor;
    SetLabelText(*ProvinceLabel, L"省份：", labelColor);
    SetLabelText(*CityLabel, L"城市：", labelColor);
    Province->SetEnabled(weather);
    City->SetEnabled(weather);
}

void TGeneralPage::SetRing(const std::wstring& path) {
    RingBox->SetPath(path);
    Play->SetEnabled(RingBox->Enabled() && FileExistsAnyView(path));
}

void TGeneralPage::BrowseClick() {
    std::wstring chosen;
    if (!ChooseFile || !ChooseFile(chosen)) return;
    if (!chosen.empty() && FileExistsAnyView(chosen) && FileHasExtension(chosen, kSoundExtensions)) {
        SetRing(chosen);
        return;
    }
    ShowInfo(form_.Hwnd(), kRingFormatText);
    SetRing(std::wstring());
}

void TGeneralPage::PlayClick() {
    const std::wstring& path = RingBox->Path();
    if (path.empty() || !FileHasExtension(path, kSoundExtensions)) return;
    if (PlayRing) PlayRing(path);
}

void TGeneralPage::OkClick() {
    const TGeneralSettings before = form_.Values().General;
    const bool autorunBefore = form_.Values().Autorun;
    form_.Values().General.WiseHealthAlert = WiseAlert->Checked();
    form_.Values().General.UseWiseAlertRing = AlertRing->Checked();
    form_.Values().General.Ring = RingBox->Path();
    form_.Values().General.CustomWeather = CustomWeather->Checked();
    form_.Values().General.ProvinceCode = SelectedProvinceCode();
    form_.Values().General.CityCode = SelectedCityCode();
    form_.Values().Autorun = Autorun->Checked();
    if (form_.GuardSave(form_.SaveGeneralSettings())) {
        form_.Close();
        return;
    }
    form_.Values().General = before;
    form_.Values().Autorun = autorunBefore;
}

void TGeneralPage::SetVisible(bool visible) {
    for (forms::TControl* c : controls_) c->SetVisible(visible);
}

void TGeneralPage::Paint(HDC dc) {
    if (!background_.Empty()) DrawRGBA(dc, 0, 0, background_);
    if (!title_.Empty()) DrawRGBA(dc, 5, 13, title_);
    if (!bottom_.Empty())
        StretchDrawRGBA(dc, 1, kHeight - 40, 255, bottom_.Height(), bottom_.Width(), 0, 0, bottom_, 39, kWidth - 2);
}

}  // namespace settings
