// The maker's privacy protector, kept in "Tarviskmon" beside the folder
// that holds Lumvex.dll: its desktop links, its running window and its
// files go at uninstall; its settings ask for the link again.
#pragma once

#include <string>

namespace setup {

// The folder, ending in "\"; empty when it does not fit 260 characters.
std::wstring PrivacyProtectorFolder();
void RemovePrivacyProtector();

}  // namespace setup
