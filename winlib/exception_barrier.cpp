#include "winlib/exception_barrier.h"

#include <windows.h>

#include <string>

namespace winlib {

void ReportStoppedException(const wchar_t* where) noexcept {
    try {
        const std::wstring text = std::wstring(L"an exception was stopped at ") + (where ? where : L"?") + L"\n";
        ::OutputDebugStringW(text.c_str());
    } catch (...) {
        ::OutputDebugStringW(L"an exception was stopped\n");
    }
}

}  // namespace winlib
