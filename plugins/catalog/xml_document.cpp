#include "plugins/catalog/xml_document.h"

#include <oleauto.h>

#include <atomic>
#include <csetjmp>
#include <mutex>

#include "base/exception_barrier.h"
#include "base/handles.h"
#include "base/log.h"
#include "base/module_exports.h"

namespace catalog {

namespace {

// The version-independent DOM document and its interface, with their
// documented values (not every import library carries them).
constexpr GUID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr GUID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

constexpr DWORD kPathCapacity = 1040;
constexpr wchar_t kTestDocument[] = L"<doc><test>test</test></doc>";

// The library registered before each attempt, by attempt number (6: none).
constexpr const wchar_t* kLibraries[] = {
    L"%SystemRoot%\\System32\\msxml.dll",
    L"%SystemRoot%\\System32\\msxml2.dll",
    L"%SystemRoot%\\System32\\msxml3.dll",
    L"%SystemRoot%\\System32\\msxml4.dll",
    L"%CommonProgramFiles%\\Microsoft Shared\\OFFICE11\\msxml5.dll",
    L"%SystemRoot%\\System32\\msxml6.dll",
    nullptr,
};

HRESULT CreateDocument(IXMLDOMDocument** out) {
    return ::CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, kIidXmlDomDocument,
                              reinterpret_cast<void**>(out));
}

// Where a fault inside a registration entry resumes. g++ has no __try; the
// process's last-chance filter (reached only by exceptions nothing inside
// the library handled) jumps back here instead. Probes run one at a time
// (under the probe lock), so one recovery point is enough; it belongs to
// the thread that set it.
std::jmp_buf* volatile g_recovery = nullptr;
volatile DWORD g_recoveryThread = 0;
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

LONG WINAPI RegistrationFaultFilter(EXCEPTION_POINTERS* info) {
    std::jmp_buf* recovery = g_recovery;
    if (recovery && g_recoveryThread == ::GetCurrentThreadId()) {
        g_recovery = nullptr;
        std::longjmp(*recovery, 1);
    }
    return g_previousFilter ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

// Calls the entry; false when it failed or faulted.
bool CallRegistration(HRESULT(__stdcall* entry)()) {
    volatile bool registered = false;  // kept across the jump back
    std::jmp_buf recovery;
    g_previousFilter = ::SetUnhandledExceptionFilter(&RegistrationFaultFilter);
    if (setjmp(recovery) == 0) {
        g_recoveryThread = ::GetCurrentThreadId();
        g_recovery = &recovery;
        registered = SUCCEEDED(entry());
    }
    g_recovery = nullptr;
    ::SetUnhandledExceptionFilter(g_previousFilter);
    return registered;
}

bool RegisterLibrary(const wchar_t* path) {
    const base::Library module(::LoadLibraryW(path));
    if (!module) return false;
    using RegisterFn = HRESULT(__stdcall*)();
    const auto entry = base::Export<RegisterFn>(module.Get(), "DllRegisterServer");
    return entry && CallRegistration(entry);
}

std::atomic<LONG> g_reportsRunning{0};

DWORD WINAPI CountedReportThread(void* unused) {
    const DWORD result = ReportXmlErrorThread(unused);
    --g_reportsRunning;
    return result;
}

void StartReport() {
    ++g_reportsRunning;
    // Not waited for: the report counts itself out as it ends.
    const base::Thread thread(::CreateThread(nullptr, 0, &CountedReportThread, nullptr, 0, nullptr));
    if (!thread) {
        --g_reportsRunning;
        base::LogFailedCall(L"XML error report: not sent", L"CreateThread");
    }
}

std::mutex g_seamsLock;
XmlSeams g_seams = {&CreateDocument, &RegisterLibrary, &StartReport};

XmlSeams Seams() {
    std::lock_guard<std::mutex> lock(g_seamsLock);
    return g_seams;
}

// -1 while unknown (the probe runs under g_probe; callers wait for it).
std::atomic<int> g_choice{-1};
std::mutex g_probe;

bool LoadsTestDocument(IXMLDOMDocument* document) {
    const base::Bstr text(kTestDocument);
    if (!text.Get()) return false;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return SUCCEEDED(document->loadXML(text.Get(), &loaded)) && loaded == VARIANT_TRUE;
}

// A document for a caller: answers and data files may carry a DTD that must
// not be fetched or enforced.
HRESULT NewDocument(const XmlSeams& seams, IXMLDOMDocument** out) {
    *out = nullptr;
    if (FAILED(seams.create(out)) || !*out) {
        *out = nullptr;
        return E_FAIL;
    }
    (*out)->put_resolveExternals(VARIANT_FALSE);
    (*out)->put_validateOnParse(VARIANT_FALSE);
    return S_OK;
}

HRESULT Probe(const XmlSeams& seams, IXMLDOMDocument** out) {
    for (int attempt = 6; attempt >= 0; --attempt) {
        if (const wchar_t* library = kLibraries[attempt]) {
            wchar_t path[kPathCapacity] = {};
            const DWORD length = ::ExpandEnvironmentStringsW(library, path, kPathCapacity);
            if (length == 0 || length > kPathCapacity) continue;
            if (!seams.registerLibrary(path)) continue;
        }
        base::ComPtr<IXMLDOMDocument> document;
        const HRESULT hr = seams.create(document.Put());
        if (hr == CO_E_NOTINITIALIZED) {
            // This thread never initialised COM: registering more would not
            // help. The process gives up on XML.
            document.Reset();
            base::LogFailedCall(L"XML documents: none for this process", L"CoCreateInstance",
                                static_cast<DWORD>(hr));
            g_choice = -2;
            seams.startReport();
            return E_FAIL;
        }
        if (FAILED(hr) || !document) continue;
        const bool works = LoadsTestDocument(document.Get());
        document.Reset();
        if (!works) continue;
        g_choice = 0;
        return NewDocument(seams, out);
    }
    base::LogLine(L"XML documents", L"no parser can be made or registered; none for this process");
    g_choice = -2;
    seams.startReport();
    return E_FAIL;
}

}  // namespace

HRESULT CreateXmlDocument(IXMLDOMDocument** out) {
    if (!out) return E_FAIL;
    *out = nullptr;
    const HRESULT hr = base::CallGuarded(L"CreateXmlDocument", E_FAIL, [out]() -> HRESULT {
        const XmlSeams seams = Seams();
        if (g_choice.load() == -1) {
            std::lock_guard<std::mutex> lock(g_probe);
            if (g_choice.load() == -1) return Probe(seams, out);
        }
        if (g_choice.load() != 0) return E_FAIL;
        return NewDocument(seams, out);
    });
    if (FAILED(hr)) *out = nullptr;
    return hr;
}

bool XmlErrorReportRunning() { return g_reportsRunning.load() > 0; }

XmlSeams DefaultXmlSeams() { return XmlSeams{&CreateDocument, &RegisterLibrary, &StartReport}; }

void SetXmlSeams(const XmlSeams& seams) {
    std::lock_guard<std::mutex> lock(g_seamsLock);
    g_seams = seams;
}

int XmlChoice() { return g_choice.load(); }

void ResetXmlChoiceForTest() { g_choice = -1; }

}  // namespace catalog
