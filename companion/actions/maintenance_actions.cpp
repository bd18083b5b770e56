#include "companion/actions/maintenance_actions.h"

#include <utility>

#include "companion/actions/action_sections.h"
#include "companion/kernel/kernel_library.h"
#include "companion/kernel/startup_items.h"
#include "base/handles.h"

namespace companion {

CMaintenanceAction::CMaintenanceAction(const wchar_t* section, uint32_t delayMs, uint32_t testDelayMs,
                                       IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(section, env, settings), delayMs_(delayMs), testDelayMs_(testDelayMs), start_(env.TickCount()) {}

bool CMaintenanceAction::CheckCondition() {
    if (!RemindersOn() || done_) return false;
    const uint32_t delay = Settings().TestMode ? testDelayMs_ : delayMs_;
    if (static_cast<uint32_t>(Env().TickCount() - start_) <= delay) return false;
    if (Env().IsUserBusy() || !ReadyToCheck()) return false;
    const bool due = RunCheck();
    done_ = true;
    return due;
}

CActionTrashClean::CActionTrashClean(IActionEnvironment& env, SharedSettings& settings, std::wstring sweeperPath)
    : CMaintenanceAction(sections::kTrashClean, kDelayMs, kTestDelayMs, env, settings),
      sweeperPath_(std::move(sweeperPath)) {}

bool CActionTrashClean::ReadyToCheck() { return Env().CpuIdlePercent() > kIdleLimitPercent; }

bool CActionTrashClean::RunCheck() { return ScanJunkSize(sweeperPath_); }

CActionSysDiskCheck::CActionSysDiskCheck(IActionEnvironment& env, SharedSettings& settings)
    : CMaintenanceAction(sections::kSysDiskCheck, kDelayMs, kTestDelayMs, env, settings) {}

bool CActionSysDiskCheck::RunCheck() { return Env().SystemDiskShort(); }

CActionCheckRun::CActionCheckRun(IActionEnvironment& env, SharedSettings& settings, std::wstring kernelPath)
    : CMaintenanceAction(sections::kCheckRun, kDelayMs, kTestDelayMs, env, settings),
      kernelPath_(std::move(kernelPath)) {}

bool CActionCheckRun::HasTooManyStartupItems() {
    bool tooMany = false;
    base::ComScope com;
    if (com.Ok()) {
        const HRESULT init = kernelPath_.empty() ? InitKernel() : InitKernel(kernelPath_);
        const protocol::BexPluginFn entry = KernelEntry();
        // Every kernel object is released inside the count, before the
        // kernel is shut down and unloaded.
        if (SUCCEEDED(init) && entry) tooMany = CountStartupItemsInState2(entry) > kItemLimit;
    }
    ShutdownKernel();
    return tooMany;
}

}  // namespace companion
