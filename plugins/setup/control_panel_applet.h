// Whether the manager's control-panel applet is listed: one rule for the
// setup job and the options daemon.
#pragma once

namespace setup {

// Shown: the applet's "don't load" entry is removed. Hidden: the entry is
// written as the two characters "NO" without a terminator (4 bytes).
void ApplyControlPanelApplet(bool show);

// The registry places of the rule, for the uninstall step.
extern const wchar_t kDontLoadKey[];
extern const wchar_t kAppletName[];

}  // namespace setup
