// Windowless controls: rectangles inside a host window that draw themselves
// with skin bitmaps and get their mouse input from the host's control
// manager. They never own a window handle; they reach their host only through
// IBexWndManager.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace toolkit {

class CBexWnd;

// Control flags.
enum : DWORD {
    kBexVisible = 0x1,
    kBexAutoSize = 0x2,
    kBexDisabled = 0x4,
    kBexTransparent = 0x8,
};

class IBexWndManager {
public:
    virtual void AddWnd(CBexWnd* wnd) = 0;
    virtual BOOL RemoveWnd(CBexWnd* wnd) = 0;
    virtual void SetCapture(CBexWnd* wnd) = 0;
    virtual void ReleaseCapture(CBexWnd* wnd) = 0;
    virtual LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT SendCommand(CBexWnd* wnd, WORD notifyCode, WORD id) = 0;
    virtual BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual void SetWndRect(CBexWnd* wnd, int x, int y, int cx, int cy) = 0;
    virtual void SetWndSize(CBexWnd* wnd, int cx, int cy) = 0;
    virtual void SetWndPos(CBexWnd* wnd, int x, int y) = 0;
    // `sub` is in control coordinates (null: the whole control).
    virtual void RedrawWnd(CBexWnd* wnd, const RECT* sub, BOOL force, int paintArg) = 0;
    virtual int AddToolTip(CBexWnd* wnd, int key, const RECT* rect) = 0;
    virtual void RemoveToolTips(CBexWnd* wnd) = 0;
    virtual void SuspendUpdate() = 0;
    virtual void ResumeUpdate() = 0;
    // Rectangles in host client coordinates (null: the DC's clip box).
    virtual void DrawBackground(HDC dc, const RECT* rect) = 0;
    virtual void DrawChildren(HDC dc, const RECT* rect) = 0;

protected:
    ~IBexWndManager() = default;
};

class CBexWnd {
public:
    CBexWnd() = default;
    virtual ~CBexWnd();
    CBexWnd(const CBexWnd&) = delete;
    CBexWnd& operator=(const CBexWnd&) = delete;

    // For controls made with new: deletes this one.
    virtual void Destroy();
    virtual void OnCreate() {}
    virtual void OnHostDestroy() {}
    virtual void OnTick() {}
    virtual void OnMove(int x, int y) { (void)x; (void)y; }
    virtual void OnSize(int cx, int cy) { (void)cx; (void)cy; }
    // Draws into a DC whose viewport origin is the control's top-left corner.
    virtual void Paint(HDC dc, int clipX, int paintArg) { (void)dc; (void)clipX; (void)paintArg; }
    virtual void OnCaptureLost() {}
    // Points are in control coordinates; nonzero results mean "consumed".
    virtual LRESULT OnSetCursor(POINT pt) { (void)pt; return 0; }
    virtual LRESULT OnLButtonDown(POINT pt) { (void)pt; return 0; }
    virtual LRESULT OnLButtonUp(POINT pt) { (void)pt; return 0; }
    virtual LRESULT OnLButtonDblClk(POINT pt) { (void)pt; return 0; }
    virtual LRESULT OnMouseMove(POINT pt) { (void)pt; return 0; }
    virtual void OnMouseEnter(POINT pt) { (void)pt; }
    virtual void OnMouseLeave() {}
    virtual void GetToolTipText(int key, NMTTDISPINFOW* info) { (void)key; (void)info; }

    // The attach sequence every host runs (usually in WM_CREATE or
    // WM_INITDIALOG): owner, flags (3, or 2 for a control made hidden), id,
    // empty rectangle, AddWnd, OnCreate, OnMove(0, 0), OnSize(0, 0). The
    // host then sets the content and places the control.
    void Attach(IBexWndManager* owner, DWORD flags, UINT id);
    // Back to the state of a control that was never attached (used by the
    // manager when its host window goes away).
    void ClearCommonState();

    // Shows or hides the control; hiding paints the host background over it.
    void ShowWnd(bool show);
    // Enables or disables the control and repaints it in its new look.
    void EnableWnd(bool enable);

    DWORD Flags() const { return flags_; }
    void SetFlags(DWORD flags) { flags_ = flags; }
    bool IsVisible() const { return (flags_ & kBexVisible) != 0; }
    bool IsAutoSize() const { return (flags_ & kBexAutoSize) != 0; }
    bool IsDisabled() const { return (flags_ & kBexDisabled) != 0; }
    bool IsTransparent() const { return (flags_ & kBexTransparent) != 0; }
    void SetFlag(DWORD flag, bool on) { flags_ = on ? (flags_ | flag) : (flags_ & ~flag); }
    UINT Id() const { return id_; }
    void SetId(UINT id) { id_ = id; }
    const RECT& Rect() const { return rect_; }
    // Only the manager moves a control (it tells the control and repaints).
    void SetRectRaw(const RECT& rc) { rect_ = rc; }
    int Width() const { return rect_.right - rect_.left; }
    int Height() const { return rect_.bottom - rect_.top; }
    IBexWndManager* Owner() const { return owner_; }
    void SetOwner(IBexWndManager* owner) { owner_ = owner; }

protected:
    // Repaints the whole control through the owner, when attached.
    void Redraw() {
        if (owner_) owner_->RedrawWnd(this, nullptr, 0, 0);
    }

private:
    DWORD flags_ = 0;
    UINT id_ = 0;
    RECT rect_{};
    IBexWndManager* owner_ = nullptr;
};

}  // namespace toolkit
