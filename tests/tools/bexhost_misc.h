// bexhost's "misc" scenarios (Lumvex's class 403); argv[0] is "misc".
#pragma once

#include "protocol/bex_plugin.h"

// The number of failures.
int RunMiscScenario(protocol::BexPluginFn bexPlugin, int argc, wchar_t** argv);
