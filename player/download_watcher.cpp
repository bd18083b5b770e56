#include "player/download_watcher.h"

#include <cwchar>
#include <cwctype>
#include <string>

STDMETHODIMP DownloadWatcher::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
        *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
        *object = static_cast<IHttpNegotiate*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) DownloadWatcher::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) DownloadWatcher::Release() {
    return static_cast<ULONG>(::InterlockedDecrement(&refs_));
}

STDMETHODIMP DownloadWatcher::OnStopBinding(HRESULT result, LPCWSTR) {
    stopResult_ = result;
    return S_OK;
}

STDMETHODIMP DownloadWatcher::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
}

STDMETHODIMP DownloadWatcher::OnResponse(DWORD statusCode, LPCWSTR responseHeaders, LPCWSTR,
                                         LPWSTR* additionalHeaders) {
    if (additionalHeaders) *additionalHeaders = nullptr;
    statusCode_ = statusCode;
    contentLength_ = ContentLengthFromHeaders(responseHeaders);
    return S_OK;
}

int64_t ContentLengthFromHeaders(const wchar_t* headers) {
    if (!headers) return -1;
    std::wstring lower(headers);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    const std::wstring key = L"content-length:";
    size_t at = lower.find(key);
    // Only a header at the start of a line counts.
    while (at != std::wstring::npos && at != 0 && lower[at - 1] != L'\n') at = lower.find(key, at + 1);
    if (at == std::wstring::npos) return -1;
    const wchar_t* digits = headers + at + key.size();
    while (*digits == L' ' || *digits == L'\t') ++digits;
    if (*digits < L'0' || *digits > L'9') return -1;
    return static_cast<int64_t>(std::wcstoll(digits, nullptr, 10));
}

bool DownloadWatcher::Accepts(const wchar_t* path) const {
    if (FAILED(stopResult_)) return false;
    if (statusCode_ != 0 && (statusCode_ < 200 || statusCode_ >= 300)) return false;
    if (contentLength_ < 0) return true;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    const int64_t size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size == contentLength_;
}
