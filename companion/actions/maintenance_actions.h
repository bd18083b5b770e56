// Once a run, some minutes after the start, three checks of the computer;
// each that finds a problem offers the security product's function that
// fixes it: too much junk, a system disk short of space, too many start-up
// items. A check that fails counts as done: it is not tried again this run.
#pragma once

#include <cstdint>
#include <string>

#include "companion/actions/action_base.h"
#include "companion/actions/link_behaviors.h"
#include "companion/kernel/junk_scan.h"

namespace companion {

// The guard the three share: reminders on, not yet done, its delay after
// construction passed, the user not busy. Then the check runs once.
class CMaintenanceAction : public CActionBase {
public:
    bool CheckCondition() override;
    bool Done() const { return done_; }

protected:
    CMaintenanceAction(const wchar_t* section, uint32_t delayMs, uint32_t testDelayMs, IActionEnvironment& env,
                       SharedSettings& settings);
    // False postpones the check (it is not done then).
    virtual bool ReadyToCheck() { return true; }
    virtual bool RunCheck() = 0;

private:
    const uint32_t delayMs_;
    const uint32_t testDelayMs_;
    const uint32_t start_;
    bool done_ = false;
};

class CActionTrashClean : public CMaintenanceAction {
public:
    static constexpr uint32_t kDelayMs = 1800000;
    static constexpr uint32_t kTestDelayMs = 30000;
    static constexpr int kIdleLimitPercent = 90;

    // `sweeperPath`: the clean-up library to scan with.
    explicit CActionTrashClean(IActionEnvironment& env = SystemActionEnvironment(),
                               SharedSettings& settings = SharedSettings::Instance(),
                               std::wstring sweeperPath = SweeperPath());
    std::wstring GetLinkText() override { return L"垃圾清理"; }
    ILinkBehavior* GetLinkBehavior() override { return &link_; }

protected:
    bool ReadyToCheck() override;
    bool RunCheck() override;

private:
    std::wstring sweeperPath_;
    CTrashCleanLinkBehavior link_;
};

class CActionSysDiskCheck : public CMaintenanceAction {
public:
    static constexpr uint32_t kDelayMs = 2400000;
    static constexpr uint32_t kTestDelayMs = 40000;

    explicit CActionSysDiskCheck(IActionEnvironment& env = SystemActionEnvironment(),
                                 SharedSettings& settings = SharedSettings::Instance());
    std::wstring GetLinkText() override { return L"系统瘦身"; }
    ILinkBehavior* GetLinkBehavior() override { return &link_; }

protected:
    bool RunCheck() override;

private:
    CSysDiskCheckLinkBehavior link_;
};

class CActionCheckRun : public CMaintenanceAction {
public:
    static constexpr uint32_t kDelayMs = 1500000;
    static constexpr uint32_t kTestDelayMs = 25000;
    // More than this many items in state 2 are too many.
    static constexpr int kItemLimit = 9;

    // `kernelPath`: the kernel library to load; empty: the registered one.
    explicit CActionCheckRun(IActionEnvironment& env = SystemActionEnvironment(),
                             SharedSettings& settings = SharedSettings::Instance(), std::wstring kernelPath = L"");
    std::wstring GetTipText() override { return L"启动项过多，会影响开机速度哦！"; }
    std::wstring GetLinkText() override { return L"修复问题"; }
    ILinkBehavior* GetLinkBehavior() override { return &link_; }
    // Loads the kernel, counts, shuts the kernel down and frees it.
    bool HasTooManyStartupItems();

protected:
    bool RunCheck() override { return HasTooManyStartupItems(); }

private:
    std::wstring kernelPath_;
    CCheckRunBehavior link_;
};

}  // namespace companion
