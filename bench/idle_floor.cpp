// The floor for the idle benchmark: the least a layered mascot window can
// cost. A bare window that only pushes frames of a strip with
// UpdateLayeredWindow at a fixed frame time, plus a 100 ms and a 1 s timer
// whose handlers do nothing, as the mascot's hover and watch timers tick
// beside its animation.
//
//   idle_floor.exe [FRAME_MS [CX [CY [FRAMES [LIFE_S [STRIP_PNG]]]]]]
//       defaults: 220 ms, 120 x 140, 8 frames; ends itself after LIFE_S
//       seconds (default 900) should nobody close it. With STRIP_PNG it
//       pushes the frames of that strip (the mascot's own), decoded as the
//       mascot decodes it; without, a synthetic disc.
//
// It obeys the mascot's own hide and show commands (WM_COMMAND 502 and 503):
// hidden, the frame timer stops and only the two timers run, which is the
// floor for a hidden mascot.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "base/handles.h"
#include "base/png_decoder.h"
#include "base/whole_file.h"

namespace {

constexpr wchar_t kClassName[] = L"CorvalleIdleFloor";
constexpr UINT_PTR kTimerFrame = 1;
constexpr UINT_PTR kTimerHover = 2;
constexpr UINT_PTR kTimerWatch = 3;
constexpr UINT_PTR kTimerLife = 4;
constexpr UINT kHoverMs = 100;
constexpr UINT kWatchMs = 1000;
constexpr WORD kCmdHide = 502;
constexpr WORD kCmdShow = 503;

struct Floor {
    UINT frameMs = 220;
    int cx = 120;
    int cy = 140;
    int frames = 8;
    int frame = 0;
    HDC memory = nullptr;
    HBITMAP strip = nullptr;
    HGDIOBJ previous = nullptr;
    POINT at{};
};

Floor g_floor;

// A strip of FRAMES premultiplied frames: a disc that grows and shrinks on a
// transparent ground, so every frame differs and most pixels are see-through
// like a mascot's. Its outline changes little from frame to frame, which
// under Wine costs far less than a mascot's moving outline (see bench/idle).
HBITMAP MakeStrip(int cx, int cy, int frames) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx * frames;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    auto* pixels = static_cast<DWORD*>(bits);
    const int width = cx * frames;
    for (int f = 0; f < frames; ++f) {
        const int radius = cx / 4 + (f < frames / 2 ? f : frames - f) * 2;
        const int mx = f * cx + cx / 2;
        const int my = cy / 2;
        for (int y = 0; y < cy; ++y) {
            for (int x = f * cx; x < (f + 1) * cx; ++x) {
                const int dx = x - mx;
                const int dy = y - my;
                DWORD pixel = 0;
                if (dx * dx + dy * dy <= radius * radius) {
                    const DWORD a = 0xe0;
                    const DWORD r = 0x60 * a / 255, g = 0xa0 * a / 255, b = 0x40 * a / 255;
                    pixel = (a << 24) | (r << 16) | (g << 8) | b;
                }
                pixels[y * width + x] = pixel;
            }
        }
    }
    return bitmap;
}

void PushFrame(HWND hwnd) {
    HDC screen = ::GetDC(nullptr);
    SIZE size{g_floor.cx, g_floor.cy};
    POINT source{g_floor.frame * g_floor.cx, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(hwnd, screen, &g_floor.at, &size, g_floor.memory, &source, 0, &blend, ULW_ALPHA);
    ::ReleaseDC(nullptr, screen);
    g_floor.frame = (g_floor.frame + 1) % g_floor.frames;
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        switch (wParam) {
        case kTimerFrame:
            PushFrame(hwnd);
            return 0;
        case kTimerHover:
        case kTimerWatch:
            // Their cost is the wake-up itself: with nothing hovered, the
            // mascot's hover tick asks the system nothing either.
            return 0;
        case kTimerLife:
            ::DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCmdHide) {
            ::KillTimer(hwnd, kTimerFrame);
            ::ShowWindow(hwnd, SW_HIDE);
            return 0;
        }
        if (LOWORD(wParam) == kCmdShow) {
            ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
            ::SetTimer(hwnd, kTimerFrame, g_floor.frameMs, nullptr);
            return 0;
        }
        break;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

int Argument(int argc, wchar_t** argv, int index, int fallback) {
    if (argc <= index) return fallback;
    const int value = static_cast<int>(std::wcstol(argv[index], nullptr, 10));
    return value > 0 ? value : fallback;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const base::LocalMemory argvBlock(argv);
    g_floor.frameMs = static_cast<UINT>(Argument(argc, argv, 1, 220));
    g_floor.cx = Argument(argc, argv, 2, 120);
    g_floor.cy = Argument(argc, argv, 3, 140);
    g_floor.frames = Argument(argc, argv, 4, 8);
    const UINT lifeS = static_cast<UINT>(Argument(argc, argv, 5, 900));
    const std::wstring stripPath = argc > 6 ? argv[6] : L"";

    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassW(&wc)) return 1;

    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    g_floor.at = POINT{work.right - g_floor.cx - 40, work.bottom - g_floor.cy - 40};
    HWND hwnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, g_floor.at.x,
                                  g_floor.at.y, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;

    base::Bitmap given;
    if (!stripPath.empty()) {
        std::string bytes;
        if (base::ReadWholeFile(stripPath.c_str(), bytes)) given = base::DecodePngToDib(bytes.data(), bytes.size());
        if (!given) return 1;
    }
    g_floor.strip = given ? given.Detach() : MakeStrip(g_floor.cx, g_floor.cy, g_floor.frames);
    HDC screen = ::GetDC(nullptr);
    g_floor.memory = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (!g_floor.strip || !g_floor.memory) return 1;
    g_floor.previous = ::SelectObject(g_floor.memory, g_floor.strip);

    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    PushFrame(hwnd);
    ::SetTimer(hwnd, kTimerFrame, g_floor.frameMs, nullptr);
    ::SetTimer(hwnd, kTimerHover, kHoverMs, nullptr);
    ::SetTimer(hwnd, kTimerWatch, kWatchMs, nullptr);
    ::SetTimer(hwnd, kTimerLife, lifeS * 1000, nullptr);

    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);

    ::SelectObject(g_floor.memory, g_floor.previous);
    ::DeleteDC(g_floor.memory);
    ::DeleteObject(g_floor.strip);
    return 0;
}
