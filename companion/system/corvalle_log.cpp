#include "companion/system/corvalle_log.h"

#include <windows.h>

void LogLine(const std::wstring& what, const std::wstring& detail) {
    std::wstring line = L"Corvalle: " + what;
    if (!detail.empty()) line += L": " + detail;
    line += L"\n";
    ::OutputDebugStringW(line.c_str());
}
