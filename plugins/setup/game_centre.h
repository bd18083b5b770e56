// The game centre the security product ships beside the manager: its file
// versions decide whether its desktop link is moved over to the manager.
#pragma once

#include <string>

namespace setup {

// "a.b.c.d" from the file's fixed version block; empty when the file has
// no usable version resource.
std::wstring GetFileVersionText(const wchar_t* path);

// Renews the game centre's link and deletes its program for the versions
// that the manager replaces; other versions stay as they are.
void UpgradeGameCentre();

}  // namespace setup
