// Private window messages and change codes that cross between Corvalle and
// Mirelo. Both programs find each other's windows by class name only.
#pragma once

#include <windows.h>

namespace protocol {

constexpr wchar_t kCompanionWindowClass[] = L"Corvalle";
constexpr wchar_t kSettingsWindowClass[] = L"TFormCorvalleOption";

enum CompanionMessages : UINT {
    WM_SETTINGS_CHANGED = 0x1600,
    WM_SETTINGS_RESERVED = 0x1601,  // answered with 1 and otherwise ignored
    WM_SHOW_NECK_EXERCISE = 0x1602,
    WM_SHOW_EYE_EXERCISE = 0x1603,
    WM_REPORT_SETTINGS_EVENT = 0x1604,
    WM_CLOSE_SETTINGS = 0x1605,
    WM_REST_SETTINGS_CHANGED = 0x1606,
    WM_SHOW_PAGE = 0x6413,
};

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

}  // namespace protocol
