// The window colour Mirelo's eye-protection switch sets and both programs
// recognise: Corvalle restores white at uninstall only while this green is
// on, Mirelo shows the switch on exactly when the system colour is this green.
#pragma once

#include <windows.h>

namespace protocol {

constexpr COLORREF kEyeProtectionColor = RGB(204, 232, 207);
constexpr COLORREF kWhiteWindowColor = RGB(255, 255, 255);

}  // namespace protocol
