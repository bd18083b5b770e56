#include "base/shutdown.h"

namespace base {

namespace {

// Planned, operating system: reconfiguration.
constexpr DWORD kPlannedShutdownReason = SHTDN_REASON_FLAG_PLANNED | SHTDN_REASON_MAJOR_OPERATINGSYSTEM;

}  // namespace

bool CarryOutShutdown(IPower& power, ShutdownKind kind, bool force, const ShutdownManner& manner) {
    const bool privileged = power.EnableShutdownPrivilege();
    if (kind == ShutdownKind::Lock) return power.Lock();
    if (!privileged && manner.needsPrivilege) return false;
    switch (kind) {
    case ShutdownKind::Standby:
        return power.Suspend(false, force || manner.alwaysForceStandby, false);
    case ShutdownKind::LogOff:
        // The machine-wide fallback can restart or power off, but it cannot
        // end a session: a log-off that failed stays failed.
        return power.ExitSession(force && manner.forceLogOff ? EWX_LOGOFF | EWX_FORCE : EWX_LOGOFF,
                                 kPlannedShutdownReason);
    case ShutdownKind::Restart:
    case ShutdownKind::PowerOff: {
        const bool restart = kind == ShutdownKind::Restart;
        const UINT flags = (restart ? EWX_REBOOT : EWX_POWEROFF) | (force ? EWX_FORCE : 0);
        const bool accepted = power.ExitSession(flags, kPlannedShutdownReason);
        using MachineWide = ShutdownManner::MachineWide;
        const bool machineWide = manner.machineWide == MachineWide::Always ||
                                 (manner.machineWide == MachineWide::WhenForcedRequestRefused && force && !accepted);
        if (!machineWide) return accepted;
        return power.InitiateShutdown(restart) || accepted;
    }
    default:
        return false;
    }
}

}  // namespace base
