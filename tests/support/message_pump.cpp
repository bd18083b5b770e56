#include "tests/support/message_pump.h"

namespace testsupport {

void DispatchPending(const PumpFilter& filter) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (filter && filter(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const PumpFilter& filter) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        DispatchPending(filter);
        if (done && done()) return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        // Wakes for new input at once; the slice bounds how late a condition
        // set by another thread (which posts nothing) is noticed.
        const DWORD slice = timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
    }
}

void Pump(DWORD ms, const PumpFilter& filter) { PumpUntil(nullptr, ms, filter); }

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(5);
    }
}

}  // namespace testsupport
