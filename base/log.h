// The programs' one log: a line for each step that failed and what was done
// about it, to the system's debug output (a debugger, or Wine's debug
// channel: HARNESS_WINEDEBUG=warn+seh). Quiet while everything works.
#pragma once

#include <windows.h>

#include <string>

namespace base {

// Writes "<program>: <what>[: <detail>]", the program being the running
// executable's name without its extension (Corvalle, Mirelo, or the host of
// a plug-in).
void LogLine(const std::wstring& what, const std::wstring& detail = std::wstring());

// The system's own text for an error code ("拒绝访问。" on the test
// prefix's code page), without its line break; "error <code>" when the
// system has none.
std::wstring SystemErrorText(DWORD code);
// The code as a log line shows it: decimal, or hexadecimal above 0xFFFF (an
// HRESULT).
std::wstring ErrorCodeText(DWORD code);

// Logs a failed system call with its cause: "<program>: <where>: <call>
// failed: <code> <text>", the code taken from GetLastError (or given; in
// hexadecimal above 0xFFFF, as HRESULTs are read), the text left out when
// the system has none. Leaves GetLastError as it found it. Returns the code,
// so that a caller can still act on it.
DWORD LogFailedCall(const wchar_t* where, const wchar_t* call);
DWORD LogFailedCall(const wchar_t* where, const wchar_t* call, DWORD code);

}  // namespace base
