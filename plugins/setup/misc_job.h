// Class 403: whether a recommendation should be shown now, and the file of
// ad ids already shown.
#pragma once

#include "plugins/common/plugin_object.h"
#include "plugins/setup/kernel_recommend_machine.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "plugins/setup/recommend_update_mgr.h"

namespace setup {

class CMiscJob final : public plugin::PluginObject<CMiscJob, IMiscJob, IMiscJob::kClassId, plugin::ReleaseRule::A> {
public:
    CMiscJob() : recommend_(machine_) {}

    LONG BEX_CALL IsSupported(const wchar_t* name) noexcept override;
    LONG BEX_CALL CheckRecommendAndUpdateCondition(void* a, void* b, void* c, void* d) noexcept override;
    LONG BEX_CALL CheckRecommendAndUpdateCondition2(uint32_t involveMask, const wchar_t* adIdFile,
                                                   RecommendResult* out) override;
    LONG BEX_CALL WriteAdIdToFile(const wchar_t* path, uint32_t adId) override;

private:
    KernelRecommendMachine machine_;
    CRecommendUpdateMgr recommend_;
};

}  // namespace setup
