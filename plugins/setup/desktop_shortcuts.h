// Shell links on the desktop: reading a link's target, removing the links
// to a program, writing a link and renewing the game centre's link. Each
// routine opens its own COM scope: it may run on a kernel thread or the
// options store's thread, which need not have COM.
#pragma once

#include <string>
#include <vector>

namespace setup {

// The names of the "*.lnk" files (not folders) in `folder`.
std::vector<std::wstring> DesktopLinks(const std::wstring& folder);
// The link's resolved target and, when asked, its arguments; false when it
// can't be loaded or resolved, or a text does not fit 260 characters.
bool ReadShortcut(const wchar_t* linkPath, std::wstring* target, std::wstring* arguments);

// The link's target; empty when it can't be loaded or resolved.
std::wstring ResolveShortcutTarget(const wchar_t* linkPath);
// Deletes every desktop link whose target is `targetPath` (blanks around
// and case ignored). Nothing for an empty target.
void DeleteDesktopShortcutsTo(const wchar_t* targetPath);
// folder + "\" + name: target, arguments, icon (index 0), working folder the
// target's folder. True when saved.
bool CreateShortcut(const std::wstring& folder, const wchar_t* name, const std::wstring& target,
                    const wchar_t* arguments, const std::wstring& iconPath);
// A desktop "Zub游戏中心.lnk" is made again to start the manager's
// "Pellorand.exe" with "page=14". Nothing when `programPath` is blank.
void ReplaceGameCentreShortcut(const wchar_t* programPath);

}  // namespace setup
