// What the parts of the health page share: its size, the column of panels
// at its right edge, and its colours.
#pragma once

#include <windows.h>

namespace settings {

constexpr int kHealthWidth = 620;
constexpr int kHealthHeight = 420;

// The rest panel sits 18 pixels from the right edge, its top at 85; the
// colour panel 8 pixels under it, and the eye hint 8 pixels under that.
constexpr int kHealthPanelWidth = 165;
constexpr int kHealthPanelLeft = kHealthWidth - 18 - kHealthPanelWidth;
constexpr int kHealthPanelGap = 8;
constexpr int kRestPanelTop = 85;
constexpr int kRestPanelHeight = 119;
constexpr int kColorPanelTop = kRestPanelTop + kRestPanelHeight + kHealthPanelGap;
constexpr int kColorPanelHeight = 81;
constexpr int kEyeHintTop = kColorPanelTop + kColorPanelHeight + kHealthPanelGap;
// Inside a panel: texts start kPanelTextInset from its left edge, its
// on/off switch keeps kSwitchInset from the right edge.
constexpr int kPanelTextInset = 8;
constexpr int kSwitchInset = 10;
constexpr int kSwitchWidth = 33, kSwitchHeight = 13;
constexpr int kSwitchLeft = kHealthPanelLeft + kHealthPanelWidth - kSwitchWidth - kSwitchInset;
constexpr int kHealthLineHeight = 15;

constexpr COLORREF kHeadingColor = RGB(76, 96, 61);  // 4022348
constexpr COLORREF kLinkColor = RGB(11, 130, 213);   // 13992459
constexpr COLORREF kPlainColor = RGB(106, 96, 96);   // 6316138
constexpr COLORREF kNumberColor = RGB(255, 0, 0);

}  // namespace settings
