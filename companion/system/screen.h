// Whether the user is busy with something that a reminder must not cover.
#pragma once

namespace companion {

// True when one window other than the desktop covers all four screen corners.
bool IsFullScreenAppRunning();

// True when the security product asks for quiet: its monitor window answers
// so, or its web-identify library reports a busy state.
bool IsMonitorActive();

// `x` unchanged when (x, y) lies on a monitor; otherwise clamped into the
// horizontal extent of the nearest monitor's work area.
int ClampToMonitor(int x, int y);

}  // namespace companion
