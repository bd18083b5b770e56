#include "plugins/setup/setup_text.h"

#include <windows.h>

#include <climits>

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int size = static_cast<int>(text.size());
    // No MB_ERR_INVALID_CHARS: a broken sequence is replaced, not refused.
    const int chars = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &out[0], chars);
    return out;
}

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring TrimSpace(const std::wstring& text) {
    static const wchar_t kSpace[] = L" \t\r\n\v\f";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

void CopyTextCut(wchar_t* dest, size_t capacity, const std::wstring& text) {
    if (!dest || capacity == 0) return;
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    if (n < text.size() && n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    text.copy(dest, n);
    for (size_t i = n; i < capacity; ++i) dest[i] = L'\0';
}
