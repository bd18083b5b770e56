// bexhost's scenario of Lumvex's uninstall clean-up (bexhost_uninstall.cpp).
#pragma once

#include "protocol/bex_plugin.h"

// `setup uninstall`: class 88 slot 4 through the kernel; prints
// "uninstall N". Returns the number of failures.
int RunUninstallScenario(protocol::BexPluginFn bexPlugin);
