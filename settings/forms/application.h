// The program's application window: an invisible, zero-sized top-level
// window that owns the taskbar button and carries its title. The main form is
// owned by it, so the form stays out of the taskbar while the button still
// brings it back.
#pragma once

#include <windows.h>

#include <string>

#include "winlib/window.h"

namespace settings::forms {

class TForm;

constexpr wchar_t kApplicationWindowClass[] = L"MireloApplication";

class TApplicationWindow : public winlib::Window {
public:
    // Creates the window once, still hidden; later calls only change the
    // title.
    bool Initialize(const std::wstring& title);
    // Puts the button on the taskbar (once the main form is about to show).
    void ShowButton();
    std::wstring Title() const;

    // Closing (or destroying) the main form ends the message loop.
    void SetMainForm(TForm* form) { mainForm_ = form; }
    TForm* MainForm() const { return mainForm_; }
    // The module's message loop; returns its exit code.
    int Run();

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        WL_MESSAGE_HANDLER(kActivateFormMessage, OnActivateForm)
        WL_MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
    WL_END_MSG_MAP()

private:
    static constexpr UINT kActivateFormMessage = WM_APP + 1;

    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivateForm(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);

    TForm* mainForm_ = nullptr;
    std::wstring title_;
};

TApplicationWindow& Application();

}  // namespace settings::forms
