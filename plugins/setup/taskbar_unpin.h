// The taskbar icon pinned at install, taken away at uninstall through the
// shell's "taskbarunpin" verb on the path the options store recorded.
#pragma once

namespace setup {

// Nothing without the options store, or when the recorded path is missing,
// does not fit 260 characters or is not fully qualified: a relative one
// would be looked for in the current folder and on the search path.
void UnpinTaskbarIcon();

}  // namespace setup
