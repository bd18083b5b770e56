// The MSXML DOM documents every reply and data file of the catalogue is
// parsed with. The first call finds out which creation works in this
// process (re-registering a broken MSXML's libraries if needed); when none
// does, one failure report goes to the statistics server from a thread of
// its own.
#pragma once

#include <windows.h>
#include <msxml.h>

namespace catalog {

// S_OK with a new document in *out (resolveExternals and validateOnParse
// off), else E_FAIL with *out null. Callers on other threads wait for the
// first probe's outcome; after a failed probe every call fails at once.
HRESULT CreateXmlDocument(IXMLDOMDocument** out);

// Sends the failure report: the client id from the security product's
// Zubverify.dll, then one GET of the statistics server's
// "/stat/?xml=err&m=<id>". Without a client id nothing is sent.
DWORD WINAPI ReportXmlErrorThread(void* unused);
// True while a report started by CreateXmlDocument is still running.
bool XmlErrorReportRunning();

// Replaceable steps of the probe, for tests.
struct XmlSeams {
    HRESULT (*create)(IXMLDOMDocument** out);     // the class's creation
    bool (*registerLibrary)(const wchar_t* path);  // true: DllRegisterServer succeeded
    void (*startReport)();
};
XmlSeams DefaultXmlSeams();
void SetXmlSeams(const XmlSeams& seams);
// The cached choice: -1 not yet known, -2 failed, 0 the class works.
int XmlChoice();
void ResetXmlChoiceForTest();

}  // namespace catalog
