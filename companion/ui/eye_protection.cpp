#include "companion/ui/eye_protection.h"

#include "companion/system/skin_strip.h"
#include "toolkit/bex_wnd_manager.h"

namespace companion {

namespace {

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CEyeProtection::CEyeProtection() { SetTemplateExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST); }

std::wstring CEyeProtection::MoviePath() const {
    return moviePath_.empty() ? SkinFilePath(L"eye.swf") : moviePath_;
}

LRESULT CEyeProtection::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    started_ = false;
    com_.emplace();
    const RECT none{0, 0, 0, 0};
    if (!player_.Create(Hwnd(), kIdHost, none, WS_CHILD | WS_VISIBLE, new CSink(Hwnd()), &subclass_)) {
        ShowNoPlayerNotice(Hwnd());
        EndDialog(0);
        return TRUE;
    }
    // The movie is the only way this dialog ends by itself: without it the
    // user would face an empty window that ignores Enter and Esc.
    if (!FileExists(MoviePath())) {
        EndDialog(0);
        return TRUE;
    }
    const RECT work = toolkit::BexWorkArea();
    ::SetWindowPos(Hwnd(), nullptr, (work.right - work.left - kWidth) / 2, (work.bottom - work.top - kHeight) / 2,
                   kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ::MoveWindow(player_.Host(), 0, 0, kWidth, kHeight, TRUE);
    ::SetTimer(Hwnd(), kTimerStart, 1, nullptr);
    return TRUE;
}

LRESULT CEyeProtection::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam != kTimerStart) {
        handled = FALSE;
        return 0;
    }
    // The dialog shows itself only once the modal loop idles; until then
    // the host is hidden and the timer tries again.
    if (player_.HasControl() && !player_.HostVisible()) return 0;
    ::KillTimer(Hwnd(), kTimerStart);
    if (player_.HasControl()) {
        player_.StartMovie(MoviePath());
        started_ = true;
    }
    return 0;
}

void CEyeProtection::Finish() {
    ::KillTimer(Hwnd(), kTimerStart);
    if (player_.HasControl()) player_.Stop();
    if (player_.Host()) ::ShowWindow(player_.Host(), SW_HIDE);
    EndDialog(0);
}

LRESULT CEyeProtection::OnExerciseDone(UINT, WPARAM, LPARAM, BOOL&) {
    Finish();
    return 0;
}

LRESULT CEyeProtection::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    Finish();
    return 0;
}

LRESULT CEyeProtection::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    const WORD id = LOWORD(wParam);
    // Enter and Esc must not cut the exercise short.
    if (HIWORD(wParam) == 0 && id >= IDOK && id <= IDCONTINUE) return 0;
    handled = FALSE;
    return 0;
}

LRESULT CEyeProtection::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    ::KillTimer(Hwnd(), kTimerStart);
    // The host window still exists: disconnect from the control first.
    player_.Close();
    com_.reset();
    handled = FALSE;
    return 0;
}

}  // namespace companion
