#include "companion/app/first_tip_wnd.h"

#include "companion/ui/corvalle_skin.h"
#include "protocol/window_messages.h"
#include "toolkit/bex_bitmap.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr int kOffsetX = 150;
constexpr int kOffsetY = 92;

}  // namespace

bool CFirstTipWnd::Create(HWND owner) {
    return winlib::Window::Create(L"CorvalleFirstTipWnd", owner, nullptr, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED) != nullptr;
}

void CFirstTipWnd::Draw() {
    toolkit::CBexBitmap* tip = toolkit::BexSkinBitmap(kBexFirstRunTip);
    if (!tip || !tip->Handle()) return;
    RECT owner{};
    ::GetWindowRect(::GetWindow(Hwnd(), GW_OWNER), &owner);
    POINT at{owner.left - kOffsetX, owner.top - kOffsetY};
    SIZE size{tip->FrameWidth(), tip->Height()};
    base::WindowDc screen(nullptr);
    base::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    base::SelectObjectScope select(memory.Get(), tip->Handle());
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(Hwnd(), screen.Get(), &at, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
}

BOOL CFirstTipWnd::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (RouteMessage(hwnd, msg, wParam, lParam, &result)) return TRUE;
    switch (msg) {
    case WM_CREATE:
        Draw();
        result = 0;
        return TRUE;
    case WM_TIP_MOVE:
        ::SetWindowPos(hwnd, nullptr, static_cast<int>(wParam) - kOffsetX, static_cast<int>(lParam) - kOffsetY, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
        result = 0;
        return TRUE;
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace companion
