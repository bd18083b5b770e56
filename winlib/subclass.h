// One subclass of a window we did not create (an edit, a combo box, a hosted
// control's own window): the owner installs it, hands every message to a
// handler of its choosing and takes it off again, on destruction or when the
// window goes away first, whichever comes first.
#pragma once

#include <windows.h>

#include <functional>

namespace winlib {

class Subclass {
public:
    // Gets every message of the subclassed window; what it does not consume
    // it passes on with Subclass::Default.
    using Handler = std::function<LRESULT(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)>;

    Subclass() noexcept = default;
    ~Subclass() { Remove(); }
    Subclass(Subclass&& other) noexcept;
    Subclass& operator=(Subclass&& other) noexcept;
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;

    // Subclasses `hwnd` (taking off what this object held before); false when
    // there is no window or the system refused. Not from inside the handler.
    bool Install(HWND hwnd, Handler handler);
    void Remove() noexcept;

    HWND Hwnd() const noexcept { return hwnd_; }
    bool Installed() const noexcept { return hwnd_ != nullptr; }

    // The window's procedure below this subclass.
    static LRESULT Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    void TakeFrom(Subclass& other) noexcept;

    HWND hwnd_ = nullptr;
    UINT_PTR id_ = 0;
    Handler handler_;
};

}  // namespace winlib
