#include "settings/controls/DrawListBox.h"

#include <windowsx.h>

#include <algorithm>

#include "settings/forms/form.h"
#include "base/handles.h"

namespace settings {

TCustomDrawListBox::TCustomDrawListBox() : forms::TWinControl(kDrawListBoxClass, WS_VSCROLL | WS_HSCROLL) {}

TDrawListBox::TDrawListBox() {
    wheelStep_ = rowHeight_;
    SetTabStop(true);
}

void TDrawListBox::Created() {
    UpdateScrollBars();
}

// ------------------------------------------------------------- properties

void TDrawListBox::SetRowCount(int count) {
    rowCount_ = std::max(0, count);
    hoverRow_ = hoverColumn_ = hoverItem_ = -1;
    hoverRect_ = RECT{};
    UpdateScrollBars();
    if (IsWindow()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TDrawListBox::HoverAtPointer() {
    POINT pt{};
    if (!IsWindow() || !::IsWindowVisible(Hwnd()) || !::GetCursorPos(&pt) || ::WindowFromPoint(pt) != Hwnd()) return;
    ::ScreenToClient(Hwnd(), &pt);
    const TCellHit hit = HitTest(pt);
    hoverRow_ = hit.Row;
    hoverColumn_ = hit.Column;
    hoverRect_ = hit.Cell;
}

void TDrawListBox::SetColumnCount(int count) {
    columnCount_ = std::max(0, count);
    UpdateScrollBars();
    if (IsWindow()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

bool TDrawListBox::SetRowHeight(int height) {
    if (height < 1) return false;
    rowHeight_ = height;
    wheelStep_ = height;
    UpdateScrollBars();
    if (IsWindow()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
    return true;
}

bool TDrawListBox::BarVisible(DWORD style) const {
    return IsWindow() && (::GetWindowLongW(Hwnd(), GWL_STYLE) & style) != 0;
}

int TDrawListBox::ScrollLeft() const {
    return BarVisible(WS_HSCROLL) ? ::GetScrollPos(Hwnd(), SB_HORZ) : 0;
}

int TDrawListBox::ScrollTop() const {
    return BarVisible(WS_VSCROLL) ? ::GetScrollPos(Hwnd(), SB_VERT) : 0;
}

int TDrawListBox::ScrollMax(int bar) const {
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    if (!::GetScrollInfo(Hwnd(), bar, &si)) return 0;
    return std::max(0, si.nMax - si.nMin + 1 - static_cast<int>(si.nPage));
}

void TDrawListBox::SetScrollPosition(int bar, int position) {
    if (!IsWindow()) return;
    position = std::max(0, std::min(position, ScrollMax(bar)));
    SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, position, 0};
    ::SetScrollInfo(Hwnd(), bar, &si, TRUE);
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TDrawListBox::SetScrollTop(int position) {
    SetScrollPosition(SB_VERT, position);
}

void TDrawListBox::SetScrollLeft(int position) {
    SetScrollPosition(SB_HORZ, position);
}

void TDrawListBox::UpdateScrollBars() {
    if (!IsWindow()) return;
    // Twice: one bar appearing narrows the room the other one has.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        const int rows = rowCount_ * rowHeight_;
        SCROLLINFO v{sizeof(v), SIF_RANGE | SIF_PAGE, 0, std::max(0, rows - 1), static_cast<UINT>(client.bottom), 0, 0};
        ::SetScrollInfo(Hwnd(), SB_VERT, &v, TRUE);
        const int width = RowWidth();
        SCROLLINFO h{sizeof(h), SIF_RANGE | SIF_PAGE, 0, std::max(0, width - 1), static_cast<UINT>(client.right), 0, 0};
        ::SetScrollInfo(Hwnd(), SB_HORZ, &h, TRUE);
    }
    SetScrollPosition(SB_VERT, ::GetScrollPos(Hwnd(), SB_VERT));
    SetScrollPosition(SB_HORZ, ::GetScrollPos(Hwnd(), SB_HORZ));
}

// --------------------------------------------------------------- geometry

int TDrawListBox::ColumnWidth(int index) {
    return OnGetColumnWidth ? OnGetColumnWidth(*this, index) : 60;
}

int TDrawListBox::RowWidth() {
    if (OnGetRowWidth) return OnGetRowWidth(*this);
    int sum = 0;
    for (int n = 0; n < columnCount_; ++n) sum += ColumnWidth(n);
    return sum;
}

RECT TDrawListBox::CellRect(int row, int rowCount, int column, int columnCount) {
    if (row < 0 || row >= rowCount_ || column >= columnCount_) return RECT{};
    if (rowCount < 0 || rowCount > rowCount_ - row) rowCount = rowCount_ - row;
    RECT r{};
    r.top = row * rowHeight_ - ScrollTop();
    r.bottom = r.top + rowCount * rowHeight_;
    if (column < 0) {
        r.left = -ScrollLeft();
        r.right = r.left + RowWidth();
        return r;
    }
    if (columnCount < 0 || columnCount > columnCount_ - column) columnCount = columnCount_ - column;
    r.left = -ScrollLeft();
    for (int n = 0; n < column; ++n) r.left += ColumnWidth(n);
    r.right = r.left;
    for (int n = column; n < column + columnCount; ++n) r.right += ColumnWidth(n);
    return r;
}

bool TDrawListBox::IsRowVisible(const RECT& client, int row) const {
    if (row < 0 || row >= rowCount_) return false;
    const int top = row * rowHeight_ - ScrollTop();
    return top < client.bottom && top + rowHeight_ > client.top;
}

TCellHit TDrawListBox::HitTest(POINT pt) {
    TCellHit hit;
    if (rowHeight_ < 1 || !IsWindow()) return hit;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (!::PtInRect(&client, pt)) return hit;
    const int x = pt.x + ScrollLeft(), y = pt.y + ScrollTop();
    hit.Row = y / rowHeight_;
    if (hit.Row >= rowCount_) hit.Row = -1;
    int left = 0;
    for (int n = 0; n < columnCount_; ++n) {
        const int right = left + ColumnWidth(n);
        if (right > x) {
            hit.Column = n;
            break;
        }
        left = right;
    }
    if (hit.Column < 0) return hit;
    const int top = (y / rowHeight_) * rowHeight_;
    RECT cell{left, top, left + ColumnWidth(hit.Column), top + rowHeight_};
    // The empty area below the rows has a column but never an item.
    hit.Item = hit.Row >= 0 && OnGetCellItem ? OnGetCellItem(*this, hit.Row, hit.Column, POINT{x - cell.left, y - cell.top}) : -1;
    hoverItem_ = hit.Item;
    ::OffsetRect(&cell, -ScrollLeft(), -ScrollTop());
    hit.Cell = cell;
    return hit;
}

// ---------------------------------------------------------------- drawing

template <typename Fn>
void TDrawListBox::DrawArea(HDC target, const RECT& area, Fn&& draw) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || !target) return;
    base::MemoryDc buffer(::CreateCompatibleDC(target));
    base::Bitmap bitmap(::CreateCompatibleBitmap(target, width, height));
    if (!buffer || !bitmap) return;
    base::SelectObjectScope selectBitmap(buffer.Get(), bitmap.Get());
    HFONT font = Form() ? Form()->Font() : nullptr;
    base::SelectObjectScope selectFont(buffer.Get(), font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetViewportOrgEx(buffer.Get(), -area.left, -area.top, nullptr);
    base::Brush ground(::CreateSolidBrush(Color));
    ::FillRect(buffer.Get(), &area, ground.Get());
    const HDC outer = canvas_;
    canvas_ = buffer.Get();
    draw();
    canvas_ = outer;
    ::SetViewportOrgEx(buffer.Get(), 0, 0, nullptr);
    ::BitBlt(target, area.left, area.top, width, height, buffer.Get(), 0, 0, SRCCOPY);
}

void TDrawListBox::PaintRows(const RECT& clip) {
    if (rowHeight_ < 1 || rowCount_ <= 0 || columnCount_ <= 0) return;
    const int sl = ScrollLeft(), st = ScrollTop();
    const int x0 = clip.left + sl, x1 = clip.right + sl, y0 = clip.top + st, y1 = clip.bottom + st;
    if (x0 >= RowWidth() || x1 <= 0 || y0 >= rowCount_ * rowHeight_ || y1 <= 0) return;
    const int firstRow = std::max(0, y0 / rowHeight_);
    const int lastRow = std::min(rowCount_ - 1, (y1 - 1) / rowHeight_);
    int firstColumn = -1, lastColumn = columnCount_ - 1, left = 0, firstLeft = 0, lastRight = 0;
    for (int n = 0; n < columnCount_; ++n) {
        const int right = left + ColumnWidth(n);
        if (firstColumn < 0 && right > x0) {
            firstColumn = n;
            firstLeft = left;
        }
        if (firstColumn >= 0 && right >= x1) {
            lastColumn = n;
            lastRight = right;
            break;
        }
        lastRight = right;
        left = right;
    }
    if (firstColumn < 0) return;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int top = row * rowHeight_ - st;
        if (OnDrawRow) OnDrawRow(*this, row, RECT{firstLeft - sl, top, lastRight - sl, top + rowHeight_});
        if (!OnDrawCell) continue;
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const RECT cell = CellRect(row, 1, column, 1);
            if (row == hoverRow_) OnDrawCell(*this, row, column, cell, hoverItem_, cellState_);
            else OnDrawCell(*this, row, column, cell, -1, csNormal);
        }
    }
}

void TDrawListBox::DrawRowNow(int row) {
    if (!IsWindow()) return;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (!IsRowVisible(client, row)) return;
    RECT band = CellRect(row, 1, -1, 0);
    band.left = client.left;
    band.right = client.right;
    RECT area{};
    if (!::IntersectRect(&area, &band, &client)) return;
    base::WindowDc dc(Hwnd());
    DrawArea(dc.Get(), area, [&] {
        if (OnDrawRow) OnDrawRow(*this, row, CellRect(row, 1, -1, 0));
        if (!OnDrawCell) return;
        for (int column = 0; column < columnCount_; ++column) {
            const RECT cell = CellRect(row, 1, column, 1);
            if (row == hoverRow_) OnDrawCell(*this, row, column, cell, hoverItem_, cellState_);
            else OnDrawCell(*this, row, column, cell, -1, csNormal);
        }
    });
}

void TDrawListBox::RedrawRow(int row) {
    DrawRowNow(row);
}

void TDrawListBox::DrawCellNow(int row, int column, int state, int item) {
    if (!IsWindow() || column < 0 || column >= columnCount_) return;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (!IsRowVisible(client, row)) return;
    const RECT cell = CellRect(row, 1, column, 1);
    RECT area{};
    if (!::IntersectRect(&area, &cell, &client)) return;
    base::WindowDc dc(Hwnd());
    DrawArea(dc.Get(), area, [&] {
        if (OnDrawRow) OnDrawRow(*this, row, cell);
        if (OnDrawCell) OnDrawCell(*this, row, column, cell, item, state);
    });
}

LRESULT TDrawListBox::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    base::PaintDc paint(Hwnd());
    const RECT area = paint.Info().rcPaint;
    DrawArea(paint.Get(), area, [&] { PaintRows(area); });
    return 0;
}

LRESULT TDrawListBox::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    UpdateScrollBars();
    return 0;
}

// ------------------------------------------------------------ scrolling

LRESULT TDrawListBox::OnScroll(UINT msg, WPARAM wParam, LPARAM, BOOL&) {
    const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(Hwnd(), bar, &si);
    int pos = si.nPos;
    const int line = bar == SB_VERT ? rowHeight_ : 20;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return 0;
    }
    SetScrollPosition(bar, pos);
    return 0;
}

LRESULT TDrawListBox::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    if (notches != 0) SetScrollTop(::GetScrollPos(Hwnd(), SB_VERT) - notches * wheelStep_);
    return 0;
}

// ------------------------------------------------------------------ mouse

TMouseButton TDrawListBox::ButtonOf(UINT msg) {
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return mbMiddle;
    default: return mbLeft;
    }
}

LRESULT TDrawListBox::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (::GetFocus() != Hwnd()) ::SetFocus(Hwnd());
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Hwnd(), 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
    }
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int oldRow = hoverRow_, oldColumn = hoverColumn_, oldItem = hoverItem_;
    const TCellHit hit = HitTest(pt);
    hoverRow_ = hit.Row;
    hoverColumn_ = hit.Column;
    hoverItem_ = hit.Item;
    hoverRect_ = hit.Cell;
    if (hoverRow_ != oldRow) {
        if (oldRow >= 0) {
            if (OnCellLeave) OnCellLeave(*this, oldRow, -1, -1);
            RedrawRow(oldRow);
        }
        if (hoverRow_ >= 0) {
            if (OnCellEnter) OnCellEnter(*this, hoverRow_, hoverColumn_, hoverItem_);
            RedrawRow(hoverRow_);
        }
    } else if (hoverColumn_ != oldColumn) {
        if (oldColumn >= 0) {
            if (OnCellLeave) OnCellLeave(*this, hoverRow_, oldColumn, -1);
            DrawCellNow(hoverRow_, oldColumn, csHoverAfterClick, -1);
        }
        if (hoverColumn_ >= 0) {
            if (OnCellEnter) OnCellEnter(*this, hoverRow_, hoverColumn_, hoverItem_);
            DrawCellNow(hoverRow_, hoverColumn_, csHoverAfterClick, hoverItem_);
        }
    }
    if (hoverItem_ != oldItem) {
        if (oldItem >= 0 && OnCellLeave) OnCellLeave(*this, oldRow, oldColumn, oldItem);
        if (hoverItem_ >= 0 && OnCellEnter) OnCellEnter(*this, hoverRow_, hoverColumn_, hoverItem_);
        if (hoverRow_ >= 0) DrawCellNow(hoverRow_, hoverColumn_, cellState_, hoverItem_);
        // The system asked for the pointer before this move was tested.
        if (hoverRow_ >= 0 && OnGetCursor) {
            if (HCURSOR cursor = OnGetCursor(*this, hoverRow_, hoverColumn_, hoverItem_)) ::SetCursor(cursor);
        }
    }
    return 0;
}

LRESULT TDrawListBox::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
    trackingLeave_ = false;
    hoverRow_ = hoverColumn_ = -1;
    ::InvalidateRect(Hwnd(), nullptr, FALSE);
    return 0;
}

LRESULT TDrawListBox::OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    cellState_ = csNormal;
    HitTest(pt);
    downRow_ = hoverRow_;
    downColumn_ = hoverColumn_;
    downItem_ = hoverItem_;
    if (OnCustomMouseDown) OnCustomMouseDown(*this, ButtonOf(msg), static_cast<UINT>(wParam), pt.x, pt.y);
    const TCellHit hit = HitTest(pt);
    if (hit.Column < 0) return 0;
    ::SetCapture(Hwnd());
    cellState_ = csPressed;
    DrawCellNow(downRow_, downColumn_, csPressed, downItem_);
    forms::TControl::MouseDown(pt);
    return 0;
}

LRESULT TDrawListBox::OnButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (::GetCapture() == Hwnd()) ::ReleaseCapture();
    cellState_ = csNormal;
    const TMouseButton button = ButtonOf(msg);
    if (OnCustomMouseUp) OnCustomMouseUp(*this, button, static_cast<UINT>(wParam), pt.x, pt.y);
    if (hoverRow_ == downRow_ && hoverColumn_ == downColumn_ && hoverItem_ == downItem_ && hoverRow_ >= 0 &&
        hoverColumn_ >= 0) {
        const int row = hoverRow_, column = hoverColumn_;
        if (button == mbLeft && OnCellClick) OnCellClick(*this, row, column, downItem_);
        cellState_ = csHoverAfterClick;
        DrawCellNow(row, column, csReleased, hoverItem_);
    } else if (hoverRow_ == -1 && MouseUpAlwaysClick && button == mbLeft && OnCellClick) {
        OnCellClick(*this, -1, hoverColumn_, downItem_);
    }
    forms::TControl::MouseUp(pt);
    return 0;
}

LRESULT TDrawListBox::OnDoubleClick(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if ((hoverRow_ >= 0 || hoverColumn_ >= 0 || hoverItem_ >= 0) && OnCellDblClick)
        OnCellDblClick(*this, hoverRow_, hoverColumn_, hoverItem_);
    (void)lParam;
    forms::TControl::DblClick();
    return 0;
}

LRESULT TDrawListBox::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    if (!Popupmenu || !Form()) {
        handled = FALSE;
        return 0;
    }
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (pt.x == -1 && pt.y == -1) ::GetCursorPos(&pt);
    ::TrackPopupMenu(Popupmenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, Form()->Hwnd(), nullptr);
    return 0;
}

LRESULT TDrawListBox::OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    HCURSOR cursor = nullptr;
    if (LOWORD(lParam) == HTCLIENT && hoverRow_ >= 0 && OnGetCursor)
        cursor = OnGetCursor(*this, hoverRow_, hoverColumn_, hoverItem_);
    if (!cursor) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(cursor);
    return TRUE;
}

}  // namespace settings
