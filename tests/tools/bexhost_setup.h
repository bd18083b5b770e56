// bexhost's "setup" scenarios (Lumvex's classes 90 and 91); argv[0] is
// "setup".
#pragma once

#include "protocol/bex_plugin.h"

// The number of failures.
int RunSetupScenario(protocol::BexPluginFn bexPlugin, int argc, wchar_t** argv);
