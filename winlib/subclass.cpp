#include "winlib/subclass.h"

#include <commctrl.h>

#include <atomic>
#include <utility>

#include "base/exception_barrier.h"

namespace winlib {

namespace {

// Several owners may subclass one window with the same procedure; each gets
// an id of its own, which stays with it when the owner moves.
UINT_PTR NextId() {
    static std::atomic<UINT_PTR> next{1};
    return next++;
}

}  // namespace

Subclass::Subclass(Subclass&& other) noexcept { TakeFrom(other); }

Subclass& Subclass::operator=(Subclass&& other) noexcept {
    if (this != &other) {
        Remove();
        TakeFrom(other);
    }
    return *this;
}

void Subclass::TakeFrom(Subclass& other) noexcept {
    hwnd_ = std::exchange(other.hwnd_, nullptr);
    id_ = std::exchange(other.id_, 0);
    handler_ = std::move(other.handler_);
    // The window keeps the id; only the object it calls has moved.
    if (hwnd_ && !::SetWindowSubclass(hwnd_, &Subclass::Proc, id_, reinterpret_cast<DWORD_PTR>(this))) {
        hwnd_ = nullptr;
        id_ = 0;
    }
}

bool Subclass::Install(HWND hwnd, Handler handler) {
    Remove();
    if (!hwnd || !handler) return false;
    const UINT_PTR id = NextId();
    handler_ = std::move(handler);
    if (!::SetWindowSubclass(hwnd, &Subclass::Proc, id, reinterpret_cast<DWORD_PTR>(this))) {
        handler_ = nullptr;
        return false;
    }
    hwnd_ = hwnd;
    id_ = id;
    return true;
}

void Subclass::Remove() noexcept {
    if (hwnd_ && ::IsWindow(hwnd_)) ::RemoveWindowSubclass(hwnd_, &Subclass::Proc, id_);
    hwnd_ = nullptr;
    id_ = 0;
}

LRESULT Subclass::Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Subclass::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<Subclass*>(data);
    if (!self || !self->handler_) return ::DefSubclassProc(hwnd, msg, wParam, lParam);

    if (msg == WM_NCDESTROY) {
        // Taken off before the handler runs, so that nothing here touches the
        // owner after it: an owner may well go together with its window.
        ::RemoveWindowSubclass(hwnd, &Subclass::Proc, id);
        if (self->hwnd_ == hwnd && self->id_ == id) {
            self->hwnd_ = nullptr;
            self->id_ = 0;
        }
    }

    bool done = false;
    LRESULT result = base::CallGuarded(L"SubclassProc", LRESULT{0}, [&] {
        const LRESULT r = self->handler_(hwnd, msg, wParam, lParam);
        done = true;
        return r;
    });
    // A handler that failed has not passed the message on; the window still
    // gets it, so that it never misses its own destruction.
    if (!done) result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
    return result;
}

}  // namespace winlib
