// The manager's button in the taskbar's dock: numbered subkeys of the dock
// key, each naming its button's class.
#pragma once

#include <windows.h>

namespace setup {

// Deletes every subkey of `root`\`dockKey` whose "ButtonClassName" is
// exactly "QZubTaskBtn" (with its children); nothing when none matches.
// Names and classes are collected first, so a deletion never makes the walk
// skip a key. Returns how many were deleted.
int RemoveDockButton(HKEY root, const wchar_t* dockKey);

}  // namespace setup
