// Corvalle's own window messages and command ids that the actions and the
// detect thread use to reach the main window and the tip.
#pragma once

#include <windows.h>

enum CorvalleMessages : UINT {
    WM_TIP_MOVE = 1424,
    WM_TIP_LINK_CLICKED = 1425,
    WM_SHOW_EYE_EXERCISE_ALT = 1474,
    WM_CLOSE_NAVIGATION = 1475,
    WM_ACTION_DUE = 1525,
    WM_EXERCISE_DONE = 1534,
    WM_REST_EXERCISE_DONE = 1549,
    WM_MOVE_NAVIGATION = 5207,
    WM_SET_TIP_TEXT = 5634,  // 0x1602
    WM_OPEN_NAVIGATION = 5888,
    WM_HIDE_NAVIGATION = 6145,
    WM_TRAY_NOTIFY = 8888,
};

// The main window's command that opens the settings program on its general page.
constexpr WORD kCommandOpenGeneralSettings = 501;
