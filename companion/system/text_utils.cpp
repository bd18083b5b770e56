#include "companion/system/text_utils.h"

#include <cstdarg>
#include <cwchar>
#include <ctime>

namespace companion {

int SplitString(const std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& pieces) {
    if (separator.empty()) return -2;
    if (text.find(separator) == std::wstring::npos) return -1;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find(separator, begin);
        const std::wstring piece = text.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
        if (!piece.empty()) pieces.push_back(piece);
        if (end == std::wstring::npos) break;
        begin = end + separator.size();
    }
    return 0;
}

std::wstring TextBetween(const std::wstring& text, const std::wstring& open, const std::wstring& close,
                         size_t start) {
    if (open.empty() || close.empty() || start > text.size()) return std::wstring();
    const size_t o = text.find(open, start);
    if (o == std::wstring::npos) return std::wstring();
    const size_t from = o + open.size();
    const size_t c = text.find(close, from);
    if (c == std::wstring::npos) return std::wstring();
    return text.substr(from, c - from);
}

void FormatWString(std::wstring& out, const wchar_t* format, ...) {
    out.clear();
    if (!format) return;
    // The wide printf family reports "too small" but not the size needed, so
    // grow until the text fits (bounded: a format never needs a megabyte).
    constexpr size_t kLimit = 1u << 20;
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0 && static_cast<size_t>(written) < buffer.size()) {
            out.assign(buffer.data(), static_cast<size_t>(written));
            return;
        }
        if (buffer.size() >= kLimit) return;
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

std::wstring MidText(const std::wstring& text, size_t position) {
    if (text.size() < 2) return text;
    if (position >= text.size()) position = 0;
    return text.substr(position, 2);
}

std::wstring LeftText(const std::wstring& text, size_t count) {
    return count >= text.size() ? text : text.substr(0, count);
}

std::wstring RightText(const std::wstring& text) {
    return text.size() <= 2 ? text : text.substr(text.size() - 2);
}

int RandomInRange(int high, int low, DWORD tick) {
    if (high < low) return low;
    const uint64_t width = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;
    return static_cast<int>(low + static_cast<int64_t>(tick % width));
}

int RandomInRange(int high, int low) {
    return RandomInRange(high, low, ::GetTickCount());
}

int64_t Now64() {
    return static_cast<int64_t>(::_time64(nullptr));
}

}  // namespace companion
