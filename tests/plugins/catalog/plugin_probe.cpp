// Runs one plug-in request and prints what came of it; the plug-in scripts
// drive it.
//
//   plugin_probe xml          CreateXmlDocument on a thread without COM;
//                             waits for the failure report
//   plugin_probe fetch URL    a blocking fetch through the kernel
//                             (BEXTEST_HTTP set: a real GET)
//   plugin_probe slot ID N    calls slot N of a kernel object of class ID
//                             (no arguments), as a wrong slot number would
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "plugins/catalog/async_result.h"
#include "plugins/catalog/xml_document.h"
#include "plugins/common/kernel_binding.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/slot_call.h"

namespace {

int Xml() {
    IXMLDOMDocument* document = nullptr;
    const HRESULT hr = catalog::CreateXmlDocument(&document);
    std::printf("xml 0x%08lX\n", static_cast<unsigned long>(hr));
    if (document) document->Release();
    for (int i = 0; i < 600 && catalog::XmlErrorReportRunning(); ++i) ::Sleep(50);
    std::printf("report %ls\n", catalog::XmlErrorReportRunning() ? L"still running" : L"done");
    return hr == E_FAIL ? 0 : 1;
}

int Fetch(const wchar_t* url) {
    if (plugin::LoadKernelDll() != S_OK) {
        std::printf("no kernel\n");
        return 1;
    }
    std::string body;
    const bool ok = catalog::FetchAndWait(nullptr, url, [&](const BYTE* data, size_t size) {
        body.assign(reinterpret_cast<const char*>(data), size);
        return true;
    });
    std::printf("fetch %s %u", ok ? "ok" : "failed", static_cast<unsigned>(body.size()));
    for (size_t i = 0; i < body.size() && i < 32; ++i) std::printf(" %02X", static_cast<unsigned char>(body[i]));
    std::printf("\n");
    return 0;
}

// Slots the contract does not describe for the classes they are asked of:
// the stand-in must refuse each loudly.
struct Undescribed {
    using Object = IBexPlugin;
};
template <int N>
int CallUndescribed(IBexPlugin* object) {
    return protocol::Call(protocol::Slot<Undescribed, N, int()>{}, object);
}

int Slot(uint32_t classId, int slot) {
    if (plugin::LoadKernelDll() != S_OK) return 1;
    const protocol::PluginRef<> object = plugin::CreateByClassId(classId);
    if (!object) return 1;
    std::printf("slot %d of class %u\n", slot, object->GetClassId());
    std::fflush(stdout);
    switch (slot) {
    case 6:
        return CallUndescribed<6>(object.Get());
    case 8:
        return CallUndescribed<8>(object.Get());
    case 20:
        return CallUndescribed<20>(object.Get());
    case 23:
        return CallUndescribed<23>(object.Get());
    default:
        return 1;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    int rc = 2;
    if (mode == L"xml") rc = Xml();
    else if (mode == L"fetch" && argc > 2) rc = Fetch(argv[2]);
    else if (mode == L"slot" && argc > 3)
        rc = Slot(static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 10)), std::wcstol(argv[3], nullptr, 10));
    std::fflush(stdout);
    return rc;
}
