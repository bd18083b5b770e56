// Runs one plug-in request against the local test server and prints what
// came of it; the server-backed scripts drive it.
//
//   plugin_server_probe xml          CreateXmlDocument on a thread without
//                                    COM; waits for the failure report
//   plugin_server_probe fetch URL    a blocking fetch through the kernel
//                                    (BEXTEST_HTTP set: a real GET)
#include <windows.h>

#include <cstdio>
#include <string>

#include "plugins/catalog/async_result.h"
#include "plugins/catalog/xml_document.h"
#include "plugins/common/kernel_binding.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    int rc = 2;
    if (mode == L"xml") rc = Xml();
    else if (mode == L"fetch" && argc > 2) rc = Fetch(argv[2]);
    std::fflush(stdout);
    return rc;
}
