// bexhost's scenarios of Lumvex's setup utility and options daemon, made
// through the kernel:
//   setup after-install          class 88 slot 3; prints its result
//   daemon start|stop|release|fire KEY VALUE ...
//                                one class-89 object for the whole list:
//                                slot 3, slot 4, the final release, or a
//                                change of an option through the stand-in's
//                                store (prints how many watches ran). A
//                                daemon not released by the list is
//                                released at the end.
#include "tests/tools/bexhost_utility.h"

#include <cstdio>
#include <string>

#include "base/module_exports.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "tests/doubles/kernel/bex_test_api.h"

using namespace setup;

namespace {

int AfterInstall(protocol::BexPluginFn bexPlugin) {
    IBexPlugin* object = nullptr;
    if (bexPlugin(88, &object) != S_OK || !object) {
        std::printf("FAIL create 88\n");
        return 1;
    }
    std::printf("after-install %ld\n", static_cast<long>(static_cast<IBexSetupUtil*>(object)->ConfigureAfterInstall()));
    object->Release();
    return 0;
}

int Daemon(protocol::BexPluginFn bexPlugin, HMODULE kernel, int argc, wchar_t** argv) {
    const auto setOption = base::Export<bextest::SetOptionFn>(kernel, bextest::kSetOptionName);
    IBexPlugin* object = nullptr;
    if (bexPlugin(89, &object) != S_OK || !object) {
        std::printf("FAIL create 89\n");
        return 1;
    }
    auto* daemon = static_cast<IBexDaemon*>(object);
    int failures = 0;
    for (int i = 1; i < argc && daemon; ++i) {
        const std::wstring command = argv[i];
        if (command == L"start") {
            std::printf("start %ld\n", static_cast<long>(daemon->Start()));
        } else if (command == L"stop") {
            std::printf("stop %ld\n", static_cast<long>(daemon->Stop()));
        } else if (command == L"release") {
            daemon->Release();
            daemon = nullptr;
            std::printf("released\n");
        } else if (command == L"fire" && i + 2 < argc && setOption) {
            std::printf("fired %d\n", setOption(argv[i + 1], argv[i + 2]));
            i += 2;
        } else {
            std::printf("FAIL unknown daemon command\n");
            ++failures;
            break;
        }
    }
    if (daemon) daemon->Release();
    return failures;
}

}  // namespace

int RunUtilityScenario(protocol::BexPluginFn bexPlugin, HMODULE kernel, int argc, wchar_t** argv) {
    if (!bexPlugin || argc < 2) {
        std::printf("FAIL setup needs the kernel and a command\n");
        return 1;
    }
    const std::wstring scenario = argv[0];
    if (scenario == L"setup" && std::wstring(argv[1]) == L"after-install") return AfterInstall(bexPlugin);
    if (scenario == L"daemon") return Daemon(bexPlugin, kernel, argc, argv);
    std::printf("FAIL unknown setup command\n");
    return 1;
}
