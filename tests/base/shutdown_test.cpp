#include "base/shutdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_power.h"

namespace {

using base::ShutdownKind;
using MachineWide = base::ShutdownManner::MachineWide;

// Each row flips one field of the manner (or the system's answer) against
// its neighbour, so that each difference the programs name shows once.
TEST(CarryOutShutdown, EachMannerFieldChangesOnlyWhatItNames) {
    const std::wstring reason = L" " + std::to_wstring(0x80020000u);
    struct Case {
        const char* name;
        ShutdownKind kind;
        bool force;
        bool needsPrivilege, forceLogOff, alwaysForceStandby;
        MachineWide machineWide;
        bool privileged, accepted;
        bool expected;
        std::vector<std::wstring> calls;
    };
    const auto N = MachineWide::Never, R = MachineWide::WhenForcedRequestRefused, A = MachineWide::Always;
    const Case cases[] = {
        {"restart", ShutdownKind::Restart, false, false, true, false, N, true, true, true, {L"exit 2" + reason}},
        {"forced power-off", ShutdownKind::PowerOff, true, false, true, false, N, true, true, true, {L"exit 12" + reason}},
        {"privilege missing, asked anyway", ShutdownKind::PowerOff, false, false, true, false, N, false, true, true,
         {L"exit 8" + reason}},
        {"privilege missing and needed", ShutdownKind::PowerOff, false, true, true, false, A, false, true, false, {}},
        {"a lock needs no privilege", ShutdownKind::Lock, true, true, true, false, N, false, true, true, {L"lock"}},
        {"forced log-off", ShutdownKind::LogOff, true, false, true, false, R, true, false, false,
         {L"exit 4" + reason}},
        {"log-off never forced", ShutdownKind::LogOff, true, false, false, false, A, true, true, true,
         {L"exit 0" + reason}},
        {"standby as asked", ShutdownKind::Standby, false, false, true, false, N, true, true, true, {L"suspend 000"}},
        {"standby always forced", ShutdownKind::Standby, false, false, true, true, N, true, true, true,
         {L"suspend 010"}},
        {"refused, never machine-wide", ShutdownKind::Restart, true, false, true, false, N, true, false, false,
         {L"exit 6" + reason}},
        {"refused forced restart, machine-wide", ShutdownKind::Restart, true, false, true, false, R, true, false, false,
         {L"exit 6" + reason, L"initiate reboot"}},
        {"accepted forced restart", ShutdownKind::Restart, true, false, true, false, R, true, true, true,
         {L"exit 6" + reason}},
        {"refused unforced power-off", ShutdownKind::PowerOff, false, false, true, false, R, true, false, false,
         {L"exit 8" + reason}},
        {"always machine-wide", ShutdownKind::PowerOff, false, false, true, false, A, true, true, true,
         {L"exit 8" + reason, L"initiate poweroff"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::RecordingPower power;
        power.privilege = c.privileged;
        power.result = c.accepted;
        base::ShutdownManner manner;
        manner.needsPrivilege = c.needsPrivilege;
        manner.forceLogOff = c.forceLogOff;
        manner.alwaysForceStandby = c.alwaysForceStandby;
        manner.machineWide = c.machineWide;
        EXPECT_EQ(base::CarryOutShutdown(power, c.kind, c.force, manner), c.expected);
        EXPECT_EQ(power.calls, c.calls);
    }
}

}  // namespace
