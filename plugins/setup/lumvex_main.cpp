// Lumvex.dll: its entry point and the class table, its only export.
#include <windows.h>

#include "plugins/common/kernel_binding.h"
#include "plugins/setup/setup_classes.h"
#include "plugins/setup/setup_module.h"

extern "C" const bex::PluginTable<6> plugins = {
    {bex::kTableMagic, {0, 0, 0}},
    {
        {88, &CreateBexSetupUtil, L"CBexSetupUtil", 0x10001},
        {89, &CreateBexDaemon, L"CBexDaemon", 0x10001},
        {90, &CreatePinToStartMenu, L"CPinToStartMenu", 0x10001},
        {91, &CreateSetupJob, L"CSetupJob", 0x10001},
        {403, &CreateMiscJob, L"CMiscJob", 0x10001},
        {0, nullptr, nullptr, 0},
    },
};

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void* reserved) {
    // The kernel is bound first, whatever comes of it; then the module kept.
    const BOOL result = plugin::HandleDllMain(module, reason, reserved);
    if (reason == DLL_PROCESS_ATTACH) SetLumvexModule(module);
    return result;
}
