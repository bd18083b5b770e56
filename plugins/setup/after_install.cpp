// Class 88 slot 3: the machine's configuration after the manager was
// installed. Every step stands alone: one that can't run or throws is
// skipped and the next one still runs.
#include <windows.h>

#include <string>

#include "base/exception_barrier.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/game_centre.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "plugins/setup/lite_folder.h"
#include "plugins/setup/setup_classes.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_options.h"
#include "plugins/setup/setup_registrations.h"
#include "plugins/setup/setup_steps.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace k = protocol::kernel;
using protocol::PluginRef;

namespace {

void RunSetupJob() {
    const PluginRef<ISetupjob> job = plugin::CreateClassObject<ISetupjob>();
    if (!job) return;
    // AfterInstall, then the steps around the shell extension's registration.
    job->AfterInstall();
    job->Nothing6();
    job->RegisterShellExtension();
    job->Nothing4();
    job->Nothing7();
}

void PinToStartMenu(k::Options* options) {
    const PluginRef<IPinToStartMenu> pin = plugin::CreateClassObject<IPinToStartMenu>();
    if (pin && pin->Pin() != 0) protocol::SetOptionNumber(options, L"Options\\ShowStartMenuShortcut", 1);
}

void ApplyLiveInstallSettings() {
    const std::wstring config = ManagerFile(L"LiveInstConf.ini");
    const std::wstring live = ManagerFile(L"LiveInst.ini");
    // Without the manager's folder the profile functions would read and
    // write in the Windows folder.
    if (config.empty() || live.empty()) return;
    if (::GetPrivateProfileIntW(L"settings", L"CleanLI", 0, config.c_str()) != 0)
        ::DeleteFileW(live.c_str());
    else if (!::WritePrivateProfileStringW(L"ZubPellor", L"GameCenter", L"1", live.c_str()))
        LogFailure(live.c_str(), L"WritePrivateProfileStringW");
}

}  // namespace

LONG BEX_CALL CBexSetupUtil::ConfigureAfterInstall() {
    return base::CallGuarded(L"CBexSetupUtil::ConfigureAfterInstall", 0L, []() -> LONG {
        PluginRef<k::Options> options;
        RunSetupStep(L"ConfigureAfterInstall: options store",
                     [&] { plugin::CreateKernelObject(options); });
        RunSetupStep(L"ConfigureAfterInstall: ShowRecycle", [&] {
            if (options && !protocol::OptionNumber(options.Get(), L"Options\\ShowRecycle"))
                protocol::SetOptionNumber(options.Get(), L"Options\\ShowRecycle", 0);
        });
        RunSetupStep(L"ConfigureAfterInstall: DefaultDownloadFolder", [&] {
            PluginRef<k::Downloads> downloads;
            if (!options || FAILED(plugin::CreateKernelObject(downloads))) return;
            const std::wstring folder = DownloadFolder(downloads.Get());
            if (!folder.empty())
                protocol::SetOptionText(options.Get(), L"Options\\DefaultDownloadFolder", folder.c_str());
        });
        RunSetupStep(L"ConfigureAfterInstall: setup job", &RunSetupJob);
        RunSetupStep(L"ConfigureAfterInstall: old uninstall verb", &DeleteOldUninstallVerb);
        RunSetupStep(L"ConfigureAfterInstall: context menu", [&] { ApplyContextMenuOption(options.Get()); });
        RunSetupStep(L"ConfigureAfterInstall: Start menu", [&] { PinToStartMenu(options.Get()); });
        RunSetupStep(L"ConfigureAfterInstall: web proxy", [] { RegisterWebProxyDll(true); });
        RunSetupStep(L"ConfigureAfterInstall: proxy protocol", [] { RegisterProxyProtocol(); });
        RunSetupStep(L"ConfigureAfterInstall: save options", [&] { protocol::SaveOptions(options.Get()); });
        RunSetupStep(L"ConfigureAfterInstall: lite folder", &RestoreLiteFolder);
        RunSetupStep(L"ConfigureAfterInstall: live install", &ApplyLiveInstallSettings);
        RunSetupStep(L"ConfigureAfterInstall: game centre", &UpgradeGameCentre);
        return 0;
    });
}

}  // namespace setup
