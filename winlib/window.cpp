#include "winlib/window.h"

#include "winlib/app_module.h"
#include "base/exception_barrier.h"

namespace winlib {

namespace {

// The object pointer lives in the window's own extra bytes, so
// GWLP_USERDATA stays free for whoever else wants it.
constexpr int kObjectSlot = 0;

bool RegisterOnce(const wchar_t* className, const WindowClassOptions& options, WNDPROC proc) {
    HINSTANCE instance = Module().Instance();
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, className, &existing)) return existing.lpfnWndProc == proc;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = options.style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = instance;
    wc.hIcon = options.icon;
    wc.hIconSm = options.smallIcon;
    wc.hCursor = options.cursor ? options.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = options.background;
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

Window::~Window() {
    // A window that outlives its object would route messages into freed memory.
    if (hwnd_ && ::IsWindow(hwnd_)) {
        ::SetWindowLongPtrW(hwnd_, kObjectSlot, 0);
        ::DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

HWND Window::Create(const wchar_t* className, HWND parent, const RECT* rect, const wchar_t* title,
                    DWORD style, DWORD exStyle, HMENU menuOrId, const WindowClassOptions& options) {
    if (hwnd_ || !className || !RegisterOnce(className, options, &Window::WindowProc)) return nullptr;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
    if (rect) {
        x = rect->left;
        y = rect->top;
        cx = rect->right - rect->left;
        cy = rect->bottom - rect->top;
    }
    HWND hwnd = ::CreateWindowExW(exStyle, className, title, style, x, y, cx, cy, parent, menuOrId,
                                  Module().Instance(), this);
    return hwnd;
}

BOOL Window::DestroyWindow() {
    if (!hwnd_) return FALSE;
    return ::DestroyWindow(hwnd_);
}

RECT Window::WindowRect() const {
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    return rc;
}

RECT Window::ClientRect() const {
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    return rc;
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd, GCLP_WNDPROC)) != &Window::WindowProc)
        return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, kObjectSlot));
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, kObjectSlot));
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, kObjectSlot, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    const BOOL handled = base::CallGuarded(L"WindowProc", FALSE, [&] {
        return self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    });
    if (!handled) result = ::DefWindowProcW(hwnd, msg, wParam, lParam);

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, kObjectSlot, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage(hwnd);
    }
    return result;
}

}  // namespace winlib
