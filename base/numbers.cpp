#include "base/numbers.h"

#include <cwchar>
#include <limits>

namespace base {

namespace {

constexpr uint64_t kLargest = std::numeric_limits<uint64_t>::max();

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The value of `c` as a digit in `radix` (10 or 16), or -1.
int DigitValue(wchar_t c, int radix) {
    if (IsDigit(c)) return c - L'0';
    if (radix == 16 && c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (radix == 16 && c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// value * radix + digit, held at the largest value.
uint64_t AppendDigit(uint64_t value, int digit, int radix) {
    const uint64_t d = static_cast<uint64_t>(digit), r = static_cast<uint64_t>(radix);
    return value > (kLargest - d) / r ? kLargest : value * r + d;
}

uint64_t LeadingDigitsIn(std::wstring_view text, int radix, size_t* count) {
    uint64_t value = 0;
    size_t i = 0;
    for (int digit; i < text.size() && (digit = DigitValue(text[i], radix)) >= 0; ++i)
        value = AppendDigit(value, digit, radix);
    if (count) *count = i;
    return value;
}

}  // namespace

bool ParseDecimal(const std::wstring& text, int& value) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == L' ') ++i;
    while (n > i && text[n - 1] == L' ') --n;
    bool negative = false;
    if (i < n && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == n) return false;
    long long v = 0;
    for (; i < n; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        v = v * 10 + (text[i] - L'0');
        if (v > 0x7FFFFFFFLL) return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

int DecimalOr(const std::wstring& text, int fallback) {
    int value = 0;
    return ParseDecimal(text, value) ? value : fallback;
}

bool ParseDecimalOrHex(const std::wstring& text, int& value) {
    size_t i = 0;
    const size_t n = text.size();
    if (n == 0) return false;
    bool negative = false;
    if (text[i] == L'-' || text[i] == L'+') negative = text[i++] == L'-';
    int radix = 10;
    if (i < n && text[i] == L'$') {
        radix = 16;
        ++i;
    } else if (i + 1 < n && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        radix = 16;
        i += 2;
    }
    if (i == n) return false;
    unsigned long long v = 0;
    for (; i < n; ++i) {
        const wchar_t c = text[i];
        int digit;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        else if (radix == 16 && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
        else if (radix == 16 && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
        else return false;
        v = v * radix + digit;
        if (v > (radix == 16 ? 0xFFFFFFFFull : 0x80000000ull)) return false;
    }
    if (radix == 10 && !negative && v > 0x7FFFFFFFull) return false;
    value = radix == 16 ? static_cast<int>(static_cast<unsigned>(v))
                        : static_cast<int>(negative ? -static_cast<long long>(v) : static_cast<long long>(v));
    return true;
}

int32_t LeadingInteger(const std::wstring& text) {
    // long is 32 bits here, so wcstol's own clamping gives the bounds.
    return static_cast<int32_t>(std::wcstol(text.c_str(), nullptr, 10));
}

uint32_t LeadingUnsigned(const std::wstring& text) {
    // As above: unsigned long is 32 bits.
    return static_cast<uint32_t>(std::wcstoul(text.c_str(), nullptr, 10));
}

bool ParseDigits(std::wstring_view text, uint64_t& value) {
    if (text.empty()) return false;
    uint64_t read = 0;
    for (wchar_t c : text) {
        if (!IsDigit(c)) return false;
        read = AppendDigit(read, c - L'0', 10);
    }
    value = read;
    return true;
}

uint64_t LeadingDigits(std::wstring_view text, size_t* count) {
    return LeadingDigitsIn(text, 10, count);
}

uint64_t LeadingHexDigits(std::wstring_view text, size_t* count) {
    return LeadingDigitsIn(text, 16, count);
}

double LeadingFraction(const std::wstring& text, size_t* count) {
    wchar_t* end = nullptr;
    const double value = std::wcstod(text.c_str(), &end);
    const size_t read = end ? static_cast<size_t>(end - text.c_str()) : 0;
    if (count) *count = read;
    return read ? value : 0.0;
}

}  // namespace base
