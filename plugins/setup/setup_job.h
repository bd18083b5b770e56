// Class 91: the registry and shell-extension steps of installing and
// removing the software manager.
#pragma once

#include <string>

#include "plugins/common/plugin_object.h"
#include "plugins/setup/lumvex_interfaces.h"

namespace setup {

class CSetupJob final : public plugin::PluginObject<CSetupJob, ISetupjob, ISetupjob::kClassId, plugin::ReleaseRule::A> {
public:
    CSetupJob();

    BOOL BEX_CALL RegisterShellExtension() override;
    BOOL BEX_CALL Nothing4() noexcept override { return 1; }
    BOOL BEX_CALL AfterInstall() override;
    BOOL BEX_CALL Nothing6() noexcept override { return 1; }
    BOOL BEX_CALL Nothing7() noexcept override { return 1; }
    BOOL BEX_CALL UnregisterShellExtension() override;
    BOOL BEX_CALL Uninstall() noexcept override;

private:
    BOOL CallExtensionEntry(const char* entry) const;

    std::wstring managerFolder_;
};

}  // namespace setup
