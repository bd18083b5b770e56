// Letter case, blanks and code pages, written once for every program and
// plug-in. Where two readers of one text differ on purpose, each reading has
// its own name here instead of its own copy.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace base {

// A-Z become a-z; every other character is left as it is, whatever the
// system's language.
std::wstring LowerAscii(std::wstring text);
// Lower case by the system's own rules (every script the system knows).
std::wstring LowerCase(std::wstring text);
// Upper case by the system's own rules.
std::wstring UpperCase(std::wstring text);

// The blank sets the trims below know. Each names who needs it and why.
// Spaces and tabs: items of a typed list (";"-separated extensions).
inline constexpr wchar_t kSpaceAndTab[] = L" \t";
// What a person leaves around a typed text, the ideographic space of an
// East-Asian keyboard included.
inline constexpr wchar_t kTypedBlanks[] = L" \t\r\n\x3000";
// The C library's white space: configuration and paths written by programs.
inline constexpr wchar_t kCWhiteSpace[] = L" \t\r\n\v\f";

// `text` without leading and trailing characters of `blanks`.
std::wstring Trim(const std::wstring& text, const wchar_t* blanks);

// Code-page conversions. Broken sequences become U+FFFD unless the function
// says it is strict; embedded NULs are kept where a length is given.
std::wstring ToWideFromCodePage(const char* bytes, size_t size, UINT codePage);
std::wstring ToWideFromCodePage(const std::string& bytes, UINT codePage);
// Up to the first NUL.
std::wstring ToWideFromCodePage(const char* text, UINT codePage);
std::string ToCodePageFromWide(const wchar_t* text, UINT codePage);
std::wstring Utf8ToWide(const std::string& bytes);
// False (and `out` empty) when the bytes are not well-formed UTF-8.
bool StrictUtf8ToWide(const char* bytes, size_t size, std::wstring& out);

}  // namespace base
