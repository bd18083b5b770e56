// Dialogs built from a template held in memory (no .rc dialog resources), modal
// or modeless. The object is bound to its HWND at WM_INITDIALOG.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "winlib/app_module.h"
#include "winlib/message_map.h"

namespace winlib {

// An item-less DLGTEMPLATE: the dialogs of these programs draw their own
// controls, so only the frame is described. Units are dialog units.
struct DialogTemplate {
    DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 200, cy = 100;
    std::wstring title;
    WORD fontPoints = 9;       // used when style holds DS_SETFONT
    std::wstring fontFace = L"MS Shell Dlg";

    // The template in the layout DialogBoxIndirect expects (DWORD aligned).
    std::vector<WORD> Build() const;
};

class Dialog : public MessageMap {
public:
    Dialog() = default;
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns what EndDialog was given, or -1 when the
    // dialog could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless; it routes its keyboard input through the
    // module's message loop until it is destroyed.
    HWND Create(HWND owner);
    BOOL EndDialog(INT_PTR result);
    BOOL DestroyWindow();

    HWND Hwnd() const { return hwnd_; }
    bool IsModal() const { return modal_; }

protected:
    // The frame of this dialog; called once per creation.
    virtual DialogTemplate GetTemplate() const = 0;
    virtual void OnFinalMessage(HWND) {}

private:
    class KeyboardFilter : public IMessageFilter {
    public:
        explicit KeyboardFilter(Dialog& owner) : owner_(owner) {}
        bool PreTranslateMessage(MSG* msg) override;

    private:
        Dialog& owner_;
    };

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool filtering_ = false;
    KeyboardFilter filter_{*this};
};

}  // namespace winlib
