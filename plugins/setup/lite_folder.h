// The "ZubPellorLite" folder kept across a reinstall: saved into the
// temporary folder at uninstall, brought back into the user's application
// data after install. An existing destination is never overwritten.
#pragma once

namespace setup {

void RestoreLiteFolder();
void SaveLiteFolder();

}  // namespace setup
