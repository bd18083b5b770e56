// Lumvex's own module, kept at attach for its resources.
#pragma once

#include <windows.h>

namespace setup {

HMODULE LumvexModule();
void SetLumvexModule(HMODULE module);

}  // namespace setup
