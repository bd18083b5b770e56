#include "base/log.h"

#include "base/handles.h"
#include "base/module_path.h"

#include <cwchar>

namespace base {

namespace {

std::wstring ProgramName() {
    std::wstring path = ModuleFilePath();
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) path.erase(0, slash + 1);
    const size_t dot = path.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) path.erase(dot);
    return path.empty() ? std::wstring(L"?") : path;
}

// The system's text for a code, empty when it has none.
std::wstring SystemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const LocalMemory owner(text);
    std::wstring result = length && text ? std::wstring(text, length) : std::wstring();
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
        result.pop_back();
    return result;
}

}  // namespace

void LogLine(const std::wstring& what, const std::wstring& detail) {
    static const std::wstring program = ProgramName();
    std::wstring line = program + L": " + what;
    if (!detail.empty()) line += L": " + detail;
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
}

// Win32 codes read best in decimal, as the headers list them; HRESULTs and
// other codes with their high bits set only in hexadecimal.
std::wstring ErrorCodeText(DWORD code) {
    if (code <= 0xFFFF) return std::to_wstring(code);
    wchar_t text[16] = {};
    ::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(code));
    return text;
}

std::wstring SystemErrorText(DWORD code) {
    const std::wstring text = SystemText(code);
    return text.empty() ? L"error " + ErrorCodeText(code) : text;
}

DWORD LogFailedCall(const wchar_t* where, const wchar_t* call) { return LogFailedCall(where, call, ::GetLastError()); }

DWORD LogFailedCall(const wchar_t* where, const wchar_t* call, DWORD code) {
    const DWORD before = ::GetLastError();
    std::wstring detail = std::wstring(call ? call : L"?") + L" failed: " + ErrorCodeText(code);
    const std::wstring text = SystemText(code);
    if (!text.empty()) detail += L" " + text;
    LogLine(where ? where : L"?", detail);
    ::SetLastError(before);
    return code;
}

}  // namespace base
