// Class 89: gives the manager's options their first values at start, puts
// the desktop in line with them, reports them once and then follows three
// of them through the options store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/common/plugin_object.h"
#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"
#include "plugins/setup/lumvex_interfaces.h"

namespace setup {

class CBexDaemon final
    : public plugin::PluginObject<CBexDaemon, IBexDaemon, IBexDaemon::kClassId, plugin::ReleaseRule::A> {
public:
    CBexDaemon();
    ~CBexDaemon();

    // The release rule of every class, with the watches ended before the
    // kernel hears of the end: no change reported after that may reach
    // this object.
    LONG BEX_CALL Release() noexcept override;
    LONG BEX_CALL Start() override;
    LONG BEX_CALL Stop() noexcept override { return 0; }

private:
    void Watch();
    void EndWatches() noexcept;

    protocol::PluginRef<protocol::kernel::Options> options_;
    protocol::PluginRef<protocol::kernel::Statistics> statistics_;
    std::vector<uint32_t> cookies_;
    bool watching_ = false;  // the watches are made once per object
};

// The statistics address as the start of a printf-style format: every "%"
// doubled, so the text sent is the address itself.
std::wstring FormatSafeAddress(const std::wstring& address);

}  // namespace setup
