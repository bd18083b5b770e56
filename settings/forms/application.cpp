#include "settings/forms/application.h"

#include "settings/forms/form.h"
#include "winlib/app_module.h"

namespace settings::forms {

bool TApplicationWindow::Initialize(const std::wstring& title) {
    title_ = title;
    if (Hwnd()) {
        ::SetWindowTextW(Hwnd(), title.c_str());
        return true;
    }
    // Zero-sized in the middle of the screen: it is there for the taskbar,
    // never to be seen.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2, y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    const RECT place{x, y, x, y};
    if (!Create(kApplicationWindowClass, nullptr, &place, title.c_str(),
                WS_POPUP | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0))
        return false;
    return true;
}

void TApplicationWindow::ShowButton() {
    if (Hwnd()) ShowWindow(SW_SHOWNOACTIVATE);
}

std::wstring TApplicationWindow::Title() const {
    return title_;
}

int TApplicationWindow::Run() {
    return winlib::Module().Loop().Run();
}

LRESULT TApplicationWindow::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    // The taskbar button activates this window; the user means the form.
    if (LOWORD(wParam) != WA_INACTIVE) PostMessage(kActivateFormMessage);
    handled = FALSE;
    return 0;
}

LRESULT TApplicationWindow::OnActivateForm(UINT, WPARAM, LPARAM, BOOL&) {
    HWND popup = ::GetLastActivePopup(Hwnd());
    if (popup && popup != Hwnd() && ::IsWindowVisible(popup) && ::IsWindowEnabled(popup)) ::SetActiveWindow(popup);
    return 0;
}

LRESULT TApplicationWindow::OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    const UINT command = static_cast<UINT>(wParam & 0xFFF0);
    HWND form = mainForm_ ? mainForm_->Hwnd() : nullptr;
    if (command == SC_MINIMIZE && form) {
        ::ShowWindow(form, SW_HIDE);
    } else if (command == SC_RESTORE && form) {
        const LRESULT result = DefWindowProc(msg, wParam, lParam);
        ::ShowWindow(form, SW_SHOW);
        ::SetForegroundWindow(form);
        return result;
    }
    handled = FALSE;
    return 0;
}

LRESULT TApplicationWindow::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    if (mainForm_) mainForm_->Close();
    return 0;
}

TApplicationWindow& Application() {
    static TApplicationWindow application;
    return application;
}

}  // namespace settings::forms
