// The one report of a process that cannot make XML documents.
#include <windows.h>
#include <urlmon.h>

#include <string>

#include "base/app_paths.h"
#include "base/exception_barrier.h"
#include "base/handles.h"
#include "base/log.h"
#include "base/module_exports.h"
#include "base/path_join.h"
#include "base/service_addresses.h"
#include "plugins/catalog/xml_document.h"
#include "protocol/outside_exports.h"

namespace catalog {

namespace {

constexpr int kClientIdCapacity = 100;
constexpr size_t kUrlLimit = 259;

// The security product's Zubverify.dll, beside its main program.
std::wstring VerifierPath() {
    const std::wstring program = base::ReadTarviskAppPath();
    const size_t slash = program.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    return base::JoinPath(program.substr(0, slash + 1), protocol::outside::kZubverifyLibrary);
}

std::wstring ClientId(const std::wstring& library) {
    wchar_t id[kClientIdCapacity] = {};
    const base::Library module(::LoadLibraryW(library.c_str()));
    if (!module) {
        base::LogFailedCall((L"XML error report " + library).c_str(), L"LoadLibraryW");
        return std::wstring();
    }
    const auto getCid = base::Export<protocol::outside::GetCidFn>(module.Get(), protocol::outside::kGetCidName);
    if (!getCid) base::LogLine(L"XML error report", L"no client-id entry; not sent: " + library);
    if (getCid && getCid(id, kClientIdCapacity) == 0) id[0] = L'\0';
    id[kClientIdCapacity - 1] = L'\0';
    return id;
}

void SendReport() {
    const std::wstring library = VerifierPath();
    if (library.empty()) return;
    const std::wstring id = ClientId(library);
    if (id.empty()) return;
    std::wstring url = ServiceAddress(Service::Statistics) + L"/stat/?xml=err&m=" + id;
    if (url.size() > kUrlLimit) url.resize(kUrlLimit);
    wchar_t temp[MAX_PATH] = {};
    wchar_t name[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    if (length == 0) {
        base::LogFailedCall(L"XML error report: not sent", L"GetTempPathW");
        return;
    }
    if (length >= MAX_PATH) {
        base::LogLine(L"XML error report", L"the temporary folder's path is too long; not sent");
        return;
    }
    if (::GetTempFileNameW(temp, L"~DF", 0, name) == 0) {
        base::LogFailedCall(L"XML error report: not sent", L"GetTempFileNameW");
        return;
    }
    const HRESULT sent = ::URLDownloadToFileW(nullptr, url.c_str(), name, 0, nullptr);
    if (FAILED(sent)) base::LogFailedCall(L"XML error report: not sent", L"URLDownloadToFileW", static_cast<DWORD>(sent));
    ::DeleteFileW(name);
}

}  // namespace

DWORD WINAPI ReportXmlErrorThread(void*) {
    // The download may need COM on this thread.
    const base::ComScope com;
    base::CallGuarded(L"ReportXmlErrorThread", false, [] {
        SendReport();
        return true;
    });
    return 0;
}

}  // namespace catalog
