// How a request to end the session or stop the machine becomes calls of the
// power seam. Corvalle (a timed shutdown, for a user who may be away) and
// Mirelo (a restart or log-off the user just asked for) carry out the same
// requests; where they differ is a field of ShutdownManner, set by each.
#pragma once

#include "base/power.h"

namespace base {

// Numbered as both programs number their requests (Corvalle has no lock).
enum class ShutdownKind { Restart = 0, PowerOff = 1, LogOff = 2, Standby = 3, Lock = 4 };

struct ShutdownManner {
    // Without the shutdown privilege, ask nothing of the system. Otherwise
    // the system is asked anyway and refuses what needs the privilege.
    // Locking needs none and is never held back.
    bool needsPrivilege = false;
    // `force` forces a log-off too; otherwise a log-off always lets the
    // programs ask to save their work.
    bool forceLogOff = true;
    // Standby is forced whatever `force` says.
    bool alwaysForceStandby = false;
    // When a restart or power-off is also asked of the whole machine
    // (InitiateShutdown), which a locked session does not ignore: never,
    // only after a forced request was refused, or always.
    enum class MachineWide { Never, WhenForcedRequestRefused, Always };
    MachineWide machineWide = MachineWide::WhenForcedRequestRefused;
};

// Enables the shutdown privilege, then makes the request. True when the
// system accepted it (for a restart or power-off, the session request or
// the machine-wide one).
bool CarryOutShutdown(IPower& power, ShutdownKind kind, bool force, const ShutdownManner& manner);

}  // namespace base
