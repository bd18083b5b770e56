#include "settings/pages/NumberEdit.h"

#include "settings/forms/form.h"

namespace settings {

TNumberEdit::TNumberEdit()
    : TWindowedControl(L"EDIT", ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER) {
    SetTabStop(true);
}

TNumberEdit::~TNumberEdit() {
    subclass_.Remove();
}

void TNumberEdit::Attached() {
    TWindowedControl::Attached();
    if (!Handle()) return;
    ::SendMessageW(Handle(), EM_LIMITTEXT, kMaxDigits, 0);
    subclass_.Install(Handle(), [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return HandleMessage(hwnd, msg, wParam, lParam);
    });
}

std::wstring TNumberEdit::Text() const {
    if (!Handle()) return Caption();
    wchar_t text[16] = {};
    ::GetWindowTextW(Handle(), text, 16);
    return text;
}

void TNumberEdit::SetText(const std::wstring& text) {
    SetCaption(text);
    if (Handle()) ::SetWindowTextW(Handle(), text.c_str());
}

void TNumberEdit::SetFocus() {
    if (Form()) Form()->FocusControl(this);
    if (Handle()) ::SetFocus(Handle());
}

LRESULT TNumberEdit::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CHAR:
        if (wParam == VK_RETURN) {
            if (OnEnter) OnEnter();
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        // Whether the leave counts is decided now: a save running at this
        // moment detaches it. The handler itself runs once the focus has
        // settled, since a message box must not open inside a focus change.
        if (ExitAttached && OnExit) ::PostMessageW(hwnd, kExitMessage, wParam, 0);
        break;
    case kExitMessage:
        if (OnExit) OnExit(reinterpret_cast<HWND>(wParam));
        return 0;
    default:
        break;
    }
    return winlib::Subclass::Default(hwnd, msg, wParam, lParam);
}

}  // namespace settings
