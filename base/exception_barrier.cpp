#include "base/exception_barrier.h"

#include <windows.h>

#include <cwchar>

namespace base {

void ReportStoppedException(const wchar_t* where, const char* what) noexcept {
    // No allocation here: the exception may have been a failed one.
    wchar_t line[512];
    std::swprintf(line, sizeof line / sizeof line[0], L"an exception was stopped at %ls%hs%.200hs\n",
                  where ? where : L"?", what ? ": " : "", what ? what : "");
    ::OutputDebugStringW(line);
}

}  // namespace base
