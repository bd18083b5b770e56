// Corvalle's use of the power seam: which implementation is in force, and
// how a shutdown type or a timed shutdown's style becomes a request.
#pragma once

#include <windows.h>

#include "base/power.h"

namespace companion {

using IPowerControl = base::IPower;

// The seam in force: the real system unless a test put its own in place.
IPowerControl& PowerControl();
// Puts `power` in place (null: the real system again).
void SetPowerControl(IPowerControl* power);

// `type` numbered as base::ShutdownKind: restart, power off, log off or
// standby; any other type (a lock too) succeeds without doing anything. False
// when the privilege cannot be had or the call fails.
bool SystemShutdown(bool force, int type);

// Carries out a timed shutdown of `style` (a ShutDownStyle of Corvalle.ini;
// any other value does nothing). While the user is `away` the session may
// be locked, and a locked session ignores a power-off or restart: the
// whole machine is asked as well.
void ShutDownInStyle(int style, bool away);

}  // namespace companion
