// Lumvex.dll: its entry point and the class table, its only export.
#include <windows.h>

#include "plugins/common/kernel_binding.h"
#include "plugins/setup/misc_job.h"
#include "plugins/setup/pin_to_start_menu.h"
#include "plugins/setup/setup_classes.h"
#include "plugins/setup/setup_job.h"
#include "plugins/setup/setup_module.h"

using namespace setup;

using protocol::kFlagsSetupJob;
using protocol::TableEntry;

extern "C" const protocol::PluginTable<6> plugins = {
    {protocol::kTableMagic, {0, 0, 0}},
    {
        TableEntry<CBexSetupUtil>(&CreateBexSetupUtil, L"CBexSetupUtil", kFlagsSetupJob),
        TableEntry<CBexDaemon>(&CreateBexDaemon, L"CBexDaemon", kFlagsSetupJob),
        TableEntry<CPinToStartMenu>(&CreatePinToStartMenu, L"CPinToStartMenu", kFlagsSetupJob),
        TableEntry<CSetupJob>(&CreateSetupJob, L"CSetupJob", kFlagsSetupJob),
        TableEntry<CMiscJob>(&CreateMiscJob, L"CMiscJob", kFlagsSetupJob),
        protocol::kTableEnd,
    },
};

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void* reserved) {
    // The kernel is bound first, whatever comes of it; then the module kept.
    const BOOL result = plugin::HandleDllMain(module, reason, reserved);
    if (reason == DLL_PROCESS_ATTACH) SetLumvexModule(module);
    return result;
}
