// Reading integers out of text. The programs read numbers by three rules
// (typed boxes and dates, Mirelo's settings file, Corvalle's configuration);
// each rule has one function here.
#pragma once

#include <cstdint>
#include <string>

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

}  // namespace base
