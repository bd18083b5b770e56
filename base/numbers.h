// Reading numbers out of text. Each rule by which the programs and the
// plug-ins read a number (typed boxes and dates, Mirelo's settings file,
// Corvalle's configuration, the web services' answers) has one function
// here; a caller bounds the value further where its field is narrower.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// The whole text is one decimal integer: spaces around it, an optional sign,
// digits and nothing else; its magnitude at most 2147483647.
bool ParseDecimal(const std::wstring& text, int& value);
// ParseDecimal, or `fallback` when the text is not such a number.
int DecimalOr(const std::wstring& text, int fallback);

// The whole text is one integer as Mirelo's settings file writes it: an
// optional sign, then decimal digits, or hexadecimal after "$" or "0x" (up
// to 32 bits, kept bit for bit); no blanks. Decimal runs from -2147483648
// to 2147483647.
bool ParseDecimalOrHex(const std::wstring& text, int& value);

// The decimal number the text starts with (leading white space and a sign
// allowed, anything after the digits ignored); 0 when there is none, and
// the nearest 32-bit bound when it does not fit.
int32_t LeadingInteger(const std::wstring& text);
// The same read unsigned, as the C runtime's strtoul reads it: a minus sign
// negates modulo 2^32, and a number past 32 bits gives 4294967295.
uint32_t LeadingUnsigned(const std::wstring& text);

// The whole text is decimal digits: at least one, no blanks, no sign. A
// value past 64 bits is held at the largest.
bool ParseDigits(std::wstring_view text, uint64_t& value);

// The decimal digits the text starts with (no blanks, no sign), held at the
// largest 64-bit value; 0 when it starts with none. `count`, when given,
// receives how many digits were read.
uint64_t LeadingDigits(std::wstring_view text, size_t* count = nullptr);
// The same in hexadecimal: 0-9 and a-f in either case, no "0x" or other
// prefix.
uint64_t LeadingHexDigits(std::wstring_view text, size_t* count = nullptr);

// The decimal fraction the text starts with, as the C runtime's wcstod reads
// it (leading white space, a sign, a point, an exponent); 0 when it starts
// with none. `count`, when given, receives how many characters were read.
double LeadingFraction(const std::wstring& text, size_t* count = nullptr);

}  // namespace base
