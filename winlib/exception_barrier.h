// No exception may leave our code for the system's: a window, dialog or
// subclass procedure, a COM method or a thread entry called by the system
// cannot unwind through the system's frames, and the process would end.
// Each such entry runs its body through this barrier.
#pragma once

#include <utility>

namespace winlib {

// Records that an exception was stopped at an entry named `where`.
void ReportStoppedException(const wchar_t* where) noexcept;

// Runs `body`; when it throws, reports the exception and returns `fallback`.
template <typename Result, typename Body>
Result CallGuarded(const wchar_t* where, Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        ReportStoppedException(where);
        return fallback;
    }
}

}  // namespace winlib
