#include "toolkit/bex_wnd_manager.h"

#include <windowsx.h>

#include <algorithm>

namespace toolkit {

namespace {

POINT Relative(const CBexWnd* wnd, POINT pt) {
    return POINT{pt.x - wnd->Rect().left, pt.y - wnd->Rect().top};
}

}  // namespace

// ---------------------------------------------------------------------------
// CMemoryCanvas

CMemoryCanvas::CMemoryCanvas(int cx, int cy) {
    base::WindowDc screen(nullptr);
    dc_.Reset(::CreateCompatibleDC(screen.Get()));
    if (!dc_ || cx <= 0 || cy <= 0) return;
    bitmap_.Reset(::CreateCompatibleBitmap(screen.Get(), cx, cy));
    if (!bitmap_) return;
    old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
    width_ = cx;
    height_ = cy;
}

CMemoryCanvas::~CMemoryCanvas() {
    // The bitmap can only be deleted once it is out of the DC.
    if (old_ && dc_) ::SelectObject(dc_.Get(), old_);
}

CMemoryCanvas* BexPaintCanvas() {
    static CMemoryCanvas canvas(1024, 128);
    return canvas.Valid() ? &canvas : nullptr;
}

// ---------------------------------------------------------------------------
// CBexToolTipAdpater

int CBexToolTipAdpater::Add(CBexWnd* wnd, int key, const RECT* rect) {
    if (!wnd) return 0;
    auto& keys = byWnd_[wnd];
    if (keys.count(key)) return 0;
    int id = 1;
    for (const auto& entry : tools_) {  // ordered: the first gap is the smallest free id
        if (entry.first != id) break;
        ++id;
    }
    Tool tool;
    tool.wnd = wnd;
    tool.key = key;
    RECT host = wnd->Rect();
    if (rect) {
        tool.rect = *rect;
        host = *rect;
        ::OffsetRect(&host, wnd->Rect().left, wnd->Rect().top);
    } else {
        tool.rect = RECT{kWholeControl, 0, 0, 0};
    }
    tools_[id] = tool;
    keys[key] = id;
    SendToolMessage(TTM_ADDTOOLW, id, host);
    return id;
}

void CBexToolTipAdpater::Remove(CBexWnd* wnd) {
    auto it = byWnd_.find(wnd);
    if (it == byWnd_.end()) return;
    for (const auto& keyId : it->second) {
        tools_.erase(keyId.second);
        SendToolMessage(TTM_DELTOOLW, keyId.second, RECT{});
    }
    byWnd_.erase(it);
}

const CBexToolTipAdpater::Tool* CBexToolTipAdpater::Find(int toolId) const {
    auto it = tools_.find(toolId);
    return it == tools_.end() ? nullptr : &it->second;
}

void CBexToolTipAdpater::Clear() {
    tools_.clear();
    byWnd_.clear();
}

void CBexToolTipAdpater::SendToolMessage(UINT msg, int toolId, const RECT& hostRect) {
    if (!tooltip_) return;
    TOOLINFOW info{};
    info.cbSize = 48;  // the size every common-controls version accepts
    info.uFlags = 0;
    info.hwnd = owner_;
    info.uId = static_cast<UINT_PTR>(toolId);
    info.rect = hostRect;
    info.hinst = ::GetModuleHandleW(nullptr);
    info.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tooltip_, msg, 0, reinterpret_cast<LPARAM>(&info));
}

// ---------------------------------------------------------------------------
// CBexWndManager

CBexWndManager::~CBexWndManager() {
    // Controls that outlive their manager must not call into it.
    for (CBexWnd* wnd : controls_)
        if (wnd->Owner() == this) wnd->SetOwner(nullptr);
}

void CBexWndManager::Bind(HWND hwnd) {
    host_ = hwnd;
}

// The hover check only has work while a control is hovered; an idle host
// (a hidden bubble, a mascot nobody points at) must not wake ten times a
// second for nothing.
void CBexWndManager::StartHoverTimer() {
    if (host_ && !hoverTimerRunning_) hoverTimerRunning_ = ::SetTimer(host_, kHoverTimerId, kHoverPeriodMs, nullptr) != 0;
}

void CBexWndManager::StopHoverTimer() {
    if (host_ && hoverTimerRunning_) ::KillTimer(host_, kHoverTimerId);
    hoverTimerRunning_ = false;
}

void CBexWndManager::Detach() {
    destroyed_ = host_;
    StopHoverTimer();
    if (CBexWnd* wnd = hovered_) {
        hovered_ = nullptr;
        wnd->OnMouseLeave();
    }
    if (CBexWnd* wnd = captured_) {
        captured_ = nullptr;
        wnd->OnCaptureLost();
    }
    std::vector<CBexWnd*> controls;
    controls.swap(controls_);
    for (CBexWnd* wnd : controls) {
        wnd->OnHostDestroy();
        wnd->ClearCommonState();
    }
    tooltips_.Clear();
    redraw_ = 1;
    immediate_ = 1;
    host_ = nullptr;
    captured_ = nullptr;
    hovered_ = nullptr;
}

BOOL CBexWndManager::RouteMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                  LRESULT* result) {
    LRESULT local = 0;
    if (!result) result = &local;
    *result = 0;
    // Bind at the first message of a window's life, and again when the same
    // host object gets a new window. WM_NCDESTROY comes after WM_DESTROY has
    // let go of the window: binding then would tie the manager to a dead
    // handle and keep the next window from ever binding.
    if (hwnd && hwnd != host_ && hwnd != destroyed_ && msg != WM_NCDESTROY && msg != WM_DESTROY)
        Bind(hwnd);

    BOOL handled = FALSE;
    switch (msg) {
    case WM_NOTIFY: {
        // Only a tooltip window of our own sends TTN_GETDISPINFOW here; with
        // none attached, lParam is not ours to read.
        HWND tooltip = tooltips_.ToolTipWindow();
        if (!tooltip || !lParam) return FALSE;
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom != tooltip || header->code != TTN_GETDISPINFOW) return FALSE;
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (info->uFlags & TTF_IDISHWND) return FALSE;
        if (const auto* tool = tooltips_.Find(static_cast<int>(header->idFrom)))
            tool->wnd->GetToolTipText(tool->key, info);
        return TRUE;
    }
    case WM_MOUSEMOVE:
        *result = OnMouseMoveMsg(lParam, &handled);
        return handled;
    case WM_ERASEBKGND:
        *result = 1;
        return TRUE;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        HDC given = reinterpret_cast<HDC>(wParam);
        if (!given) {
            base::PaintDc paint(hwnd);
            if (paint.Get()) Paint(paint.Get(), paint.Info().rcPaint);
        } else {
            // The caller's DC keeps its clip region: the exclusions made
            // while painting are undone afterwards.
            const int saved = ::SaveDC(given);
            RECT clip{};
            ::GetClipBox(given, &clip);
            Paint(given, clip);
            if (saved) ::RestoreDC(given, saved);
        }
        return TRUE;
    }
    case WM_SETCURSOR:
        *result = OnSetCursorMsg(&handled);
        return handled;
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        *result = OnButtonMsg(msg, lParam, &handled);
        return handled;
    case WM_TIMER:
        if (wParam != kHoverTimerId) return FALSE;
        OnHoverTimer();
        *result = 1;
        return TRUE;
    case WM_CAPTURECHANGED:
        if (CBexWnd* wnd = captured_) {
            captured_ = nullptr;
            wnd->OnCaptureLost();
            return TRUE;
        }
        return FALSE;
    case WM_SIZE:
        *result = 1;
        return FALSE;
    case WM_SETREDRAW:
        redraw_ = static_cast<int>(wParam);
        return FALSE;
    case WM_DESTROY:
        if (hwnd == host_) Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

CBexWnd* CBexWndManager::HitTest(POINT pt) const {
    for (CBexWnd* wnd : controls_) {
        if (!wnd->IsVisible() || wnd->IsDisabled()) continue;
        if (::PtInRect(&wnd->Rect(), pt)) return wnd;
    }
    return nullptr;
}

LRESULT CBexWndManager::OnMouseMoveMsg(LPARAM lParam, BOOL* handled) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (CBexWnd* wnd = captured_) {
        const bool inside = ::PtInRect(&wnd->Rect(), pt) != FALSE;
        if (inside && !hovered_) {
            hovered_ = wnd;
            StartHoverTimer();
            wnd->OnMouseEnter(Relative(wnd, pt));
        } else if (!inside && hovered_ == wnd) {
            hovered_ = nullptr;
            wnd->OnMouseLeave();
        }
        // The callbacks may have removed it.
        if (captured_ == wnd) wnd->OnMouseMove(Relative(wnd, pt));
        *handled = TRUE;
        return 0;
    }
    CBexWnd* hit = HitTest(pt);
    if (hit != hovered_) {
        if (CBexWnd* old = hovered_) {
            hovered_ = nullptr;
            old->OnMouseLeave();
        }
        hovered_ = hit;
        if (hit) {
            StartHoverTimer();
            hit->OnMouseEnter(Relative(hit, pt));
        }
    }
    if (hit && hovered_ == hit) hit->OnMouseMove(Relative(hit, pt));
    // The host sees every move it is not captured away from: windows that
    // track the mouse themselves need it also where no control lies.
    *handled = FALSE;
    return 0;
}

LRESULT CBexWndManager::OnButtonMsg(UINT msg, LPARAM lParam, BOOL* handled) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CBexWnd* wnd = captured_;
    const bool captured = wnd != nullptr;
    if (!wnd) wnd = HitTest(pt);
    if (!wnd) {
        *handled = FALSE;
        return 0;
    }
    const POINT rel = Relative(wnd, pt);
    LRESULT r = 0;
    switch (msg) {
    case WM_LBUTTONDOWN: r = wnd->OnLButtonDown(rel); break;
    case WM_LBUTTONUP: r = wnd->OnLButtonUp(rel); break;
    default: r = wnd->OnLButtonDblClk(rel); break;
    }
    *handled = captured || r != 0;
    return 0;
}

LRESULT CBexWndManager::OnSetCursorMsg(BOOL* handled) {
    *handled = FALSE;
    POINT pt{};
    if (!host_ || !::GetCursorPos(&pt)) return 0;
    ::ScreenToClient(host_, &pt);
    CBexWnd* wnd = captured_ ? captured_ : HitTest(pt);
    if (!wnd) return 0;
    const LRESULT r = wnd->OnSetCursor(Relative(wnd, pt));
    *handled = r != 0;
    return r;
}

void CBexWndManager::OnHoverTimer() {
    if (hovered_ && !captured_ && host_) {
        POINT pt{};
        ::GetCursorPos(&pt);
        RECT client{};
        ::GetClientRect(host_, &client);
        ::MapWindowPoints(host_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (!::PtInRect(&client, pt) || ::WindowFromPoint(pt) != host_) {
            CBexWnd* wnd = hovered_;
            hovered_ = nullptr;
            wnd->OnMouseLeave();
        }
    }
    // By index: a tick may add or remove controls.
    for (size_t i = 0; i < controls_.size(); ++i) controls_[i]->OnTick();
    if (!hovered_) StopHoverTimer();
}

void CBexWndManager::Paint(HDC dc, const RECT& rect) {
    DrawChildren(dc, &rect);
    DrawBackground(dc, &rect);
}

void CBexWndManager::DrawChildren(HDC dc, const RECT* rect) {
    RECT area{};
    if (rect) {
        area = *rect;
    } else {
        ::GetClipBox(dc, &area);
    }
    for (size_t i = 0; i < controls_.size(); ++i) {
        CBexWnd* wnd = controls_[i];
        RECT common{};
        if (!wnd->IsVisible() || !::IntersectRect(&common, &wnd->Rect(), &area)) continue;
        PaintControl(wnd, dc, true, wnd->IsTransparent(), true, 0);
    }
}

void CBexWndManager::PaintControl(CBexWnd* wnd, HDC dc, bool paint, bool transparent,
                                  bool exclude, int paintArg) {
    const RECT rc = wnd->Rect();
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    HDC target = dc;
    bool onCanvas = false;
    if (transparent) {
        CMemoryCanvas* canvas = BexPaintCanvas();
        if (paint && canvas && canvas->Width() >= cx && canvas->Height() >= cy) {
            target = canvas->Dc();
            onCanvas = true;
            ::SetViewportOrgEx(target, -rc.left, -rc.top, nullptr);
        }
        DrawBackground(target, &rc);
    }
    if (!paint) return;
    if (!onCanvas) {
        POINT old{};
        ::OffsetViewportOrgEx(dc, rc.left, rc.top, &old);
        wnd->Paint(dc, -1, paintArg);
        ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
    } else {
        ::SetViewportOrgEx(target, 0, 0, nullptr);
        wnd->Paint(target, -1, paintArg);
        ::BitBlt(dc, rc.left, rc.top, cx, cy, target, 0, 0, SRCCOPY);
    }
    if (exclude) ::ExcludeClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
}

void CBexWndManager::DrawBackground(HDC dc, const RECT* rect) {
    if (!host_) return;
    HBRUSH brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(host_, GCLP_HBRBACKGROUND));
    if (!brush) return;
    RECT area{};
    if (rect) {
        area = *rect;
    } else {
        ::GetClipBox(dc, &area);
    }
    // A system colour index is stored as index + 1.
    if (reinterpret_cast<UINT_PTR>(brush) <= COLOR_MENUBAR + 1)
        brush = ::GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(brush)) - 1);
    ::FillRect(dc, &area, brush);
}

void CBexWndManager::AddWnd(CBexWnd* wnd) {
    if (!wnd) return;
    controls_.push_back(wnd);
}

BOOL CBexWndManager::RemoveWnd(CBexWnd* wnd) {
    if (!wnd) return FALSE;
    if (captured_ == wnd) {
        ReleaseCapture(wnd);
        if (captured_ == wnd) {
            captured_ = nullptr;
            wnd->OnCaptureLost();
        }
    }
    if (hovered_ == wnd) {
        hovered_ = nullptr;
        wnd->OnMouseLeave();
    }
    // Its tooltip records would otherwise point at a control that may be gone.
    tooltips_.Remove(wnd);
    auto it = std::find(controls_.begin(), controls_.end(), wnd);
    if (it == controls_.end()) return FALSE;
    controls_.erase(it);
    return TRUE;
}

void CBexWndManager::SetCapture(CBexWnd* wnd) {
    if (CBexWnd* old = captured_) {
        captured_ = nullptr;
        if (old != wnd) old->OnCaptureLost();
    }
    captured_ = wnd;
    if (host_ && ::GetCapture() != host_) ::SetCapture(host_);
}

void CBexWndManager::ReleaseCapture(CBexWnd* wnd) {
    if (wnd && captured_ == wnd) ::ReleaseCapture();
}

LRESULT CBexWndManager::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(host_, msg, wParam, lParam);
}

LRESULT CBexWndManager::SendCommand(CBexWnd* wnd, WORD notifyCode, WORD id) {
    return ::SendMessageW(host_, WM_COMMAND, MAKEWPARAM(id, notifyCode),
                          reinterpret_cast<LPARAM>(wnd));
}

BOOL CBexWndManager::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(host_, msg, wParam, lParam);
}

void CBexWndManager::InvalidateControl(const RECT& rc) {
    // Without a host, InvalidateRect(NULL) would repaint every window.
    if (host_) ::InvalidateRect(host_, &rc, FALSE);
}

void CBexWndManager::SetWndRect(CBexWnd* wnd, int x, int y, int cx, int cy) {
    if (!wnd) return;
    const RECT old = wnd->Rect();
    const RECT now{x, y, x + cx, y + cy};
    if (::EqualRect(&old, &now)) return;
    const bool visible = wnd->IsVisible();
    if (visible) InvalidateControl(old);
    wnd->SetRectRaw(now);
    if (old.left != now.left || old.top != now.top) wnd->OnMove(x, y);
    if (old.right - old.left != cx || old.bottom - old.top != cy) wnd->OnSize(cx, cy);
    if (visible) {
        InvalidateControl(wnd->Rect());
        if (immediate_ && host_) ::UpdateWindow(host_);
    }
}

void CBexWndManager::SetWndSize(CBexWnd* wnd, int cx, int cy) {
    if (!wnd) return;
    if (wnd->Width() == cx && wnd->Height() == cy) return;
    const bool visible = wnd->IsVisible();
    if (visible) InvalidateControl(wnd->Rect());
    RECT rc = wnd->Rect();
    rc.right = rc.left + cx;
    rc.bottom = rc.top + cy;
    wnd->SetRectRaw(rc);
    wnd->OnSize(cx, cy);
    if (visible) {
        InvalidateControl(wnd->Rect());
        if (immediate_ && host_) ::UpdateWindow(host_);
    }
}

void CBexWndManager::SetWndPos(CBexWnd* wnd, int x, int y) {
    if (!wnd) return;
    if (wnd->Rect().left == x && wnd->Rect().top == y) return;
    const bool visible = wnd->IsVisible();
    if (visible) InvalidateControl(wnd->Rect());
    RECT rc = wnd->Rect();
    ::OffsetRect(&rc, x - rc.left, y - rc.top);
    wnd->SetRectRaw(rc);
    wnd->OnMove(x, y);
    if (visible) {
        InvalidateControl(wnd->Rect());
        if (immediate_ && host_) ::UpdateWindow(host_);
    }
}

void CBexWndManager::RedrawWnd(CBexWnd* wnd, const RECT* sub, BOOL force, int paintArg) {
    if (!redraw_ || !wnd || !host_) return;
    const bool visible = wnd->IsVisible();
    if (!visible && !force) return;
    RECT rc = wnd->Rect();
    if (sub) {
        RECT moved = *sub;
        ::OffsetRect(&moved, wnd->Rect().left, wnd->Rect().top);
        if (!::IntersectRect(&rc, &moved, &wnd->Rect())) return;
    } else if (::IsRectEmpty(&rc)) {
        return;
    }
    if (immediate_) {
        base::WindowDc dc(host_);
        if (!dc) return;
        ::IntersectClipRect(dc.Get(), rc.left, rc.top, rc.right, rc.bottom);
        if (visible)
            PaintControl(wnd, dc.Get(), true, wnd->IsTransparent(), false, paintArg);
        else
            PaintControl(wnd, dc.Get(), false, true, false, paintArg);
    } else {
        ::InvalidateRect(host_, &rc, FALSE);
    }
}

int CBexWndManager::AddToolTip(CBexWnd* wnd, int key, const RECT* rect) {
    return tooltips_.Add(wnd, key, rect);
}

void CBexWndManager::RemoveToolTips(CBexWnd* wnd) { tooltips_.Remove(wnd); }

// ---------------------------------------------------------------------------
// CBexWnd common part

CBexWnd::~CBexWnd() {
    // A control that dies before its host window must leave the array.
    if (owner_) owner_->RemoveWnd(this);
}

void CBexWnd::Destroy() { delete this; }

void CBexWnd::Attach(IBexWndManager* owner, DWORD flags, UINT id) {
    owner_ = owner;
    flags_ = flags;
    id_ = id;
    rect_ = RECT{};
    if (owner_) owner_->AddWnd(this);
    OnCreate();
    OnMove(0, 0);
    OnSize(0, 0);
}

void CBexWnd::ClearCommonState() {
    flags_ = 0;
    id_ = 0;
    rect_ = RECT{};
    owner_ = nullptr;
}

void CBexWnd::ShowWnd(bool show) {
    if (IsVisible() == show) return;
    SetFlag(kBexVisible, show);
    if (owner_) owner_->RedrawWnd(this, nullptr, TRUE, 0);
}

void CBexWnd::EnableWnd(bool enable) {
    if (IsDisabled() == !enable) return;
    SetFlag(kBexDisabled, !enable);
    Redraw();
}

}  // namespace toolkit
