// Text conversions the setup plug-in needs at its borders (JSON is UTF-8,
// everything else UTF-16).
#pragma once

#include <cstddef>
#include <string>

// Invalid sequences become U+FFFD; embedded NULs are kept.
std::wstring WideFromUtf8(const std::string& text);
std::wstring UpperCase(std::wstring text);
// Without leading and trailing blanks, tabs and line ends.
std::wstring TrimSpace(const std::wstring& text);
// Copies at most capacity - 1 code units and terminates; a cut that would
// leave a high surrogate without its partner drops it.
void CopyTextCut(wchar_t* dest, size_t capacity, const std::wstring& text);
