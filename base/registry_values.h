// Reading and writing single values of an open registry key, the same way
// in every program and plug-in: texts are stored as REG_SZ with their
// terminator, numbers as four-byte REG_DWORD.
#pragma once

#include <windows.h>

#include <string>

namespace base {

// A REG_SZ or REG_EXPAND_SZ value as stored (not expanded), up to its first
// NUL, of any length.
bool ReadRegText(HKEY key, const wchar_t* name, std::wstring& value);
// Which value types count as text for a reader.
enum class RegTextTypes { PlainOrExpand, PlainOnly };
// The same for values that go into fixed buffers further on: at most
// `capacity` characters are read, and a text of `capacity` characters or
// more (it would not fit with its terminator) is refused.
bool ReadRegTextBounded(HKEY key, const wchar_t* name, DWORD capacity, std::wstring& value,
                        RegTextTypes types = RegTextTypes::PlainOrExpand);
// A REG_DWORD of exactly four bytes.
bool ReadRegDword(HKEY key, const wchar_t* name, DWORD& value);

// Both false when the registry refused the value; its code
// (ERROR_ACCESS_DENIED...) is then the thread's last error, for
// base::LogFailedCall.
bool WriteRegText(HKEY key, const wchar_t* name, const std::wstring& value);
bool WriteRegDword(HKEY key, const wchar_t* name, DWORD value);

}  // namespace base
