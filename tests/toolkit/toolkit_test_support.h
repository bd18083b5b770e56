// Shared pieces of the toolkit tests: a real host window with the control
// manager mixed in, a control that records what the manager tells it, and
// helpers to read painted pixels back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/pixel_surface.h"
#include "tests/support/png_writer.h"
#include "toolkit/bex_bitmap.h"
#include "toolkit/bex_wnd.h"
#include "toolkit/bex_wnd_manager.h"
#include "winlib/window.h"

namespace toolkit_test {

using testsupport::Pump;
using testsupport::PumpUntil;

class TestHost : public winlib::Window, public toolkit::CBexWndManager {
public:
    struct Command {
        WORD id;
        WORD code;
        LPARAM lParam;
    };

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        WL_MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    WL_END_MSG_MAP()

    // A visible popup at (x, y) of the given client size.
    bool Open(int cx = 300, int cy = 200, int x = 100, int y = 100);
    void DrawBackground(HDC dc, const RECT* rect) override;

    // Mouse input as the window would get it, in client coordinates.
    void Move(int x, int y) { ::SendMessageW(Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void Down(int x, int y) { ::SendMessageW(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Up(int x, int y) { ::SendMessageW(Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

    COLORREF background = RGB(0, 0, 255);
    std::vector<Command> commands;
    int hostMouseMoves = 0;

private:
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
        commands.push_back(Command{LOWORD(wParam), HIWORD(wParam), lParam});
        return 0;
    }
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&) {
        ++hostMouseMoves;
        return 0;
    }
};

// A control that fills itself with one colour and logs every call.
class ProbeWnd : public toolkit::CBexWnd {
public:
    explicit ProbeWnd(COLORREF fill = RGB(255, 0, 0)) : color(fill) {}
    void OnCreate() override { log.push_back("create"); }
    void OnHostDestroy() override { log.push_back("hostdestroy"); }
    void OnTick() override { ++ticks; }
    void OnMove(int x, int y) override { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    void OnSize(int cx, int cy) override { log.push_back("size " + std::to_string(cx) + "," + std::to_string(cy)); }
    void Paint(HDC dc, int, int) override;
    void OnCaptureLost() override { log.push_back("capturelost"); }
    LRESULT OnLButtonDown(POINT pt) override { return Record("down", pt); }
    LRESULT OnLButtonUp(POINT pt) override { return Record("up", pt); }
    LRESULT OnLButtonDblClk(POINT pt) override { return Record("dblclk", pt); }
    LRESULT OnMouseMove(POINT pt) override { Record("mousemove", pt); return 0; }
    void OnMouseEnter(POINT) override { log.push_back("enter"); }
    void OnMouseLeave() override { log.push_back("leave"); }

    std::string Last() const { return log.empty() ? std::string() : log.back(); }
    bool Has(const std::string& entry) const;

    COLORREF color;
    // Paints only a centred square of this size instead of the whole
    // control when not 0 (to see what lies under a transparent control).
    int squareOnly = 0;
    LRESULT consume = 1;
    int ticks = 0;
    int paints = 0;
    std::vector<std::string> log;

private:
    LRESULT Record(const char* what, POINT pt) {
        log.push_back(std::string(what) + " " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        return consume;
    }
};

using testsupport::PixelSurface;

// A strip whose frames are solid colours: 32-bit with the given alpha (255:
// opaque alpha strip) or 24-bit when alpha is negative.
base::Bitmap SolidStrip(const std::vector<COLORREF>& frames, int frameWidth, int height, int alpha = 255);

// PNG bytes made with libpng from rows of raw samples.
using testsupport::EncodePng;
using testsupport::PngSpec;

}  // namespace toolkit_test
