// Timer ids of the main window; the action presenter and the mascot
// animator run theirs on it too.
#pragma once

#include <windows.h>

namespace companion {

enum MainWindowTimer : UINT_PTR {
    kTimerActionFrame = 1001,
    kTimerMascotFrame = 1002,
    kTimerWatch = 1004,
    kTimerLeavingFrame = 1005,
    kTimerTrimMemory = 1006,
    kTimerClick = 1008,
    kTimerClickAnimation = 1009,
    kTimerFirstRun = 1010,
    kTimerStartStatistic = 1011,
};

}  // namespace companion
