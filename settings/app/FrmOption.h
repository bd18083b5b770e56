// TFormCorvalleOption: the settings program's one window. This holds its
// frame (class, size, region, title band, close button), the values of its
// pages (kept by TOptionValues), the message that follows every write of the
// file, and the two ways Corvalle ends it. The pages' controls are laid on
// top of this by their own units, which reach it as their TPageHost.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/window_messages.h"
#include "settings/app/StartUp.h"
#include "settings/controls/ButtonImage.h"
#include "settings/model/OptionValues.h"
#include "settings/pages/FrmConfirmMode.h"
#include "settings/pages/PageHealth.h"
#include "settings/pages/RingPreview.h"
#include "settings/pages/page_host.h"

namespace settings {

constexpr wchar_t kLoadFailedText[] = L"加载配置时出错，文件可能被占用！";
class TGeneralPage;
class TListPages;

constexpr wchar_t kModeRestoredText[] = L"Vynmar已经帮您还原显示模式，DPI大小重启后生效。";

class TFormCorvalleOption : public TPageHost {
public:
    // What the form does to end the process, and how it restores the saved
    // display mode on uninstall. Tests record the first; the display-mode
    // controller provides the second.
    struct Hooks {
        std::function<void()> Terminate;
        std::function<bool()> RestoreSavedMode;
        THealthPageHooks Health;
    };

    static constexpr UINT_PTR kCloseTimerId = 1;  // tmrClose
    static constexpr UINT kCloseTimerInterval = 500;

    TFormCorvalleOption(OptionPage page, bool uninstall, Hooks hooks = Hooks());
    ~TFormCorvalleOption() override;

    OptionPage Page() const override { return page_; }
    void ShowPage(OptionPage page) override;
    const std::wstring& SettingsPath() const override { return values_.Path; }
    TOptionValues& Values() override { return values_; }
    TButtonImage* CloseButton() const { return closeButton_; }
    // The general page (page 0) and the list pages (1 to 4); null when the
    // window shows another page group.
    TGeneralPage* GeneralPage() const { return generalPage_.get(); }
    TListPages* ListPages() const { return listPages_.get(); }
    // Corvalle's window as last looked up.
    HWND MainProgramWindow() const { return mainWindow_; }
    // The health page; null on the other pages.
    TPageHealth* HealthPage() const { return health_.get(); }
    // The one ring preview of the window's pages.
    TRingPreview& RingPreview() override { return ringPreview_; }

    // Reads every value into fresh lists, then rewrites the shutdown list
    // (folding the older single-entry section in). False when the rewrite
    // failed; the lists read stay in memory for a retry.
    bool LoadSettings();
    bool RewriteShutDownList();
    bool SaveGeneralSettings() override;
    bool SaveRestSettings(int interval, int restTime) override;
    bool WriteRestRun(bool on) override;
    bool SaveEyeProtectionFlag(bool on) override;
    bool SaveTimerAlertList() override;
    bool SaveShutDownList() override;
    void SetWindowColor(bool eyeProtection) override;

    void PostToMainProgram(UINT message) override;
    void NotifyMainProgram(protocol::SettingsEventCode code) override;

    bool GuardSave(bool saved) override;
    // The close button: codes 9 / 12 for an empty list page, then close.
    void CloseButtonClick();

private:
    TOptionValues values_;

public:
    // The values of the pages, by the names the window has always shown them.
    TGeneralSettings& General = values_.General;
    bool& Autorun = values_.Autorun;
    TRestSettings& Rest = values_.Rest;
    std::vector<TTimerAlertInfo>& TimerAlerts = values_.TimerAlerts;
    std::vector<TShutDownAlertInfo>& ShutDowns = values_.ShutDowns;
    std::wstring& DefaultRingPath = values_.DefaultRingPath;

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(protocol::WM_CLOSE_SETTINGS, WMCloseSettings)
        WL_MESSAGE_HANDLER(protocol::WM_SHOW_PAGE, WMShowPage)
        WL_CHAIN_MSG_MAP(forms::TForm)
    WL_END_MSG_MAP()

protected:
    void FormCreate() override;
    void FormPaint(HDC dc, const RECT& client) override;
    void FormMouseDown(POINT pt) override;
    void FormDestroy() override;
    bool DialogKey(UINT key, bool shift) override;

private:
    static forms::FormParams MakeParams(OptionPage page);

    LRESULT WMCloseSettings(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT WMShowPage(UINT, WPARAM, LPARAM, BOOL&);
    void BuildSettingsWindow();
    void tmrCloseTimer();
    void Terminate();
    HWND LookUpMainProgram();

    OptionPage page_;
    bool uninstall_;
    Hooks hooks_;
    HWND mainWindow_ = nullptr;
    TButtonImage* closeButton_ = nullptr;
    std::unique_ptr<TGeneralPage> generalPage_;
    std::unique_ptr<TListPages> listPages_;

    std::unique_ptr<TPageHealth> health_;
    TRingPreview ringPreview_;
};

// Does a WM_SHOW_PAGE page ask for the group a window shows?
bool ShowPageMatches(int requested, OptionPage own);

}  // namespace settings
