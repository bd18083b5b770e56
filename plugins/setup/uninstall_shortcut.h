// The manager's uninstall-software shortcut: written with the shell-link
// object, in a COM scope of its own.
#pragma once

#include <string>

namespace setup {

struct ShortcutSpec {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
    std::wstring iconPath;  // index 0
};

// Saves a link at `linkPath`; one that is there is replaced only by a link
// saved whole. True when saved.
bool SaveShortcut(const std::wstring& linkPath, const ShortcutSpec& shortcut);

}  // namespace setup
