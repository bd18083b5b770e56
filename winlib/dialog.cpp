#include "winlib/dialog.h"

#include "base/exception_barrier.h"

namespace winlib {

namespace {

void PushText(std::vector<WORD>& out, const std::wstring& text) {
    for (wchar_t c : text) out.push_back(static_cast<WORD>(c));
    out.push_back(0);
}

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
    switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

std::vector<WORD> DialogTemplate::Build() const {
    std::vector<WORD> out;
    out.reserve(64);
    auto pushDword = [&out](DWORD v) {
        out.push_back(LOWORD(v));
        out.push_back(HIWORD(v));
    };
    pushDword(style);
    pushDword(exStyle);
    out.push_back(0);  // no items
    out.push_back(static_cast<WORD>(x));
    out.push_back(static_cast<WORD>(y));
    out.push_back(static_cast<WORD>(cx));
    out.push_back(static_cast<WORD>(cy));
    out.push_back(0);  // no menu
    out.push_back(0);  // the system dialog class
    PushText(out, title);
    if (style & DS_SETFONT) {
        out.push_back(fontPoints);
        PushText(out, fontFace);
    }
    if (out.size() % 2) out.push_back(0);
    return out;
}

Dialog::~Dialog() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        if (!modal_) ::DestroyWindow(hwnd_);
    }
    if (filtering_) Module().Loop().RemoveFilter(&filter_);
}

INT_PTR Dialog::DoModal(HWND owner) {
    if (hwnd_) return -1;
    modal_ = true;
    const std::vector<WORD> tmpl = GetTemplate().Build();
    INT_PTR result = ::DialogBoxIndirectParamW(
        Module().Instance(), reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), owner,
        &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

HWND Dialog::Create(HWND owner) {
    if (hwnd_) return nullptr;
    modal_ = false;
    const std::vector<WORD> tmpl = GetTemplate().Build();
    HWND hwnd = ::CreateDialogIndirectParamW(Module().Instance(),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), owner,
                                             &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd) {
        Module().Loop().AddFilter(&filter_);
        filtering_ = true;
    }
    return hwnd;
}

BOOL Dialog::EndDialog(INT_PTR result) {
    if (!hwnd_) return FALSE;
    if (modal_) return ::EndDialog(hwnd_, result);
    return ::DestroyWindow(hwnd_);
}

BOOL Dialog::DestroyWindow() {
    if (!hwnd_ || modal_) return FALSE;
    return ::DestroyWindow(hwnd_);
}

bool Dialog::KeyboardFilter::PreTranslateMessage(MSG* msg) {
    HWND dlg = owner_.hwnd_;
    if (!dlg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (msg->hwnd != dlg && !::IsChild(dlg, msg->hwnd)) return false;
    return ::IsDialogMessageW(dlg, msg) != FALSE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (self) {
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return FALSE;

    LRESULT result = 0;
    const BOOL handled = base::CallGuarded(L"DialogProc", FALSE, [&] {
        return self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    });

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        if (self->filtering_) {
            Module().Loop().RemoveFilter(&self->filter_);
            self->filtering_ = false;
        }
        self->OnFinalMessage(hwnd);
        return handled;
    }
    if (!handled) return msg == WM_INITDIALOG ? TRUE : FALSE;
    if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace winlib
