#include "tests/tools/bexhost_uninstall.h"

#include <cstdio>

#include "plugins/setup/lumvex_interfaces.h"

using namespace setup;

int RunUninstallScenario(protocol::BexPluginFn bexPlugin) {
    IBexPlugin* object = nullptr;
    if (!bexPlugin || bexPlugin(88, &object) != S_OK || !object) {
        std::printf("FAIL create 88\n");
        return 1;
    }
    std::printf("uninstall %ld\n", static_cast<long>(static_cast<IBexSetupUtil*>(object)->UninstallCleanup()));
    object->Release();
    return 0;
}
