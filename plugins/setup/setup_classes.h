// Lumvex's job classes 88 and 89 and the factories of all five classes.
// The shells' own slots answer 0; the release rule is A for every class.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugins/common/plugin_object.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "plugins/setup/options_daemon.h"

namespace setup {

using plugin::PluginObject;
using plugin::ReleaseRule;

// The serial numbers start here, one per object made in the process.
constexpr uint32_t kFirstSetupUtilSerial = 10110;

class CBexSetupUtil final : public PluginObject<CBexSetupUtil, IBexSetupUtil, IBexSetupUtil::kClassId, ReleaseRule::A> {
public:
    CBexSetupUtil() noexcept;
    ~CBexSetupUtil();

    LONG BEX_CALL ConfigureAfterInstall() override;
    LONG BEX_CALL UninstallCleanup() override;

    uint32_t Serial() const { return serial_; }

private:
    uint32_t serial_;
    // COM is given back only when this object's initialisation took, and
    // only on the thread that made it: another thread's release must not
    // tear down that thread's COM.
    HRESULT comInit_;
    DWORD comThread_;
};

HRESULT BEX_CALL CreateBexSetupUtil(IBexPlugin** out);
HRESULT BEX_CALL CreateBexDaemon(IBexPlugin** out);
HRESULT BEX_CALL CreatePinToStartMenu(IBexPlugin** out);
HRESULT BEX_CALL CreateSetupJob(IBexPlugin** out);
HRESULT BEX_CALL CreateMiscJob(IBexPlugin** out);

}  // namespace setup
