// Tandrel.dll: its entry point and the class table, its only export.
#include <windows.h>

#include "plugins/catalog/catalog_classes.h"
#include "plugins/common/kernel_binding.h"

using namespace catalog;

extern "C" const bex::PluginTable<11> plugins = {
    {bex::kTableMagic, {0, 0, 0}},
    {
        {68, &CreateSoftListData, L"CSoftListData", 0},
        {69, &CreateSoftCatalogData, L"CSoftCatalogData", 0},
        {70, &CreateSoftListMgr, L"CSoftListMgr", 0x30000},
        {303, &CreateSoftListMgr2, L"CSoftListMgr2", 0x30000},
        {302, &CreateSoftReCmdData, L"CSoftReCmdData", 0},
        {301, &CreateSoftReCommend, L"CSoftReCommend", 0x30000},
        {147, &CreateSoftReCommend2, L"CSoftReCommend2", 0x30000},
        {148, &CreateSoftReCommend3, L"CSoftReCommend3", 0x30000},
        {108, &CreateSoftInfoData, L"CSoftInfoData", 0},
        {109, &CreateSoftInfo, L"CSoftInfo", 0x30000},
        {0, nullptr, nullptr, 0},
    },
};

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void* reserved) {
    return plugin::HandleDllMain(module, reason, reserved);
}
