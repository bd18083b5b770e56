#include "plugins/setup/options_daemon.h"

#include <windows.h>

#include "base/exception_barrier.h"
#include "base/service_addresses.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/control_panel_applet.h"
#include "plugins/setup/setup_options.h"
#include "plugins/setup/setup_registrations.h"
#include "base/handles.h"

namespace setup {

namespace k = protocol::kernel;
using base::CallGuarded;
using protocol::PluginRef;

namespace {

const wchar_t kShowStartMenu[] = L"Options\\ShowStartMenuShortcut";
const wchar_t kShowLinkMenu[] = L"Options\\ShowLnkFileRightMenuItem";
const wchar_t kShowControlPanel[] = L"Options\\ShowControlPanelShortcut";

// The option's current number from a store of the callback's own (0 when
// it can't be read): the callbacks run on the store's thread and keep
// nothing of the daemon's.
DWORD CurrentNumber(const wchar_t* key) {
    PluginRef<k::Options> options;
    if (FAILED(plugin::CreateKernelObject(options))) return 0;
    return protocol::OptionNumber(options.Get(), key).value_or(0);
}

// What each watched option's change does; false when it could do nothing.
bool FollowStartMenuShortcut() {
    base::ComScope com;
    const DWORD show = CurrentNumber(kShowStartMenu);
    const PluginRef<IPinToStartMenu> pin = plugin::CreateClassObject<IPinToStartMenu>();
    if (!pin) return false;
    if (show == 1)
        pin->Pin();
    else
        pin->Unpin();
    return true;
}

bool FollowLinkMenuItem() {
    base::ComScope com;
    if (CurrentNumber(kShowLinkMenu) == 1) {
        RegisterContextMenuHandler(true);
        return true;
    }
    RegisterContextMenuHandler(false);
    PluginRef<k::Statistics> statistics;
    if (FAILED(plugin::CreateKernelObject(statistics))) return false;
    const std::wstring format =
        FormatSafeAddress(ServiceAddress(Service::Statistics)) + L"/stat/?type=setting&action=qudiaoyoujianxiezai&";
    protocol::StatisticsSend(statistics.Get(), format.c_str());
    return true;
}

bool FollowControlPanelShortcut() {
    ApplyControlPanelApplet(CurrentNumber(kShowControlPanel) != 0);
    return true;
}

// The watches' callbacks, called by the options store on its own thread.
void BEX_CALL OnShowStartMenuShortcutChanged(void* context) {
    if (context) CallGuarded(L"OnShowStartMenuShortcutChanged", false, FollowStartMenuShortcut);
}

void BEX_CALL OnShowLnkFileRightMenuItemChanged(void* context) {
    if (context) CallGuarded(L"OnShowLnkFileRightMenuItemChanged", false, FollowLinkMenuItem);
}

void BEX_CALL OnShowControlPanelShortcutChanged(void* context) {
    if (context) CallGuarded(L"OnShowControlPanelShortcutChanged", false, FollowControlPanelShortcut);
}

}  // namespace

std::wstring FormatSafeAddress(const std::wstring& address) {
    std::wstring out;
    out.reserve(address.size());
    for (wchar_t c : address) {
        out += c;
        if (c == L'%') out += L'%';
    }
    return out;
}

CBexDaemon::CBexDaemon() {
    plugin::CreateKernelObject(statistics_);
    plugin::CreateKernelObject(options_);
}

CBexDaemon::~CBexDaemon() {
    EndWatches();
    statistics_.Reset();
    options_.Reset();
}

void CBexDaemon::EndWatches() noexcept {
    for (uint32_t cookie : cookies_) protocol::UnwatchOption(options_.Get(), cookie);
    cookies_.clear();
}

LONG BEX_CALL CBexDaemon::Release() noexcept {
    const LONG now = ::InterlockedDecrement(&count_);
    if (now != 0) return now;
    EndWatches();
    plugin::NotifyDestroyed(kClassId);
    delete this;
    return 0;
}

LONG BEX_CALL CBexDaemon::Start() {
    return CallGuarded(L"CBexDaemon::Start", 0L, [this]() -> LONG {
        k::Options* options = options_.Get();
        const DWORD downloadInstall = OptionNumberOr(options, L"Options\\DownloadInstall", 1);
        const DWORD deleteOld = OptionNumberOr(options, L"Options\\DelOldFilePerWeek", 1);
        const DWORD tipBefore = OptionNumberOr(options, L"Options\\TipBeforeDownload", 1);

        PluginRef<k::Downloads> downloads;
        plugin::CreateKernelObject(downloads);
        const std::wstring folder = DownloadFolder(downloads.Get());
        if (options && !OptionPath(options, L"Options\\DownloadFolder")) {
            if (!folder.empty()) protocol::SetOptionText(options, L"Options\\DownloadFolder", folder.c_str());
            protocol::SetOptionNumber(options, L"Options\\SetDownloadFolder", 1);
        }
        if (!folder.empty()) protocol::SetOptionText(options, L"Options\\DefaultDownloadFolder", folder.c_str());

        const DWORD showRecycle = OptionNumberOr(options, L"Options\\ShowRecycle", 0);
        const DWORD showControlPanel = OptionNumberOr(options, kShowControlPanel, 0);
        const DWORD showStartMenu = OptionNumberOr(options, kShowStartMenu, 0);

        DeleteOldUninstallVerb();
        ApplyContextMenuOption(options);

        const DWORD isShow = OptionNumberOr(options, L"SpeedAssist\\IsShow", 1);
        const DWORD showPeriod = OptionNumberOr(options, L"ShowUptMsg\\ShowPeriod", 7);

        if (statistics_) {
            const std::wstring format = FormatSafeAddress(ServiceAddress(Service::Statistics)) +
                                        L"/stat/?type=setting&action=%d_%d_%d_%d_%d_%d_%d_%d&";
            protocol::StatisticsSend(statistics_.Get(), format.c_str(), static_cast<int>(tipBefore),
                                static_cast<int>(downloadInstall), static_cast<int>(deleteOld),
                                static_cast<int>(showPeriod), static_cast<int>(isShow),
                                static_cast<int>(showControlPanel), static_cast<int>(showStartMenu),
                                static_cast<int>(showRecycle));
        }
        Watch();
        return 0;
    });
}

void CBexDaemon::Watch() {
    if (!options_ || watching_) return;
    watching_ = true;
    const struct {
        const wchar_t* key;
        k::options::WatchCallback callback;
    } watches[] = {
        {kShowStartMenu, &OnShowStartMenuShortcutChanged},
        {kShowLinkMenu, &OnShowLnkFileRightMenuItemChanged},
        {kShowControlPanel, &OnShowControlPanelShortcutChanged},
    };
    for (const auto& watch : watches) {
        if (const std::optional<uint32_t> cookie =
                protocol::WatchOption(options_.Get(), watch.key, watch.callback, this))
            cookies_.push_back(*cookie);
    }
}

}  // namespace setup
