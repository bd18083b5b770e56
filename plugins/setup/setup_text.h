// Text helpers the setup plug-in needs at its borders (JSON is UTF-8,
// everything else UTF-16); the conversions and case rules are the ones
// every program shares.
#pragma once

#include <cstddef>
#include <string>

#include "base/text.h"

namespace setup {

// Invalid sequences become U+FFFD; embedded NULs are kept.
using base::Utf8ToWide;
// Upper case by the system's rules: names and paths compare this way.
using base::UpperCase;
// Without leading and trailing blanks, tabs and line ends (the C library's
// white space: the texts come from configuration files and shortcuts).
inline std::wstring TrimSpace(const std::wstring& text) { return base::Trim(text, base::kCWhiteSpace); }
// Copies at most capacity - 1 code units and terminates; a cut that would
// leave a high surrogate without its partner drops it.
void CopyTextCut(wchar_t* dest, size_t capacity, const std::wstring& text);

}  // namespace setup
