// No exception may leave our code for the system's or the kernel's: a
// window, dialog or subclass procedure, a COM method, a thread entry, or a
// method a plug-in exports through its class table cannot unwind through
// the caller's frames, and the process would end. Each such entry runs its
// body through this barrier, which turns the exception into the entry's
// failure value and logs it once.
#pragma once

#include <exception>
#include <utility>

namespace base {

// Logs that an exception (its text when it has one) was stopped at the
// entry named `where`.
void ReportStoppedException(const wchar_t* where, const char* what) noexcept;

// Runs `body`; when it throws, reports the exception and returns `fallback`.
template <typename Result, typename Body>
Result CallGuarded(const wchar_t* where, Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& e) {
        ReportStoppedException(where, e.what());
    } catch (...) {
        ReportStoppedException(where, nullptr);
    }
    return fallback;
}

}  // namespace base
