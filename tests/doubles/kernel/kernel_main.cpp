// bexkernl.dll for the tests: BexPlugin and the control entries of
// bex_test_api.h. Creation codes of plug-in classes go to the loaded
// plug-ins' factories; the other codes to the services.
#include <windows.h>

#include <string>
#include <type_traits>

#include "protocol/bex_kernel.h"
#include "protocol/bex_plugin.h"
#include "tests/doubles/kernel/bex_test_api.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/plugin_registry.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace {

std::wstring Mode(uint32_t classId) {
    const wchar_t* fallback = classId == protocol::kernel::kCompletion ? L"refuse" : L"serve";
    return standin::Config(L"classes", std::to_wstring(classId).c_str(), fallback);
}

HRESULT Create(uint32_t classId, IBexPlugin** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    const std::wstring mode = Mode(classId);
    if (mode == L"refuse") return E_FAIL;
    if (mode == L"null") return S_OK;
    if (mode == L"foreign") {
        *out = standin::MakeForeign(classId);
        return S_OK;
    }
    const HRESULT hr = standin::CreatePluginObject(classId, out);
    if (hr != S_FALSE) return hr;
    *out = standin::MakeService(classId);
    return *out ? S_OK : E_FAIL;
}

}  // namespace

extern "C" __declspec(dllexport) protocol::BexResult __stdcall BexPlugin(int code, void* arg) {
    try {
        if (code >= 0) {
            const HRESULT hr = Create(static_cast<uint32_t>(code), static_cast<IBexPlugin**>(arg));
            standin::Log(L"create " + std::to_wstring(code) + L" " + standin::Hex(static_cast<uint32_t>(hr)));
            return hr;
        }
        switch (code) {
        case protocol::kCodeCreated:
        case protocol::kCodeDestroyed: {
            const auto classId = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(arg));
            standin::CountNotice(code, classId);
            standin::Log(std::to_wstring(code) + L" " + std::to_wstring(classId));
            return S_OK;
        }
        case protocol::kCodeInitialize:
            standin::Log(L"init");
            return static_cast<HRESULT>(standin::ConfigInt(L"kernel", L"init", S_OK));
        case protocol::kCodeShutdown:
            standin::Log(L"shutdown");
            standin::Log(L"live " + std::to_wstring(standin::ServicesAlive()));
            return S_OK;
        case protocol::kCodeDebugger:
            // The pointer travels as the result, whole on either target.
            return reinterpret_cast<protocol::BexResult>(standin::KernelDebugger());
        default:
            return 0;
        }
    } catch (...) {
        return E_FAIL;
    }
}
static_assert(std::is_same<decltype(&BexPlugin), protocol::BexPluginFn>::value,
              "the stand-in must match the declared entry");

extern "C" __declspec(dllexport) HRESULT __stdcall BexTest_LoadPlugin(const wchar_t* path) {
    try {
        return standin::LoadPlugin(path);
    } catch (...) {
        return E_FAIL;
    }
}
static_assert(std::is_same<decltype(&BexTest_LoadPlugin), bextest::LoadPluginFn>::value, "declared entry");

extern "C" __declspec(dllexport) int __stdcall BexTest_Shutdown() {
    try {
        standin::EndPendingRequests();
        standin::EndDetailsRequests();
        return standin::ReleaseSharedObjects();
    } catch (...) {
        return -1;
    }
}
static_assert(std::is_same<decltype(&BexTest_Shutdown), bextest::ShutdownFn>::value, "declared entry");

extern "C" __declspec(dllexport) int __stdcall BexTest_Report(wchar_t* buffer, int capacity) {
    std::wstring text;
    const int imbalances = standin::ReportImbalances(text);
    if (buffer && capacity > 0) {
        const size_t n = text.size() < static_cast<size_t>(capacity) ? text.size() : static_cast<size_t>(capacity) - 1;
        text.copy(buffer, n);
        buffer[n] = L'\0';
    }
    return imbalances;
}
static_assert(std::is_same<decltype(&BexTest_Report), bextest::ReportFn>::value, "declared entry");

// Logs only: no release at detach (the loader lock is held).
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) standin::Log(L"attach");
    if (reason == DLL_PROCESS_DETACH) standin::Log(L"detach");
    return TRUE;
}
