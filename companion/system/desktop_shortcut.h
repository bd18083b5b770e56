// The companion's shortcut on the user's desktop, made on the first run.
#pragma once

#include <string>

namespace companion {

// 0 created (or already there); -5 an argument is missing; -4 the target does
// not exist; -1 COM could not start; -2 no shell-link object; -3 it cannot be
// filled or saved (no file is left behind).
int ShellLinkCreate(const wchar_t* target, const wchar_t* shortcut);

// Path of the companion's desktop shortcut; empty when there is no desktop folder.
std::wstring DesktopShortcutPath();

}  // namespace companion
