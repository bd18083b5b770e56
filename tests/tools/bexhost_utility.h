// bexhost's scenarios of Lumvex's classes 88 and 89 ("setup after-install"
// and "daemon"); argv[0] is the scenario's name.
#pragma once

#include <windows.h>

#include "protocol/bex_plugin.h"

// The number of failures. `kernel` is the stand-in's module, for its
// control entries.
int RunUtilityScenario(protocol::BexPluginFn bexPlugin, HMODULE kernel, int argc, wchar_t** argv);
