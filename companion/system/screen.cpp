#include "companion/system/screen.h"

#include <windows.h>

#include "companion/system/shared_settings.h"
#include "companion/system/web_identify.h"
#include "protocol/window_messages.h"

namespace companion {

namespace {

constexpr const wchar_t* kMonitorWindowClass = protocol::kMonitorWindowClass;
constexpr UINT kMonitorQuery = protocol::kMonitorQuery;
constexpr WPARAM kMonitorQuietQuestion = 24;
// A hung outside window must never stop the reminder engine.
constexpr UINT kMonitorTimeoutMs = 2000;

}  // namespace

bool IsFullScreenAppRunning() {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    const POINT corners[] = {{1, 1}, {1, cy - 1}, {cx - 1, 1}, {cx - 1, cy - 1}};
    const HWND first = ::WindowFromPoint(corners[0]);
    for (const POINT& corner : corners)
        if (::WindowFromPoint(corner) != first) return false;
    return first != nullptr && first != ::GetDesktopWindow();
}

bool IsMonitorActive() {
    if (HWND monitor = ::FindWindowW(kMonitorWindowClass, nullptr)) {
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(monitor, kMonitorQuery, kMonitorQuietQuestion, 0, SMTO_ABORTIFHUNG,
                                  kMonitorTimeoutMs, &answer) &&
            answer == 1)
            return true;
    }
    const WebIdentifyBinding* binding = SharedSettings::Instance().WebIdentify.load();
    return binding && binding->Bound() && binding->getState() != 0;
}

int ClampToMonitor(int x, int y) {
    const POINT point{x, y};
    if (::MonitorFromPoint(point, MONITOR_DEFAULTTONULL)) return x;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) return x;
    if (x < info.rcWork.left) return info.rcWork.left;
    if (x > info.rcWork.right) return info.rcWork.right;
    return x;
}

}  // namespace companion
