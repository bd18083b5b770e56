// bexhost's "setup" and "daemon" scenarios (Lumvex's classes 88 and 89);
// argv[0] is the scenario's name.
#pragma once

#include <windows.h>

#include "protocol/bex_plugin.h"

// The number of failures. `kernel` is the stand-in's module, for its
// control entries.
int RunSetupScenario(bex::BexPluginFn bexPlugin, HMODULE kernel, int argc, wchar_t** argv);
