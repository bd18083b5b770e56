// Shows a skinned host window with buttons, check boxes, the mascot and
// marked-up text with a link, then saves what is on the screen there as a
// PNG: toolkit_showcase.exe <file.png> [milliseconds to stay open].
#include <windows.h>
#include <png.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "companion/ui/corvalle_skin.h"
#include "tests/support/message_pump.h"
#include "tests/support/pixel_surface.h"
#include "toolkit/bex_bitmap.h"
#include "toolkit/bex_controls.h"
#include "toolkit/bex_text_wnd.h"
#include "toolkit/bex_wnd_manager.h"
#include "winlib/window.h"

using namespace companion;
using namespace toolkit;

namespace {

class ShowcaseWnd : public winlib::Window, public CBexWndManager {
public:
    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(CBexWndManager)
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    WL_END_MSG_MAP()

    void DrawBackground(HDC dc, const RECT* rect) override {
        RECT client = ClientRect();
        const int saved = ::SaveDC(dc);
        if (rect) ::IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
        BexSkinBitmap(kBexChooserBack)->Draw(dc, 0, 0, client.right, client.bottom, 0);
        DrawImageFrame(BexAppIcon(), dc, 8, 9, 0);
        DrawImageFrame(BexSkinBitmap(kBexChooserTitle), dc, 28, 7, 0);
        BexSkinBitmap(kBexTipBubble)->Draw(dc, 300, 40, 172, 92, 0);
        ::RestoreDC(dc, saved);
    }

    int clicks = 0;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
        const RECT client = ClientRect();
        close_.SetStrip(BexSkinBitmap(kBexCloseButton));
        close_.Attach(this, 3, IDCANCEL);
        SetWndPos(&close_, client.right - 5 - close_.Width(), 1);

        title_.Attach(this, 3, 0);
        title_.SetText(L"{&#font=4}{&#color=0xffffff}ZubVynmar");
        SetWndPos(&title_, 130, 9);

        body_.Attach(this, 3, 0);
        body_.SetText(L"{&#font=5}为方便使用，你是否选择：");
        SetWndPos(&body_, 25, 50);

        autorun_.SetStrip(BexSkinBitmap(kBexCheckBox));
        autorun_.Attach(this, 3, 1001);
        autorun_.SetText(L"开机自启动");
        SetWndPos(&autorun_, 40, 80);
        shortcut_.SetStrip(BexSkinBitmap(kBexCheckBox));
        shortcut_.Attach(this, 3, 1002);
        shortcut_.SetText(L"建立桌面快捷方式");
        shortcut_.SetCheck(1);
        SetWndPos(&shortcut_, 40, 102);

        countdown_.Attach(this, 3, 0);
        countdown_.SetText(L"{&#font=6}{&#color=0x246ce3} 60 {&#/color}{&#/font}秒后执行关机事件");
        SetWndPos(&countdown_, 25, 140);
        link_.Attach(this, 3, 0);
        link_.SetDefaultTextColor(0x0C2730);
        link_.SetText(L"{&#a=button:10025}暂不执行{&#/a}  {&#acolor=#1e9818}{&#a=button:10026}查看帮助");
        SetWndPos(&link_, 25, 164);

        tip_.Attach(this, 3, 0);
        tip_.SetDefaultTextColor(0xFFFFFF);
        tip_.SetText(L"喝杯水吧，身体需要水分哦~");
        SetWndPos(&tip_, 310, 50);
        tipLink_.Attach(this, 3, 0);
        tipLink_.SetLinkColor(0x33CCFF);
        tipLink_.SetHoverLinkColor(0x33CCFF);
        tipLink_.SetText(L"{&#a=button:1001}做颈椎操");
        SetWndPos(&tipLink_, 394, 72);

        mascot_.Attach(this, 3, 0);
        mascot_.SetBitmap(BexSkinBitmap(kBexMascotStanding));
        SetWndPos(&mascot_, 345, 112);

        ok_.Attach(this, 3, IDOK);
        ok_.SetBackground(BexSkinBitmap(kBexChooserButton));
        ok_.SetText(L"确定");
        cancel_.Attach(this, 3, IDCANCEL);
        cancel_.SetBackground(BexSkinBitmap(kBexChooserButton));
        cancel_.SetText(L"取消");
        disabled_.Attach(this, 3, 3);
        disabled_.SetBackground(BexSkinBitmap(kBexChooserButton));
        disabled_.SetText(L"重试");
        disabled_.EnableWnd(false);
        SetWndPos(&cancel_, 25 + 2 * (ok_.Width() + 15), client.bottom - 40);
        SetWndPos(&ok_, 25 + ok_.Width() + 15, client.bottom - 40);
        SetWndPos(&disabled_, 25, client.bottom - 40);
        return 0;
    }
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&) {
        ++clicks;
        return 0;
    }

    CBexButton3 close_;
    CBexTextWnd title_, body_, countdown_, link_, tip_, tipLink_;
    CBexCheckBox autorun_, shortcut_;
    CBexImageWnd mascot_;
    CBexButton4 ok_, cancel_, disabled_;
};

using testsupport::Pump;

bool SaveScreenRect(const RECT& rc, const wchar_t* path) {
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    testsupport::PixelSurface shot(cx, cy);
    if (!shot.Bits()) return false;
    shot.CopyScreen(rc.left, rc.top);
    std::vector<unsigned char> rgb(static_cast<size_t>(cx) * cy * 3);
    const DWORD* px = shot.Bits();
    for (int i = 0; i < cx * cy; ++i) {
        rgb[i * 3] = static_cast<unsigned char>(px[i] >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(px[i] >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(px[i]);
    }
    FILE* f = _wfopen(path, L"wb");
    if (!f) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(cx);
    image.height = static_cast<png_uint_32>(cy);
    image.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_stdio(&image, f, 0, rgb.data(), 0, nullptr);
    std::fclose(f);
    return ok != 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: toolkit_showcase <file.png> [ms]\n");
        return 2;
    }
    const DWORD stay = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 600;
    ShowcaseWnd wnd;
    RECT rc{100, 100, 100 + 480, 100 + 260};
    if (!wnd.Create(L"BexToolkitShowcase", nullptr, &rc, L"toolkit showcase", WS_POPUP | WS_VISIBLE,
                    WS_EX_TOPMOST))
        return 3;
    HRGN region = ::CreateRoundRectRgn(0, 0, 481, 261, 7, 7);
    ::SetWindowRgn(wnd.Hwnd(), region, TRUE);
    Pump(300);
    // Hover the middle button so one control shows its hover frame.
    const CBexWnd* ok = nullptr;
    for (CBexWnd* c : wnd.Controls())
        if (c->Id() == IDOK) ok = c;
    if (ok) {
        const RECT& r = ok->Rect();
        ::SetCursorPos(100 + (r.left + r.right) / 2, 100 + (r.top + r.bottom) / 2);
    }
    Pump(stay);
    ::RedrawWindow(wnd.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(100);
    const bool saved = SaveScreenRect(wnd.WindowRect(), argv[1]);
    wnd.DestroyWindow();
    return saved ? 0 : 1;
}
