#include "companion/system/power.h"

#include <atomic>

namespace {

constexpr DWORD kPlannedShutdownReason = 0x80020000;  // planned, operating system: reconfiguration

std::atomic<IPowerControl*> g_override{nullptr};

}  // namespace

IPowerControl& PowerControl() {
    IPowerControl* power = g_override.load();
    // Corvalle shuts down for a user who is away: open programs are closed.
    return power ? *power : base::SystemPower(base::OpenPrograms::Close);
}

void SetPowerControl(IPowerControl* power) {
    g_override.store(power);
}

bool SystemShutdown(bool force, int type) {
    IPowerControl& power = PowerControl();
    if (!power.EnableShutdownPrivilege()) return false;
    switch (type) {
    case kShutdownRestart:
        return power.ExitSession(force ? EWX_REBOOT | EWX_FORCE : EWX_REBOOT, kPlannedShutdownReason);
    case kShutdownPowerOff:
        return power.ExitSession(force ? EWX_POWEROFF | EWX_FORCE : EWX_POWEROFF, kPlannedShutdownReason);
    case kShutdownLogOff:
        return power.ExitSession(EWX_LOGOFF, kPlannedShutdownReason);
    case kShutdownStandby:
        return power.Suspend(false, true, false);
    default:
        return true;
    }
}
