#include "tests/support/text.h"

#include <windows.h>

namespace testsupport {

std::string Narrow(const std::wstring& text, unsigned codePage) {
    if (text.empty()) return std::string();
    const int bytes = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                            nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring Widen(const std::string& text, unsigned codePage) {
    if (text.empty()) return std::wstring();
    const int chars = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], chars);
    return out;
}

}  // namespace testsupport
