// The markers at the head of an action's tip text that tell the main window
// how to show it: the full-screen rest, a timed shutdown with its style
// digit, a user's own reminder, the processor and graphics reminder. The
// actions write them and the main window reads them, both through here; a
// user's own text never carries one.
#pragma once

#include <string>

namespace companion {

constexpr wchar_t kEyeGuardianMarker[] = L"$eyeguardian$";
constexpr wchar_t kShutdownMarker[] = L"$shutdown$";
constexpr wchar_t kCustomMarker[] = L"$custom$";
constexpr wchar_t kCpuGpuMarker[] = L"$cpugpu$";

// "$shutdown$" and the digit of `style` (a ShutDownStyle of Corvalle.ini).
std::wstring ShutdownTip(int style);
// The style of a tip that is "$shutdown$" and one known style digit, else
// -1 (nothing is done).
int ShutdownTipStyle(const std::wstring& tip);
// "$custom$" and the user's text, markers taken out.
std::wstring CustomTip(const std::wstring& text);
// The user's text with the markers the main window interprets taken out.
std::wstring StripMarkers(std::wstring text);

}  // namespace companion
