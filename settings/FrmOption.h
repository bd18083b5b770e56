// TFormCorvalleOption: the settings program's one window. This holds its
// frame (class, size, region, title band, close button), the values of its
// pages as read from Corvalle.ini, every write of the file with the message
// that follows it, and the two ways Corvalle ends it. The pages' controls are
// laid on top of this by their own units.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/window_messages.h"
#include "settings/ButtonImage.h"
#include "settings/FrmConfirmMode.h"
#include "settings/PageHealth.h"
#include "settings/RingPreview.h"
#include "settings/SettingsFile.h"
#include "settings/StartUp.h"
#include "settings/forms/form.h"

constexpr wchar_t kSaveFailedText[] = L"保存数据失败，文件可能被占用！";
constexpr wchar_t kLoadFailedText[] = L"加载配置时出错，文件可能被占用！";
class TGeneralPage;
class TListPages;

constexpr wchar_t kModeRestoredText[] = L"Vynmar已经帮您还原显示模式，DPI大小重启后生效。";

class TFormCorvalleOption : public forms::TForm {
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
    static constexpr int kTitleBandHeight = 65;

    TFormCorvalleOption(OptionPage page, bool uninstall, Hooks hooks = Hooks());
    ~TFormCorvalleOption() override;

    OptionPage Page() const { return page_; }
    void ShowPage(OptionPage page);
    const std::wstring& SettingsPath() const { return settingsPath_; }
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
    TRingPreview& RingPreview() { return ringPreview_; }

    // Reads every value into fresh lists, then rewrites the shutdown list
    // (folding the older single-entry section in). False when the rewrite
    // failed; the lists read stay in memory for a retry.
    bool LoadSettings();
    bool RewriteShutDownList();
    bool SaveGeneralSettings();
    bool SaveRestSettings(int interval, int restTime);
    bool WriteRestRun(bool on);
    bool SaveEyeProtectionFlag(bool on);
    bool SaveTimerAlertList();
    bool SaveShutDownList();
    void SetWindowColor(bool eyeProtection);

    void PostToMainProgram(UINT message);
    void NotifyMainProgram(protocol::SettingsEventCode code);

    // The save guard: a failed save tells the user and leaves everything as
    // it is. Returns `saved`.
    bool GuardSave(bool saved);
    // "确定" of the general page: saved → closed; failed → told, still open.
    void GeneralOkClick();
    // The close button: codes 9 / 12 for an empty list page, then close.
    void CloseButtonClick();

    // The values of the pages.
    TGeneralSettings General;
    bool Autorun = false;
    TRestSettings Rest;
    std::vector<TTimerAlertInfo> TimerAlerts;
    std::vector<TShutDownAlertInfo> ShutDowns;
    std::wstring DefaultRingPath;

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
    std::wstring settingsPath_;
    HWND mainWindow_ = nullptr;
    TButtonImage* closeButton_ = nullptr;
    std::unique_ptr<TGeneralPage> generalPage_;
    std::unique_ptr<TListPages> listPages_;

    // Remembered at load for the change codes of the general save.
    bool loadedAutorun_ = false;
    bool loadedWiseHealthAlert_ = true;
    bool loadedUseWiseAlertRing_ = false;
    // Section counts remembered for the list saves.
    int timerAlertOldCount_ = 0;
    int shutDownOldCount_ = 0;
    bool unnumberedShutDownPending_ = false;

    std::unique_ptr<TPageHealth> health_;
    TRingPreview ringPreview_;
};

// Does a WM_SHOW_PAGE page ask for the group a window shows?
bool ShowPageMatches(int requested, OptionPage own);
