#include "player/download_watcher.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>

#include "base/numbers.h"

namespace player {

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
    // The announced length is that of the encoded body; the file holds the
    // decoded one, so only an unencoded body can be measured against it.
    contentLength_ = BodyIsEncoded(responseHeaders) ? -1 : ContentLengthFromHeaders(responseHeaders);
    return S_OK;
}

namespace {

// The value of the header `name` (lower case, with its colon) at the start
// of a line, leading blanks skipped; null when there is none.
const wchar_t* HeaderValue(const wchar_t* headers, const std::wstring& name) {
    if (!headers) return nullptr;
    std::wstring lower(headers);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    size_t at = lower.find(name);
    // Only a header at the start of a line counts.
    while (at != std::wstring::npos && at != 0 && lower[at - 1] != L'\n') at = lower.find(name, at + 1);
    if (at == std::wstring::npos) return nullptr;
    const wchar_t* value = headers + at + name.size();
    while (*value == L' ' || *value == L'\t') ++value;
    return value;
}

}  // namespace

int64_t ContentLengthFromHeaders(const wchar_t* headers) {
    const wchar_t* digits = HeaderValue(headers, L"content-length:");
    if (!digits || *digits < L'0' || *digits > L'9') return -1;
    return static_cast<int64_t>(std::min<uint64_t>(base::LeadingDigits(digits), INT64_MAX));
}

bool BodyIsEncoded(const wchar_t* headers) {
    const wchar_t* value = HeaderValue(headers, L"content-encoding:");
    if (!value) return false;
    std::wstring coding;
    for (; *value && *value != L'\r' && *value != L'\n' && *value != L' ' && *value != L'\t'; ++value)
        coding.push_back(static_cast<wchar_t>(std::towlower(*value)));
    return !coding.empty() && coding != L"identity";
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

}  // namespace player
