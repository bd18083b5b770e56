#include "plugins/setup/setup_classes.h"

#include <objbase.h>

#include "plugins/setup/misc_job.h"
#include "plugins/setup/pin_to_start_menu.h"
#include "plugins/setup/setup_job.h"

namespace setup {

namespace {
volatile LONG g_serialCounter = kFirstSetupUtilSerial;
}  // namespace

CBexSetupUtil::CBexSetupUtil() noexcept
    : serial_(static_cast<uint32_t>(::InterlockedIncrement(&g_serialCounter) - 1)),
      comInit_(::CoInitialize(nullptr)),
      comThread_(::GetCurrentThreadId()) {}

CBexSetupUtil::~CBexSetupUtil() {
    if (SUCCEEDED(comInit_) && ::GetCurrentThreadId() == comThread_) ::CoUninitialize();
}

HRESULT BEX_CALL CreateBexSetupUtil(IBexPlugin** out) { return plugin::CreatePluginObject<CBexSetupUtil>(out); }
HRESULT BEX_CALL CreateBexDaemon(IBexPlugin** out) { return plugin::CreatePluginObject<CBexDaemon>(out); }
HRESULT BEX_CALL CreatePinToStartMenu(IBexPlugin** out) { return plugin::CreatePluginObject<CPinToStartMenu>(out); }
HRESULT BEX_CALL CreateSetupJob(IBexPlugin** out) { return plugin::CreatePluginObject<CSetupJob>(out); }
HRESULT BEX_CALL CreateMiscJob(IBexPlugin** out) { return plugin::CreatePluginObject<CMiscJob>(out); }

}  // namespace setup
