// bexhost's scenarios of Lumvex's setup job (class 91) and pinning (class
// 90), made through the kernel; each prints "result N":
//   setup job SLOT          slots 3 to 9 of class 91
//   setup pin SLOT [FLAG]   slots 3 to 8 of class 90 (6 and 7 take FLAG,
//                           default 1)
//   setup badge COUNT PATH  slot 9 of class 90
#include "tests/tools/bexhost_setup.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "plugins/setup/lumvex_interfaces.h"

using namespace setup;

namespace {

bool CallJob(ISetupjob* job, int slot, LONG* result) {
    switch (slot) {
    case 3: *result = job->RegisterShellExtension(); return true;
    case 4: *result = job->Nothing4(); return true;
    case 5: *result = job->AfterInstall(); return true;
    case 6: *result = job->Nothing6(); return true;
    case 7: *result = job->Nothing7(); return true;
    case 8: *result = job->UnregisterShellExtension(); return true;
    case 9: *result = job->Uninstall(); return true;
    default: return false;
    }
}

bool CallPin(IPinToStartMenu* pin, int slot, BOOL flag, LONG* result) {
    switch (slot) {
    case 3: *result = pin->Pin(); return true;
    case 4: *result = pin->Unpin(); return true;
    case 5: *result = pin->ApplyPinState(); return true;
    case 6: *result = pin->InvokePinVerb(flag); return true;
    case 7: *result = pin->RunSetupUtility(flag); return true;
    case 8: *result = pin->ScanPinnedStartMenu(); return true;
    default: return false;
    }
}

}  // namespace

int RunSetupScenario(protocol::BexPluginFn bexPlugin, int argc, wchar_t** argv) {
    if (!bexPlugin || argc < 3) {
        std::printf("FAIL setup needs the kernel, a class and a slot\n");
        return 1;
    }
    const std::wstring what = argv[1];
    const uint32_t classId = what == L"job" ? 91 : 90;
    IBexPlugin* object = nullptr;
    if (bexPlugin(static_cast<int>(classId), &object) != S_OK || !object) {
        std::printf("FAIL create %u\n", classId);
        return 1;
    }
    const int slot = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    LONG result = 0;
    bool known = false;
    if (what == L"job") {
        known = CallJob(static_cast<ISetupjob*>(object), slot, &result);
    } else if (what == L"pin") {
        const BOOL flag = argc >= 4 ? static_cast<BOOL>(std::wcstol(argv[3], nullptr, 10)) : TRUE;
        known = CallPin(static_cast<IPinToStartMenu*>(object), slot, flag, &result);
    } else if (what == L"badge" && argc >= 4) {
        result = static_cast<IPinToStartMenu*>(object)->UpdateCountBadge(std::wcstol(argv[2], nullptr, 10), argv[3]);
        known = true;
    }
    object->Release();
    if (!known) {
        std::printf("FAIL unknown setup command\n");
        return 1;
    }
    std::printf("result %ld\n", static_cast<long>(result));
    return 0;
}
