#include "base/text.h"

#include <climits>

namespace base {

std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::wstring LowerCase(std::wstring text) {
    if (!text.empty()) ::CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring Trim(const std::wstring& text, const wchar_t* blanks) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return std::wstring();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

namespace {

std::wstring Convert(const char* bytes, size_t size, UINT codePage, DWORD flags) {
    if (!bytes || size == 0 || size > INT_MAX) return std::wstring();
    const int length = static_cast<int>(size);
    const int chars = ::MultiByteToWideChar(codePage, flags, bytes, length, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(chars), L'\0');
    if (::MultiByteToWideChar(codePage, flags, bytes, length, &out[0], chars) != chars) return std::wstring();
    return out;
}

}  // namespace

std::wstring ToWideFromCodePage(const char* bytes, size_t size, UINT codePage) {
    return Convert(bytes, size, codePage, 0);
}

std::wstring ToWideFromCodePage(const std::string& bytes, UINT codePage) {
    return Convert(bytes.data(), bytes.size(), codePage, 0);
}

std::wstring ToWideFromCodePage(const char* text, UINT codePage) {
    if (!text) return std::wstring();
    size_t size = 0;
    while (text[size]) ++size;
    return Convert(text, size, codePage, 0);
}

std::string ToCodePageFromWide(const wchar_t* text, UINT codePage) {
    if (!text || !*text) return std::string();
    const int bytes = ::WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, text, -1, &out[0], bytes, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes - 1));
    return out;
}

std::wstring Utf8ToWide(const std::string& bytes) {
    return Convert(bytes.data(), bytes.size(), CP_UTF8, 0);
}

bool StrictUtf8ToWide(const char* bytes, size_t size, std::wstring& out) {
    out.clear();
    if (size == 0) return true;
    out = Convert(bytes, size, CP_UTF8, MB_ERR_INVALID_CHARS);
    return !out.empty();
}

}  // namespace base
