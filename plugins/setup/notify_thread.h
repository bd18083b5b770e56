// The notification thread: a hidden window registered with the kernel's
// notice service (class 101); when the kernel posts that new data is ready,
// the picture `text1` is badged with the number of entries and saved as
// `text2`. At its end the thread tells `window` with the given message when
// the last picture was saved. One thread per process at a time.
#pragma once

#include <windows.h>

namespace setup {

struct NotifyRequest {
    const wchar_t* text1;
    const wchar_t* text2;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// 0 for a null text or window, or while a thread runs; else whether the
// thread started.
LONG StartNotifyThread(const NotifyRequest& request);
// Stops a running thread, waiting at most 120000 ms; 1 when one was running.
LONG StopNotifyThread() noexcept;

}  // namespace setup
