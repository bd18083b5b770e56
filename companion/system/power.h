// Corvalle's use of the power seam: which implementation is in force, and
// how a shutdown style becomes a system call.
#pragma once

#include <windows.h>

#include "base/power.h"

using IPowerControl = base::IPower;

// The seam in force: the real system unless a test put its own in place.
IPowerControl& PowerControl();
// Puts `power` in place (null: the real system again).
void SetPowerControl(IPowerControl* power);

enum SystemShutdownType { kShutdownRestart = 0, kShutdownPowerOff = 1, kShutdownLogOff = 2, kShutdownStandby = 3 };

// Restart, power off, log off or standby; any other type succeeds without
// doing anything. False when the privilege cannot be had or the call fails.
bool SystemShutdown(bool force, int type);
