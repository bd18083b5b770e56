#include "companion/system/power.h"

#include <atomic>
#include <string>

#include "base/log.h"
#include "base/shutdown.h"
#include "protocol/corvalle_ini.h"

namespace companion {

namespace {

std::atomic<IPowerControl*> g_override{nullptr};

// Corvalle acts for a user who may be away: nothing without the privilege,
// a log-off always lets programs ask to save, standby is always forced.
base::ShutdownManner CorvalleManner(bool away) {
    base::ShutdownManner manner;
    manner.needsPrivilege = true;
    manner.forceLogOff = false;
    manner.alwaysForceStandby = true;
    manner.machineWide = away ? base::ShutdownManner::MachineWide::Always : base::ShutdownManner::MachineWide::Never;
    return manner;
}

struct StyleRequest {
    base::ShutdownKind kind;
    bool force;
};

// Indexed by ShutDownStyle.
constexpr StyleRequest kStyleRequests[] = {
    {base::ShutdownKind::PowerOff, true},   // kStyleForcedPowerOff
    {base::ShutdownKind::PowerOff, false},  // kStylePowerOff
    {base::ShutdownKind::LogOff, false},    // kStyleLogOff
    {base::ShutdownKind::Lock, false},      // kStyleLock
    {base::ShutdownKind::Restart, true},    // kStyleRestart
    {base::ShutdownKind::Standby, false},   // kStyleStandby
};
static_assert(sizeof(kStyleRequests) / sizeof(kStyleRequests[0]) == protocol::kShutDownStyleCount, "one request a style");

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
    if (type < static_cast<int>(base::ShutdownKind::Restart) || type > static_cast<int>(base::ShutdownKind::Standby))
        return power.EnableShutdownPrivilege();
    if (base::CarryOutShutdown(power, static_cast<base::ShutdownKind>(type), force, CorvalleManner(false))) return true;
    base::LogFailedCall((L"shutdown of type " + std::to_wstring(type)).c_str(), L"the shutdown request");
    return false;
}

void ShutDownInStyle(int style, bool away) {
    if (style < 0 || style >= protocol::kShutDownStyleCount) return;
    const StyleRequest& request = kStyleRequests[style];
    if (!base::CarryOutShutdown(PowerControl(), request.kind, request.force, CorvalleManner(away)))
        base::LogFailedCall((L"timed shutdown of style " + std::to_wstring(style)).c_str(), L"the shutdown request");
}

}  // namespace companion
