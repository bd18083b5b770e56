// A scrolling window that knows only a grid: rows of one height and columns
// of their own widths. It tracks the cell, and the item inside the cell,
// under the mouse and leaves all drawing and all meaning to its handlers.
#pragma once

#include <windows.h>

#include <functional>

#include "settings/forms/control.h"

namespace settings {

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// The state OnDrawCell gets for the hovered row.
enum TCellState { csNormal = 0, csHoverAfterClick = 1, csPressed = 2, csReleased = 3 };

constexpr wchar_t kDrawListBoxClass[] = L"TDrawListBox";

struct TCellHit {
    int Row = -1;
    int Column = -1;
    int Item = -1;
    RECT Cell{};  // client coordinates
};

class TCustomDrawListBox : public forms::TWinControl {
public:
    TCustomDrawListBox();
    int WheelStep() const { return wheelStep_; }
    HDC Canvas() const { return canvas_; }
    COLORREF Color = RGB(255, 255, 255);

protected:
    int wheelStep_ = 20;
    HDC canvas_ = nullptr;
};

class TDrawListBox : public TCustomDrawListBox {
public:
    TDrawListBox();

    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int ColumnCount() const { return columnCount_; }
    void SetColumnCount(int count);
    int RowHeight() const { return rowHeight_; }
    // Heights below 1 are refused.
    bool SetRowHeight(int height);
    bool MouseUpAlwaysClick = false;
    int ScrollLeft() const;
    int ScrollTop() const;
    void SetScrollTop(int position);
    void SetScrollLeft(int position);
    // Shown on a right click when set; its commands go to the form. Not owned.
    HMENU Popupmenu = nullptr;

    std::function<int(TDrawListBox&)> OnGetRowWidth;
    std::function<int(TDrawListBox&, int index)> OnGetColumnWidth;
    std::function<void(TDrawListBox&, TMouseButton, UINT shift, int x, int y)> OnCustomMouseDown;
    std::function<void(TDrawListBox&, TMouseButton, UINT shift, int x, int y)> OnCustomMouseUp;
    std::function<void(TDrawListBox&, int row, const RECT&)> OnDrawRow;
    std::function<void(TDrawListBox&, int row, int column, const RECT&, int item, int state)> OnDrawCell;
    std::function<int(TDrawListBox&, int row, int column, POINT inCell)> OnGetCellItem;
    std::function<void(TDrawListBox&, int row, int column, int item)> OnCellEnter;
    std::function<void(TDrawListBox&, int row, int column, int item)> OnCellLeave;
    std::function<void(TDrawListBox&, int row, int column, int item)> OnCellClick;
    std::function<void(TDrawListBox&, int row, int column, int item)> OnCellDblClick;
    // The pointer over the hovered cell and item; null keeps the arrow.
    std::function<HCURSOR(TDrawListBox&, int row, int column, int item)> OnGetCursor;

    int ColumnWidth(int index);
    int RowWidth();
    RECT CellRect(int row, int rowCount, int column, int columnCount);
    bool IsRowVisible(const RECT& client, int row) const;
    void RedrawRow(int row);
    void RefreshRow(int row) { RedrawRow(row); }
    // Also makes the hit item the hovered item, as every hit test does.
    using forms::TWinControl::HitTest;
    TCellHit HitTest(POINT clientPoint);

    // Takes the hover state again from where the pointer rests, for rows
    // that changed under it (a row count forgets it): the next press without
    // a move then finds the row the user sees there.
    void HoverAtPointer();
    int HoverRow() const { return hoverRow_; }
    int HoverColumn() const { return hoverColumn_; }
    int HoverItem() const { return hoverItem_; }
    int DownRow() const { return downRow_; }
    int DownColumn() const { return downColumn_; }
    int DownItem() const { return downItem_; }
    int CellState() const { return cellState_; }

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        WL_MESSAGE_HANDLER(WM_PAINT, OnPaint)
        WL_MESSAGE_HANDLER(WM_SIZE, OnSize)
        WL_MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
        WL_MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
        WL_MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        WL_MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        WL_MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        WL_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
        WL_MESSAGE_HANDLER(WM_RBUTTONDOWN, OnButtonDown)
        WL_MESSAGE_HANDLER(WM_MBUTTONDOWN, OnButtonDown)
        WL_MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonUp)
        WL_MESSAGE_HANDLER(WM_RBUTTONUP, OnButtonUp)
        WL_MESSAGE_HANDLER(WM_MBUTTONUP, OnButtonUp)
        WL_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnDoubleClick)
        WL_MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        WL_MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    WL_END_MSG_MAP()

protected:
    void Created() override;

private:
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnScroll(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDoubleClick(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);

    void UpdateScrollBars();
    bool BarVisible(DWORD style) const;
    int ScrollMax(int bar) const;
    void SetScrollPosition(int bar, int position);
    // Draws through an off-screen buffer into `area` of the window.
    template <typename Fn>
    void DrawArea(HDC target, const RECT& area, Fn&& draw);
    void PaintRows(const RECT& clip);
    void DrawRowNow(int row);
    void DrawCellNow(int row, int column, int state, int item);
    static TMouseButton ButtonOf(UINT msg);

    int rowCount_ = 0;
    int columnCount_ = 0;
    int rowHeight_ = 18;
    int hoverRow_ = -1, hoverColumn_ = -1, hoverItem_ = -1;
    RECT hoverRect_{};
    int downRow_ = -1, downColumn_ = -1, downItem_ = -1;
    int cellState_ = csNormal;
    bool trackingLeave_ = false;
};

}  // namespace settings
