// Tandrel.dll: its entry point and the class table, its only export.
#include <windows.h>

#include "plugins/catalog/catalog_classes.h"
#include "plugins/common/kernel_binding.h"

using namespace catalog;

using protocol::kFlagsRecord;
using protocol::kFlagsShared;
using protocol::TableEntry;

extern "C" const protocol::PluginTable<11> plugins = {
    {protocol::kTableMagic, {0, 0, 0}},
    {
        TableEntry<CSoftListData>(&CreateSoftListData, L"CSoftListData", kFlagsRecord),
        TableEntry<CSoftCatalogData>(&CreateSoftCatalogData, L"CSoftCatalogData", kFlagsRecord),
        TableEntry<CSoftListMgr>(&CreateSoftListMgr, L"CSoftListMgr", kFlagsShared),
        TableEntry<CSoftListMgr2>(&CreateSoftListMgr2, L"CSoftListMgr2", kFlagsShared),
        TableEntry<CSoftReCmdData>(&CreateSoftReCmdData, L"CSoftReCmdData", kFlagsRecord),
        TableEntry<CSoftReCommend>(&CreateSoftReCommend, L"CSoftReCommend", kFlagsShared),
        TableEntry<CSoftReCommend2>(&CreateSoftReCommend2, L"CSoftReCommend2", kFlagsShared),
        TableEntry<CSoftReCommend3>(&CreateSoftReCommend3, L"CSoftReCommend3", kFlagsShared),
        TableEntry<CSoftInfoData>(&CreateSoftInfoData, L"CSoftInfoData", kFlagsRecord),
        TableEntry<CSoftInfo>(&CreateSoftInfo, L"CSoftInfo", kFlagsShared),
        protocol::kTableEnd,
    },
};

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void* reserved) {
    return plugin::HandleDllMain(module, reason, reserved);
}
