// The control manager: mixed into every skinned top-level window and dialog
// as a second base class. It keeps the host's windowless controls, routes
// mouse input to them, paints them over the host's skin and keeps the
// tooltip registry.
//
// A host derives from it and lets it see every message first:
//
//     class CMyWnd : public winlib::Window, public CBexWndManager {
//         WL_BEGIN_MSG_MAP()
//             WL_CHAIN_MSG_MAP(CBexWndManager)
//             WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
//         WL_END_MSG_MAP()
//         void DrawBackground(HDC dc, const RECT* rc) override { ...skin... }
//     };
//
// (or calls RouteMessage itself and returns its result when it says so).
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "toolkit/bex_wnd.h"
#include "base/handles.h"
#include "winlib/message_map.h"

namespace toolkit {

// A memory DC with a compatible bitmap of a given size selected into it.
class CMemoryCanvas {
public:
    CMemoryCanvas(int cx, int cy);
    ~CMemoryCanvas();
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    HDC Dc() const { return dc_.Get(); }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Valid() const { return dc_ && bitmap_; }

private:
    base::MemoryDc dc_;
    int width_ = 0;
    int height_ = 0;
    base::Bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

// The shared 1024 x 128 canvas through which transparent controls reach the
// screen in one blit.
CMemoryCanvas* BexPaintCanvas();

// Tooltip registrations. No host of this program attaches a tooltip window,
// so they are kept but never shown.
class CBexToolTipAdpater {
public:
    // Marker in a record's rectangle: the tool covers the whole control.
    static constexpr LONG kWholeControl = static_cast<LONG>(0x80000000);

    struct Tool {
        CBexWnd* wnd = nullptr;
        int key = 0;
        RECT rect{};
    };

    int Add(CBexWnd* wnd, int key, const RECT* rect);
    void Remove(CBexWnd* wnd);
    const Tool* Find(int toolId) const;
    size_t Count() const { return tools_.size(); }

    void Attach(HWND tooltip, HWND owner) {
        tooltip_ = tooltip;
        owner_ = owner;
    }
    HWND ToolTipWindow() const { return tooltip_; }
    void Clear();

private:
    void SendToolMessage(UINT msg, int toolId, const RECT& hostRect);

    std::map<int, Tool> tools_;
    std::map<CBexWnd*, std::map<int, int>> byWnd_;
    HWND tooltip_ = nullptr;
    HWND owner_ = nullptr;
};

class CBexWndManager : public IBexWndManager, public winlib::MessageMap {
public:
    static constexpr UINT_PTR kHoverTimerId = 54321;
    static constexpr UINT kHoverPeriodMs = 100;

    CBexWndManager() = default;
    virtual ~CBexWndManager();
    CBexWndManager(const CBexWndManager&) = delete;
    CBexWndManager& operator=(const CBexWndManager&) = delete;

    // Returns TRUE when the message was handled; *result is then the answer.
    BOOL RouteMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // For WL_CHAIN_MSG_MAP(CBexWndManager).
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override {
        return RouteMessage(hwnd, msg, wParam, lParam, &result);
    }

    // IBexWndManager
    void AddWnd(CBexWnd* wnd) override;
    BOOL RemoveWnd(CBexWnd* wnd) override;
    void SetCapture(CBexWnd* wnd) override;
    void ReleaseCapture(CBexWnd* wnd) override;
    LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendCommand(CBexWnd* wnd, WORD notifyCode, WORD id) override;
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetWndRect(CBexWnd* wnd, int x, int y, int cx, int cy) override;
    void SetWndSize(CBexWnd* wnd, int cx, int cy) override;
    void SetWndPos(CBexWnd* wnd, int x, int y) override;
    void RedrawWnd(CBexWnd* wnd, const RECT* sub, BOOL force, int paintArg) override;
    int AddToolTip(CBexWnd* wnd, int key, const RECT* rect) override;
    void RemoveToolTips(CBexWnd* wnd) override;
    void SuspendUpdate() override { immediate_ = 0; }
    void ResumeUpdate() override { immediate_ = 1; }
    void DrawBackground(HDC dc, const RECT* rect) override;
    void DrawChildren(HDC dc, const RECT* rect) override;

    HWND HostWindow() const { return host_; }
    const std::vector<CBexWnd*>& Controls() const { return controls_; }
    CBexWnd* CapturedWnd() const { return captured_; }
    CBexWnd* HoveredWnd() const { return hovered_; }
    CBexWnd* HitTest(POINT pt) const;
    CBexToolTipAdpater& ToolTips() { return tooltips_; }

private:
    void Bind(HWND hwnd);
    void Detach();
    void StartHoverTimer();
    void StopHoverTimer();
    LRESULT OnMouseMoveMsg(LPARAM lParam, BOOL* handled);
    LRESULT OnButtonMsg(UINT msg, LPARAM lParam, BOOL* handled);
    LRESULT OnSetCursorMsg(BOOL* handled);
    void OnHoverTimer();
    void Paint(HDC dc, const RECT& rect);
    void PaintControl(CBexWnd* wnd, HDC dc, bool paint, bool transparent, bool exclude,
                      int paintArg);
    void InvalidateControl(const RECT& rc);

    CBexToolTipAdpater tooltips_;
    int redraw_ = 1;
    int immediate_ = 1;
    HWND host_ = nullptr;
    HWND destroyed_ = nullptr;  // the window just let go of; never bound again
    bool hoverTimerRunning_ = false;
    std::vector<CBexWnd*> controls_;
    CBexWnd* captured_ = nullptr;
    CBexWnd* hovered_ = nullptr;
};

}  // namespace toolkit
