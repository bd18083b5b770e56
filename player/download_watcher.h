// Watches one download for what the download call itself does not report:
// the server's status code and whether the whole body arrived. A 404 page or
// a body cut short must not count as a weather answer.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <cstdint>

namespace player {

class DownloadWatcher : public IBindStatusCallback, public IHttpNegotiate {
public:
    DownloadWatcher() = default;
    virtual ~DownloadWatcher() = default;

    // IUnknown (the object lives on the caller's stack; counting is nominal)
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IBindStatusCallback
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR) override;
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // IHttpNegotiate
    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override;
    STDMETHODIMP OnResponse(DWORD statusCode, LPCWSTR responseHeaders, LPCWSTR, LPWSTR* additionalHeaders) override;

    // Whether the file written at `path` is the whole, successful answer.
    bool Accepts(const wchar_t* path) const;

    DWORD StatusCode() const { return statusCode_; }

private:
    LONG refs_ = 1;
    HRESULT stopResult_ = S_OK;
    DWORD statusCode_ = 0;         // 0: no HTTP answer seen
    int64_t contentLength_ = -1;   // -1: not announced
};

// The announced body length in raw response headers, or -1.
int64_t ContentLengthFromHeaders(const wchar_t* headers);
// Whether the headers announce a content coding (gzip, deflate...) other than identity.
bool BodyIsEncoded(const wchar_t* headers);

}  // namespace player
