// bexhost's scenarios of Lumvex's miscellaneous job (class 403), made
// through the kernel:
//   misc CHECK MASK ADIDFILE   slot 5; ADIDFILE "-" passes null. Prints the
//                              result and, when it is 1, the block's fields
//   misc WRITE PATH ID         slot 6
//   misc SUPPORTED NAME        slot 3; NAME "-" passes null
#include "tests/tools/bexhost_misc.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "plugins/setup/lumvex_interfaces.h"
#include "plugins/setup/recommend_records.h"

using namespace setup;

namespace {

const wchar_t* Arg(const wchar_t* text) { return std::wcscmp(text, L"-") == 0 ? nullptr : text; }

void PrintResult(const RecommendResult& r) {
    std::printf("Size %u\nAdId %u\nUpdateInterval %u\nRecommendRepeat %u\nRecommendUrl %ls\n"
                "RecommendSoftId %u\nOneKeyInstall %u\nAutoRun %u\nRecommendDescription %ls\nRefSoftId %u\n",
                r.Size, r.AdId, r.UpdateInterval, r.RecommendRepeat, r.RecommendUrl, r.RecommendSoftId,
                r.OneKeyInstall, r.AutoRun, r.RecommendDescription, r.RefSoftId);
}

}  // namespace

int RunMiscScenario(protocol::BexPluginFn bexPlugin, int argc, wchar_t** argv) {
    if (!bexPlugin || argc < 2) {
        std::printf("FAIL misc needs the kernel and a command\n");
        return 1;
    }
    IBexPlugin* object = nullptr;
    if (bexPlugin(403, &object) != S_OK || !object) {
        std::printf("FAIL create 403\n");
        return 1;
    }
    auto* job = static_cast<IMiscJob*>(object);
    const std::wstring command = argv[1];
    int failures = 0;
    if (command == L"CHECK" && argc >= 4) {
        RecommendResult result;
        const LONG found = job->CheckRecommendAndUpdateCondition2(
            static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 0)), Arg(argv[3]), &result);
        std::printf("result %ld\n", static_cast<long>(found));
        if (found) PrintResult(result);
    } else if (command == L"WRITE" && argc >= 4) {
        std::printf("result %ld\n", static_cast<long>(job->WriteAdIdToFile(
                                         Arg(argv[2]), static_cast<uint32_t>(std::wcstoul(argv[3], nullptr, 0)))));
    } else if (command == L"SUPPORTED" && argc >= 3) {
        std::printf("result %ld\n", static_cast<long>(job->IsSupported(Arg(argv[2]))));
    } else {
        std::printf("FAIL unknown misc command\n");
        failures = 1;
    }
    object->Release();
    return failures;
}
