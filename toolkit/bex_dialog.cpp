#include "toolkit/bex_dialog.h"

#include <algorithm>

namespace toolkit {

void BexSetDialogRegion(HWND hwnd, int cx, int cy) {
    base::Region region(::CreateRoundRectRgn(0, 0, cx + 1, cy + 1, 7, 7));
    if (!region) return;
    // The curve leaves one stray pixel inside each corner; cut it too.
    const POINT corners[4] = {{1, 1}, {cx - 2, 1}, {1, cy - 2}, {cx - 2, cy - 2}};
    for (const POINT& pt : corners) {
        base::Region dot(::CreateRectRgn(pt.x, pt.y, pt.x + 1, pt.y + 1));
        if (dot) ::CombineRgn(region.Get(), region.Get(), dot.Get(), RGN_DIFF);
    }
    // The window owns the region once it has been given it.
    if (::SetWindowRgn(hwnd, region.Get(), TRUE)) region.Detach();
}

RECT BexWorkArea() {
    RECT work{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return work;
}

void BexCentreDialog(HWND hwnd) {
    RECT rc{};
    if (!::GetWindowRect(hwnd, &rc)) return;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);

    if (style & WS_CHILD) {
        HWND parent = ::GetParent(hwnd);
        RECT area{};
        ::GetClientRect(parent, &area);
        const int x = (area.right - area.left - width) / 2;
        const int y = (area.bottom - area.top - height) / 2;
        ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }

    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST);
    RECT work = ::GetMonitorInfoW(monitor, &info) ? info.rcWork : BexWorkArea();

    RECT centreOn = work;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &centreOn);
    int x = centreOn.left + (centreOn.right - centreOn.left - width) / 2;
    int y = centreOn.top + (centreOn.bottom - centreOn.top - height) / 2;
    // Inside the work area: right and bottom first, so that a dialog larger
    // than the area keeps its top-left corner visible.
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BexSetClientSize(HWND hwnd, int cx, int cy) {
    RECT rc{0, 0, cx, cy};
    ::AdjustWindowRectEx(&rc, static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE)));
    ::SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// CBexTemplateDialog

winlib::DialogTemplate CBexTemplateDialog::GetTemplate() const {
    winlib::DialogTemplate t;
    t.style = templateStyle_ | DS_SETFONT;
    t.exStyle = templateExStyle_;
    t.x = 0;
    t.y = 0;
    t.cx = 187;
    t.cy = 98;
    t.fontPoints = 8;
    t.fontFace = L"MS Shell Dlg";
    return t;
}

// ---------------------------------------------------------------------------
// CBexDialog

void CBexDialog::DrawBackground(HDC dc, const RECT*) {
    if (!background_ || !Hwnd()) return;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    background_->Draw(dc, 0, 0, client.right, client.bottom, 0);
}

void CBexDialog::OnInitDialog() {
    close_.Attach(this, kBexVisible | kBexAutoSize, kCloseId);
    close_.SetStrip(closeStrip_);
}

void CBexDialog::OnSize(UINT type, int cx, int cy) {
    BexSetDialogRegion(Hwnd(), cx, cy);
    const int inset = type == SIZE_MAXIMIZED ? 2 : 5;
    SetWndPos(&close_, cx - inset - close_.Width(), 1);
}

LRESULT CBexDialog::OnInitDialogMsg(UINT, WPARAM, LPARAM, BOOL&) {
    OnInitDialog();
    return TRUE;
}

LRESULT CBexDialog::OnSizeMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (wParam != SIZE_MINIMIZED) OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT CBexDialog::OnLButtonDownMsg(UINT, WPARAM, LPARAM, BOOL&) {
    // No control took the press: the whole dialog is its own title bar.
    ::SendMessageW(Hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return 0;
}

LRESULT CBexDialog::OnCommandMsg(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    const WORD id = LOWORD(wParam);
    if (HIWORD(wParam) == 0 && id >= IDOK && id <= IDCONTINUE) {
        EndDialog(id);
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CBexDialog::OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& handled) {
    OnDestroy();
    handled = FALSE;
    return 0;
}

}  // namespace toolkit
