// How the first XML document of a process is made: the attempt sequence
// with fake creation and registration steps, and once with real COM.
#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "plugins/catalog/xml_document.h"
#include "tests/doubles/kernel/kernel_fixture.h"

namespace {

using catalog::CreateXmlDocument;
using catalog::XmlChoice;

std::mutex g_lock;
std::vector<std::wstring> g_registered;
std::atomic<int> g_creates{0};
std::atomic<int> g_reports{0};
HRESULT g_createResult = S_OK;  // S_OK: the real class

bool FakeRegister(const wchar_t* path) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_registered.push_back(path);
    return true;
}
void FakeReport() { ++g_reports; }

HRESULT RealCreate(IXMLDOMDocument** out) { return catalog::DefaultXmlSeams().create(out); }

// The class answers once msxml3 was registered.
HRESULT CreateAfterMsxml3(IXMLDOMDocument** out) {
    ++g_creates;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (g_registered.empty() || g_registered.back().find(L"msxml3.dll") == std::wstring::npos)
            return REGDB_E_CLASSNOTREG;
    }
    return RealCreate(out);
}
HRESULT CreateWithResult(IXMLDOMDocument** out) {
    ++g_creates;
    return g_createResult == S_OK ? RealCreate(out) : g_createResult;
}
HRESULT SlowCreate(IXMLDOMDocument** out) {
    ::Sleep(100);
    return RealCreate(out);
}

std::wstring Expand(const wchar_t* path) {
    wchar_t out[1040] = {};
    ::ExpandEnvironmentStringsW(path, out, 1040);
    return out;
}

class XmlDocument : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        g_registered.clear();
        g_creates = 0;
        g_reports = 0;
        catalog::ResetXmlChoiceForTest();
    }
    void TearDown() override {
        catalog::SetXmlSeams(catalog::DefaultXmlSeams());
        catalog::ResetXmlChoiceForTest();
        ::CoUninitialize();
        BexKernelTest::TearDown();
    }
    void Use(HRESULT (*create)(IXMLDOMDocument**)) { catalog::SetXmlSeams({create, &FakeRegister, &FakeReport}); }
    static bool Loads(IXMLDOMDocument* document, const wchar_t* text) {
        BSTR xml = ::SysAllocString(text);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        const HRESULT hr = document->loadXML(xml, &loaded);
        ::SysFreeString(xml);
        return SUCCEEDED(hr) && loaded == VARIANT_TRUE;
    }
};

TEST_F(XmlDocument, TheSystemsClassWorksAtOnceAndDtdsAreNeitherFetchedNorEnforced) {
    IXMLDOMDocument* document = nullptr;
    ASSERT_EQ(CreateXmlDocument(&document), S_OK);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(XmlChoice(), 0);
    VARIANT_BOOL resolve = VARIANT_TRUE, validate = VARIANT_TRUE;
    document->get_resolveExternals(&resolve);
    document->get_validateOnParse(&validate);
    EXPECT_EQ(resolve, VARIANT_FALSE);
    EXPECT_EQ(validate, VARIANT_FALSE);
    EXPECT_TRUE(Loads(document, L"<!DOCTYPE r SYSTEM \"http://127.0.0.1:1/r.dtd\"><r><x/></r>"));
    document->Release();
}

TEST_F(XmlDocument, ABrokenInstallationIsRepairedLibraryByLibrary) {
    Use(&CreateAfterMsxml3);
    IXMLDOMDocument* document = nullptr;
    ASSERT_EQ(CreateXmlDocument(&document), S_OK);
    ASSERT_NE(document, nullptr);
    document->Release();
    const std::vector<std::wstring> expected = {
        Expand(L"%SystemRoot%\\System32\\msxml6.dll"),
        Expand(L"%CommonProgramFiles%\\Microsoft Shared\\OFFICE11\\msxml5.dll"),
        Expand(L"%SystemRoot%\\System32\\msxml4.dll"),
        Expand(L"%SystemRoot%\\System32\\msxml3.dll"),
    };
    EXPECT_EQ(g_registered, expected);
    EXPECT_EQ(XmlChoice(), 0);
    EXPECT_EQ(g_reports, 0);

    // Later documents are made straight away.
    ASSERT_EQ(CreateXmlDocument(&document), S_OK);
    document->Release();
    EXPECT_EQ(g_registered.size(), expected.size());
}

TEST_F(XmlDocument, WithoutComOnTheThreadTheProcessReportsOnceAndGivesUp) {
    g_createResult = CO_E_NOTINITIALIZED;
    Use(&CreateWithResult);
    IXMLDOMDocument* document = reinterpret_cast<IXMLDOMDocument*>(1);
    EXPECT_EQ(CreateXmlDocument(&document), E_FAIL);
    EXPECT_EQ(document, nullptr);
    g_createResult = S_OK;  // would work now, but nothing is tried again
    EXPECT_EQ(CreateXmlDocument(&document), E_FAIL);
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(g_creates, 1);
    EXPECT_TRUE(g_registered.empty());
    EXPECT_EQ(g_reports, 1);
    EXPECT_EQ(XmlChoice(), -2);
}

TEST_F(XmlDocument, WhenNothingWorksEveryLibraryIsTriedAndOneReportSent) {
    g_createResult = REGDB_E_CLASSNOTREG;
    Use(&CreateWithResult);
    IXMLDOMDocument* document = nullptr;
    EXPECT_EQ(CreateXmlDocument(&document), E_FAIL);
    EXPECT_EQ(g_registered.size(), 6u);
    EXPECT_EQ(g_creates, 7);
    EXPECT_EQ(g_reports, 1);
    EXPECT_EQ(CreateXmlDocument(&document), E_FAIL);
    EXPECT_EQ(g_creates, 7);
}

TEST_F(XmlDocument, TwoFirstCallersBothGetADocument) {
    Use(&SlowCreate);
    std::atomic<int> made{0};
    const auto parse = [&made] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IXMLDOMDocument* document = nullptr;
        if (CreateXmlDocument(&document) == S_OK && document) {
            ++made;
            document->Release();
        }
        ::CoUninitialize();
    };
    std::thread first(parse), second(parse);
    first.join();
    second.join();
    EXPECT_EQ(made, 2);
}

}  // namespace

namespace {

TEST_F(XmlDocument, ALibraryWhoseRegistrationFaultsIsSkipped) {
    const std::wstring faulting = ExeDir() + L"faulting_register_double.dll";
    EXPECT_FALSE(catalog::DefaultXmlSeams().registerLibrary(faulting.c_str()));
    // Still loadable: it was freed, not left half-used.
    EXPECT_EQ(::GetModuleHandleW(L"faulting_register_double.dll"), nullptr);
    EXPECT_FALSE(catalog::DefaultXmlSeams().registerLibrary(faulting.c_str()));
}

}  // namespace
