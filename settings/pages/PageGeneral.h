// Page 0 of the settings window: start with Windows, the wise health
// alerts with their ring, and the city of the weather tip.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/controls/CheckLabelButton.h"
#include "settings/controls/QAlpha.h"
#include "settings/pages/PageControls.h"

namespace settings {

class TPageHost;

constexpr wchar_t kWiseDetailUrl[] = L"http://www.zubvynmar.com/vynmar/wisealert.html";
constexpr wchar_t kRingFormatText[] = L"提醒铃声不支持此文件格式！";

class TGeneralPage {
public:
    explicit TGeneralPage(TPageHost& form);

    // Creates the controls and skins the window (once).
    void Build();
    // Shows the values the form read from the file.
    void Fill();
    void SetVisible(bool visible);
    void Paint(HDC dc);

    // "确定": saved → closed; failed → told, nothing changes.
    void OkClick();
    void BrowseClick();
    void PlayClick();
    void UpdateEnabling();
    void ProvinceChanged();
    void SetRing(const std::wstring& path);
    // The codes the current choice would be stored with.
    std::wstring SelectedProvinceCode() const;
    std::wstring SelectedCityCode() const;

    // Seams for the open dialog and the sound preview.
    std::function<bool(std::wstring& chosen)> ChooseFile;
    std::function<bool(const std::wstring& path)> PlayRing;
    std::function<void(const std::wstring& url)> OpenUrl;

    TCheckLabelButton* Autorun = nullptr;
    TCheckLabelButton* WiseAlert = nullptr;
    TCheckLabelButton* AlertRing = nullptr;
    TCheckLabelButton* CustomWeather = nullptr;
    TColorLabel* Detail = nullptr;
    TRingBox* RingBox = nullptr;
    TButtonImage* Play = nullptr;
    TButtonImage* Browse = nullptr;
    TColorLabel* ProvinceLabel = nullptr;
    TColorLabel* CityLabel = nullptr;
    TPageComboBox* Province = nullptr;
    TPageComboBox* City = nullptr;
    TButtonImage* Ok = nullptr;
    TButtonImage* Cancel = nullptr;

private:
    void SelectStored(const std::wstring& provinceCode, const std::wstring& cityCode);

    TPageHost& form_;
    std::vector<forms::TControl*> controls_;
    std::vector<std::wstring> cityCodes_;  // the rows of the city list
    TQRGBA background_, title_, bottom_;
};

}  // namespace settings
