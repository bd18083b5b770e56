#include "settings/app/FrmOption.h"

#include "protocol/eye_protection_color.h"
#include "settings/controls/SkinUtils.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/PageControls.h"
#include "settings/pages/PageGeneral.h"
#include "settings/pages/PageLists.h"

namespace settings {

namespace {

constexpr int kNarrowWidth = 320, kNarrowHeight = 365;
constexpr int kWideWidth = 620, kWideHeight = 420;
constexpr COLORREF kTextColor = RGB(87, 94, 99);
constexpr COLORREF kBandColor = RGB(225, 238, 248);

bool IsUsableWindow(HWND hwnd) {
    return hwnd != nullptr && hwnd != INVALID_HANDLE_VALUE;
}

struct ConfirmSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindOwnConfirmMode(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ConfirmSearch*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (::lstrcmpW(name, kConfirmModeWindowClass) != 0) return TRUE;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

bool ShowPageMatches(int requested, OptionPage own) {
    switch (requested) {
    case kPageGeneral: return own == kPageGeneral;
    case kPageHealth: return own == kPageHealth;
    case kPageTimerAlertList: return own == kPageTimerAlertList || own == kPageTimerAlertEdit;
    case kPageShutDownList: return own == kPageShutDownList || own == kPageShutDownEdit;
    default: return false;
    }
}

forms::FormParams TFormCorvalleOption::MakeParams(OptionPage page) {
    forms::FormParams p;
    p.ClassName = protocol::kSettingsWindowClass;
    p.Caption = L"ZubVynmar设置 - " + PageTitle(page);
    p.ClientWidth = page == kPageHealth ? kWideWidth : kNarrowWidth;
    p.ClientHeight = page == kPageHealth ? kWideHeight : kNarrowHeight;
    p.Color = RGB(247, 252, 254);
    p.FontHeight = -12;
    p.FontName = UiFontName();
    return p;
}

TFormCorvalleOption::TFormCorvalleOption(OptionPage page, bool uninstall, Hooks hooks)
    : TPageHost(MakeParams(page)), page_(page), uninstall_(uninstall), hooks_(std::move(hooks)) {}

TFormCorvalleOption::~TFormCorvalleOption() = default;

bool TFormCorvalleOption::DialogKey(UINT key, bool shift) {
    if (listPages_ && listPages_->DialogKey(key, shift)) return true;
    // Enter in a closed drop-down list moves on, as Tab does; in an open one
    // it first takes the item.
    if (key == VK_RETURN && !shift) {
        auto* list = dynamic_cast<TPageComboBox*>(FocusedControl());
        if (list && !::SendMessageW(list->Handle(), CB_GETDROPPEDSTATE, 0, 0)) return SelectNext(true);
    }
    return TForm::DialogKey(key, shift);
}

void TFormCorvalleOption::FormDestroy() {
    // A preview still playing ends with the window.
    ringPreview_.Stop();
}

void TFormCorvalleOption::FormCreate() {
    BuildSettingsWindow();
}

void TFormCorvalleOption::BuildSettingsWindow() {
    values_.Path = SettingsFilePath();
    if (page_ == kPageHealth) {
        SetClientSize(kWideWidth, kWideHeight);
        if (uninstall_) {
            // Nothing else of the window or the file is wanted on uninstall.
            if (hooks_.RestoreSavedMode && hooks_.RestoreSavedMode()) ShowInfo(nullptr, kModeRestoredText);
            Terminate();
            return;
        }
    } else {
        SetClientSize(kNarrowWidth, kNarrowHeight);
    }

    const int width = Params().ClientWidth, height = Params().ClientHeight;
    closeButton_ = &Add<TButtonImage>(width - 40, 1, 39, 20);
    closeButton_->SetHint(L"关闭");
    SkinImageButton(closeButton_, L"btnClose", 39, 20, kThreeStates);
    closeButton_->OnClick = [this](forms::TControl&) { CloseButtonClick(); };
    SetRoundWindowRegion(Hwnd(), width, height, 7);

    DefaultRingPath = DefaultRing();
    // A failed rewrite is tried once more from the lists already read: the
    // file may be half rewritten by then and must not be read again.
    if (!LoadSettings()) {
        TIniFile(values_.Path).NormalizeAttributes();
        if (!RewriteShutDownList()) {
            ShowInfo(Hwnd(), kLoadFailedText);
            Terminate();
            return;
        }
    }
    if (page_ == kPageHealth) {
        health_ = std::make_unique<TPageHealth>(*this, hooks_.Health);
        health_->Build();
    }
    if (page_ == kPageGeneral) {
        generalPage_ = std::make_unique<TGeneralPage>(*this);
        generalPage_->Build();
        generalPage_->Fill();
    } else if (page_ >= kPageTimerAlertList && page_ <= kPageShutDownEdit) {
        listPages_ = std::make_unique<TListPages>(*this);
        listPages_->Build();
    }
    ShowPage(page_);
    if (health_) health_->Open();
    SetTimer(kCloseTimerId, kCloseTimerInterval, [this] { tmrCloseTimer(); });
}

void TFormCorvalleOption::ShowPage(OptionPage page) {
    page_ = page;
    if (health_ && page != kPageHealth) health_->ShowSubPage(kSubPageNone);
    if (listPages_) listPages_->Show(page);
    if (Hwnd()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TFormCorvalleOption::FormPaint(HDC dc, const RECT& client) {
    if (health_ && health_->PaintBackground(dc, client)) return;
    TForm::FormPaint(dc, client);
    if (generalPage_ || listPages_) {
        if (generalPage_) generalPage_->Paint(dc);
        if (listPages_) listPages_->Paint(dc);
        return;
    }
    RECT band{0, 0, client.right, kTitleBandHeight};
    base::Brush bandBrush(::CreateSolidBrush(kBandColor));
    ::FillRect(dc, &band, bandBrush.Get());
    base::Brush frame(::CreateSolidBrush(RGB(184, 194, 200)));
    ::FrameRect(dc, &client, frame.Get());
    RECT title{12, 0, client.right - 48, kTitleBandHeight};
    const std::wstring text = PageTitle(page_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTextColor);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void TFormCorvalleOption::FormMouseDown(POINT) {
    // Dragging by the background moves the borderless window.
    ::ReleaseCapture();
    SendMessage(WM_SYSCOMMAND, 0xF012, 0);
    if (listPages_) listPages_->ManageOff();
}

void TFormCorvalleOption::Terminate() {
    if (hooks_.Terminate) hooks_.Terminate();
    else TerminateSelf();
}

// ---------------------------------------------------------------- the file

bool TFormCorvalleOption::LoadSettings() {
    values_.Load();
    return RewriteShutDownList();
}

bool TFormCorvalleOption::RewriteShutDownList() {
    const bool saved = values_.RewriteShutDownList();
    PostToMainProgram(protocol::WM_SETTINGS_CHANGED);
    return saved;
}

bool TFormCorvalleOption::SaveGeneralSettings() {
    std::vector<protocol::SettingsEventCode> changes;
    if (!values_.SaveGeneral(changes)) return false;
    for (protocol::SettingsEventCode code : changes) NotifyMainProgram(code);
    PostToMainProgram(protocol::WM_SETTINGS_CHANGED);
    return true;
}

bool TFormCorvalleOption::SaveRestSettings(int interval, int restTime) {
    if (!values_.SaveRest(interval, restTime)) return false;
    NotifyMainProgram(protocol::kEventRestSetting);
    PostToMainProgram(protocol::WM_REST_SETTINGS_CHANGED);
    return true;
}

bool TFormCorvalleOption::WriteRestRun(bool on) {
    if (!values_.WriteRestRun(on)) return false;
    PostToMainProgram(protocol::WM_REST_SETTINGS_CHANGED);
    return true;
}

bool TFormCorvalleOption::SaveEyeProtectionFlag(bool on) {
    return values_.SaveEyeProtectionFlag(on);
}

bool TFormCorvalleOption::SaveTimerAlertList() {
    if (!values_.SaveTimerAlerts()) return false;
    PostToMainProgram(protocol::WM_SETTINGS_CHANGED);
    return true;
}

bool TFormCorvalleOption::SaveShutDownList() {
    const bool saved = values_.SaveShutDowns();
    // Corvalle re-reads even after a failed write: what it held may be gone
    // from the file already.
    PostToMainProgram(protocol::WM_SETTINGS_CHANGED);
    return saved;
}

void TFormCorvalleOption::SetWindowColor(bool eyeProtection) {
    settings::SetWindowColor(eyeProtection ? protocol::kEyeProtectionColor : protocol::kWhiteWindowColor);
}

bool TFormCorvalleOption::GuardSave(bool saved) {
    if (!saved) ShowInfo(Hwnd(), kSaveFailedText);
    return saved;
}

void TFormCorvalleOption::CloseButtonClick() {
    if ((page_ == kPageTimerAlertList || page_ == kPageTimerAlertEdit) && TimerAlerts.empty())
        NotifyMainProgram(protocol::kEventNoTips);
    else if ((page_ == kPageShutDownList || page_ == kPageShutDownEdit) && ShutDowns.empty())
        NotifyMainProgram(protocol::kEventNoTask);
    Close();
}

// ---------------------------------------------------------------- messages

HWND TFormCorvalleOption::LookUpMainProgram() {
    // Corvalle may have restarted since the last message: a stored handle
    // could by now name some other window.
    mainWindow_ = ::FindWindowW(protocol::kCompanionWindowClass, nullptr);
    return mainWindow_;
}

void TFormCorvalleOption::PostToMainProgram(UINT message) {
    HWND main = LookUpMainProgram();
    if (IsUsableWindow(main)) ::PostMessageW(main, message, 0, 0);
}

void TFormCorvalleOption::NotifyMainProgram(protocol::SettingsEventCode code) {
    HWND main = LookUpMainProgram();
    if (IsUsableWindow(main)) ::PostMessageW(main, protocol::WM_REPORT_SETTINGS_EVENT, static_cast<WPARAM>(code), 0);
}

void TFormCorvalleOption::tmrCloseTimer() {
    if (!IsUsableWindow(LookUpMainProgram())) Terminate();
}

LRESULT TFormCorvalleOption::WMCloseSettings(UINT, WPARAM, LPARAM, BOOL&) {
    Close();
    return 0;
}

LRESULT TFormCorvalleOption::WMShowPage(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (!ShowPageMatches(LOBYTE(wParam), page_)) return 0;
    // Only a confirmation box of this very process stands in for the form;
    // another copy's box is that copy's business.
    ConfirmSearch search{::GetCurrentProcessId(), nullptr};
    ::EnumWindows(FindOwnConfirmMode, reinterpret_cast<LPARAM>(&search));
    HWND target = search.found ? search.found : Hwnd();
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    ::SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, flags);
    ::SetForegroundWindow(target);
    ::BringWindowToTop(target);
    ::SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    ::SetActiveWindow(target);
    return 0;
}

}  // namespace settings
