// What a window shows as its text.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// The whole text of `window`; empty for none.
std::wstring WindowText(HWND window);

}  // namespace testsupport
