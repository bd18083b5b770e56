// The recommend-and-update checks' view of the machine, through the kernel:
// class 49 (software query), 307 (software entries) and 402 (executable
// entries). Without a kernel every answer is "none".
#pragma once

#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"
#include "plugins/setup/recommend_machine.h"

namespace setup {

class KernelRecommendMachine : public IRecommendMachine {
public:
    std::wstring ConfigFilePath() override;
    bool OpenSoftwareQuery() override;
    bool HasSoftwareQuery() override { return static_cast<bool>(query_); }
    bool IsSoftwarePresent(uint32_t softId) override;
    bool CollectInstalledKeys(std::set<std::wstring>* keys) override;
    std::vector<std::wstring> ExecutablePaths() override;

private:
    protocol::PluginRef<protocol::kernel::Software> query_;
};

}  // namespace setup
