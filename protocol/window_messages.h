// Every private window message of Corvalle and Mirelo and the change codes
// they carry, grouped by the window that receives them. Numbers are part of
// the contract with installed copies of either program: never renumber.
//
// 0x1602 (5634) is used twice: the main window takes it as
// WM_SHOW_NECK_EXERCISE, the tip's text window as WM_SET_TIP_TEXT. Neither
// may be renumbered (see above); they never meet because each is sent to its
// own class. A new message must not reuse a number of this table for any
// window.
//
// Messages that cross programs are used qualified (protocol::WM_...);
// Corvalle's own are brought into the global namespace at the end, so that
// its windows name them without the qualifier.
#pragma once

#include <windows.h>

#include "protocol/program_names.h"

namespace protocol {

// Received by Corvalle's main window (class kCompanionWindowClass).
enum CompanionMessages : UINT {
    // From Mirelo.
    WM_SETTINGS_CHANGED = 0x1600,
    WM_SETTINGS_RESERVED = 0x1601,  // answered with 1 and otherwise ignored
    WM_SHOW_NECK_EXERCISE = 0x1602,  // same number as WM_SET_TIP_TEXT, see above
    WM_SHOW_EYE_EXERCISE = 0x1603,
    WM_REPORT_SETTINGS_EVENT = 0x1604,  // wParam: SettingsEventCode
    WM_REST_SETTINGS_CHANGED = 0x1606,
    // From Corvalle itself (tip links, the detect thread, the tray, the navigation).
    WM_TIP_LINK_CLICKED = 1425,
    WM_SHOW_EYE_EXERCISE_ALT = 1474,
    WM_CLOSE_NAVIGATION = 1475,
    WM_ACTION_DUE = 1525,
    WM_DETECT_ENDED = 1526,  // the detect thread failed and ended; its object is the window's again
    WM_OPEN_NAVIGATION = 5888,
    WM_HIDE_NAVIGATION = 6145,
    WM_TRAY_NOTIFY = 8888,
};

// The main window's command that opens the settings program on its general page.
constexpr WORD kCommandOpenGeneralSettings = 501;

// Received by Mirelo's main form (class kSettingsWindowClass).
enum SettingsMessages : UINT {
    WM_CLOSE_SETTINGS = 0x1605,  // from Corvalle
    WM_SHOW_PAGE = 0x6413,       // from a second copy of Mirelo
};

// Received by Corvalle's tip windows.
enum TipMessages : UINT {
    WM_TIP_MOVE = 1424,      // the tip bubble and the first-run tip
    WM_SET_TIP_TEXT = 5634,  // 0x1602, the tip's text window; see above
};

// Received by Corvalle's navigation window.
enum NavigationMessages : UINT {
    WM_MOVE_NAVIGATION = 5207,
};

// Received by Corvalle's exercise dialogs from their flash player's sink.
enum ExerciseMessages : UINT {
    WM_EXERCISE_DONE = 1534,       // the eye-exercise dialog
    WM_REST_EXERCISE_DONE = 1549,  // the full-screen rest dialog
};

// Received by Mirelo's own windows; no other program sends them. (The forms
// library's application window takes WM_APP + 1 for itself: that library
// knows no product, so its number stays there.)
enum SettingsPrivateMessages : UINT {
    WM_CONFIRM_SHOWN = WM_APP + 20,     // the display-mode confirm form
    WM_HEALTH_PAGE_EXIT = WM_APP + 31,  // the health page's subclassed edit boxes
};

// Windows of the maker's other programs that Corvalle talks to.
// The monitor program's window: asked whether to stay quiet.
constexpr wchar_t kMonitorWindowClass[] = L"QTarviskMonClass";
constexpr UINT kMonitorQuery = 0x905;
// Registered by name; Corvalle's tray window takes it as "restart".
constexpr wchar_t kRestartMessageName[] = L"ZubEraseTool";

// wParam of WM_REPORT_SETTINGS_EVENT.
enum SettingsEventCode : int {
    kEventEyeCare = 0,
    kEventNeckCare = 1,
    kEventRestOn = 2,
    kEventRestOff = 3,
    kEventColorOn = 4,
    kEventColorOff = 5,
    kEventRestSetting = 6,
    kEventAddRemind = 7,
    kEventDelRemind = 8,
    kEventNoTips = 9,
    kEventAddTask = 10,
    kEventDelTask = 11,
    kEventNoTask = 12,
    kEventAutoOn = 13,
    kEventAutoOff = 14,
    kEventRemindOn = 15,
    kEventRemindOff = 16,
    kEventSoundOn = 17,
    kEventSoundOff = 18,
    kSettingsEventCount = 19,
};

// The table checks itself when it is compiled: no number is used twice but
// the one above, Mirelo's own messages stay in its private range, and the
// change codes run from 0 without a gap. A new message goes into this list.
namespace table_check {

constexpr UINT kEveryNumber[] = {
    WM_SETTINGS_CHANGED, WM_SETTINGS_RESERVED, WM_SHOW_NECK_EXERCISE, WM_SHOW_EYE_EXERCISE,
    WM_REPORT_SETTINGS_EVENT, WM_REST_SETTINGS_CHANGED, WM_TIP_LINK_CLICKED, WM_SHOW_EYE_EXERCISE_ALT,
    WM_CLOSE_NAVIGATION, WM_ACTION_DUE, WM_DETECT_ENDED, WM_OPEN_NAVIGATION, WM_HIDE_NAVIGATION, WM_TRAY_NOTIFY,
    WM_CLOSE_SETTINGS, WM_SHOW_PAGE, WM_TIP_MOVE, WM_SET_TIP_TEXT, WM_MOVE_NAVIGATION, WM_EXERCISE_DONE,
    WM_REST_EXERCISE_DONE, WM_CONFIRM_SHOWN, WM_HEALTH_PAGE_EXIT,
};

constexpr bool OnlyTheSharedNumberRepeats() {
    const size_t count = sizeof(kEveryNumber) / sizeof(kEveryNumber[0]);
    for (size_t i = 0; i < count; ++i)
        for (size_t j = i + 1; j < count; ++j)
            if (kEveryNumber[i] == kEveryNumber[j] && kEveryNumber[i] != static_cast<UINT>(WM_SET_TIP_TEXT))
                return false;
    return true;
}

}  // namespace table_check

static_assert(table_check::OnlyTheSharedNumberRepeats(), "a number of this table is used twice");
static_assert(static_cast<UINT>(WM_SHOW_NECK_EXERCISE) == static_cast<UINT>(WM_SET_TIP_TEXT),
              "the one shared number, to two different windows");
static_assert(WM_CONFIRM_SHOWN >= WM_APP && WM_HEALTH_PAGE_EXIT >= WM_APP && WM_CONFIRM_SHOWN < 0xC000 &&
                  WM_HEALTH_PAGE_EXIT < 0xC000,
              "Mirelo's own messages lie in the application's private range");
static_assert(kEventEyeCare == 0 && kSettingsEventCount == kEventSoundOff + 1,
              "the codes start at 0 and the count follows the last");

}  // namespace protocol

// Corvalle's own messages, unqualified where Corvalle uses them.
using protocol::kCommandOpenGeneralSettings;
using protocol::WM_ACTION_DUE;
using protocol::WM_CLOSE_NAVIGATION;
using protocol::WM_DETECT_ENDED;
using protocol::WM_EXERCISE_DONE;
using protocol::WM_HIDE_NAVIGATION;
using protocol::WM_MOVE_NAVIGATION;
using protocol::WM_OPEN_NAVIGATION;
using protocol::WM_REST_EXERCISE_DONE;
using protocol::WM_SET_TIP_TEXT;
using protocol::WM_SHOW_EYE_EXERCISE_ALT;
using protocol::WM_TIP_LINK_CLICKED;
using protocol::WM_TIP_MOVE;
using protocol::WM_TRAY_NOTIFY;
