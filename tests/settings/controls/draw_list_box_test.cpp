#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/controls/DrawListBox.h"
#include "tests/settings/skin_test_support.h"

using namespace settings;

using namespace skintest;
using settingstest::Pump;

namespace {

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(0, 0);
        ASSERT_TRUE(form_.CreateForm(nullptr));
        list_ = &form_.Add<TDrawListBox>(10, 10, 200, 100);
        ASSERT_NE(list_->Handle(), nullptr);
        list_->SetColumnCount(1);
        list_->OnGetColumnWidth = [](TDrawListBox&, int) { return 180; };
        list_->OnGetCellItem = [](TDrawListBox&, int, int, POINT p) { return p.x < 40 ? 0 : -1; };
        list_->OnCellClick = [this](TDrawListBox&, int r, int c, int i) {
            log_.push_back("click " + std::to_string(r) + "," + std::to_string(c) + "," + std::to_string(i));
        };
        list_->OnCellEnter = [this](TDrawListBox&, int r, int c, int i) {
            log_.push_back("enter " + std::to_string(r) + "," + std::to_string(c) + "," + std::to_string(i));
        };
        list_->OnCellLeave = [this](TDrawListBox&, int r, int c, int i) {
            log_.push_back("leave " + std::to_string(r) + "," + std::to_string(c) + "," + std::to_string(i));
        };
        form_.Show();
        Pump(20);
    }
    void TearDown() override {
        form_.DestroyWindow();
        Pump(10);
    }
    void Send(UINT msg, WPARAM wParam, int x, int y) {
        ::SendMessageW(list_->Handle(), msg, wParam, MAKELPARAM(x, y));
    }
    void Click(int x, int y) {
        Send(WM_MOUSEMOVE, 0, x, y);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Send(WM_LBUTTONUP, 0, x, y);
    }
    bool Logged(const std::string& line) const {
        for (const auto& l : log_)
            if (l == line) return true;
        return false;
    }

    PlainForm form_{L"TDrawListBoxTest", 300, 200};
    TDrawListBox* list_ = nullptr;
    std::vector<std::string> log_;
};

}  // namespace

TEST_F(ListBoxTest, StartsEmptyWithTheBaseRowHeight) {
    TDrawListBox fresh;
    EXPECT_EQ(fresh.RowCount(), 0);
    EXPECT_EQ(fresh.ColumnCount(), 0);
    EXPECT_EQ(fresh.RowHeight(), 18);
    EXPECT_EQ(fresh.WheelStep(), 18);
    EXPECT_EQ(fresh.HoverRow(), -1);
    EXPECT_EQ(fresh.DownItem(), -1);
    EXPECT_FALSE(fresh.MouseUpAlwaysClick);
    EXPECT_EQ(fresh.ColumnWidth(0), 60) << "without a handler";
}

TEST_F(ListBoxTest, RowHeightBelowOneIsRefused) {
    EXPECT_FALSE(list_->SetRowHeight(0));
    EXPECT_FALSE(list_->SetRowHeight(-3));
    EXPECT_EQ(list_->RowHeight(), 18);
    EXPECT_TRUE(list_->SetRowHeight(51));
    EXPECT_EQ(list_->WheelStep(), 51);
}

TEST_F(ListBoxTest, HitTestAfterScrollingFindsTheRowUnderThePoint) {
    list_->SetRowHeight(51);
    list_->SetRowCount(3);
    list_->SetScrollTop(30);
    ASSERT_EQ(list_->ScrollTop(), 30);
    const TCellHit hit = list_->HitTest(POINT{10, 25});
    EXPECT_EQ(hit.Row, 1);
    EXPECT_EQ(hit.Column, 0);
    EXPECT_EQ(hit.Item, 0);
    EXPECT_EQ(hit.Cell.top, 51 - 30);
    EXPECT_EQ(hit.Cell.bottom, 102 - 30);
    EXPECT_EQ(list_->HitTest(POINT{100, 25}).Item, -1);
    EXPECT_EQ(list_->HitTest(POINT{182, 25}).Column, -1) << "right of the last column";
    EXPECT_EQ(list_->HitTest(POINT{182, 25}).Row, 1);
    EXPECT_EQ(list_->HitTest(POINT{-1, 25}).Row, -1) << "outside the client area";
}

TEST_F(ListBoxTest, CellRectsAreCutToTheRowsAndColumnsThere) {
    list_->SetRowHeight(20);
    list_->SetRowCount(3);
    list_->SetColumnCount(2);
    list_->OnGetColumnWidth = [](TDrawListBox&, int i) { return i == 0 ? 50 : 70; };
    RECT r = list_->CellRect(1, 1, 1, 1);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.top, 20);
    r = list_->CellRect(1, 10, -1, 0);
    EXPECT_EQ(r.bottom, 60) << "the row count is cut to the rows left";
    EXPECT_EQ(r.right, 120);
    r = list_->CellRect(3, 1, 0, 1);
    EXPECT_TRUE(::IsRectEmpty(&r));
    r = list_->CellRect(0, 1, 2, 1);
    EXPECT_TRUE(::IsRectEmpty(&r));
    EXPECT_EQ(list_->RowWidth(), 120);
}

TEST_F(ListBoxTest, WheelScrollsByWholeNotchesOfTheRowHeight) {
    list_->SetRowHeight(51);
    list_->SetRowCount(10);
    list_->SetScrollTop(300);
    ASSERT_EQ(list_->ScrollTop(), 300);
    ::SendMessageW(list_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(list_->ScrollTop(), 198);
    ::SendMessageW(list_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(list_->ScrollTop(), 198) << "less than a notch";
    ::SendMessageW(list_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(list_->ScrollTop(), 249);
    ::SendMessageW(list_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 1200), 0);
    EXPECT_EQ(list_->ScrollTop(), 0) << "not above the top";
}

TEST_F(ListBoxTest, ClickOnACellReportsItsRowColumnAndItem) {
    list_->SetRowHeight(20);
    list_->SetRowCount(3);
    Click(10, 25);
    EXPECT_TRUE(Logged("enter 1,0,0"));
    EXPECT_TRUE(Logged("click 1,0,0"));
    EXPECT_EQ(list_->CellState(), csHoverAfterClick);
    Click(100, 45);
    EXPECT_TRUE(Logged("leave 1,-1,-1"));
    EXPECT_TRUE(Logged("click 2,0,-1"));
}

TEST_F(ListBoxTest, PressOnOneCellAndReleaseOnAnotherIsNoClick) {
    list_->SetRowHeight(20);
    list_->SetRowCount(3);
    Send(WM_MOUSEMOVE, 0, 10, 5);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
    EXPECT_EQ(list_->DownRow(), 0);
    EXPECT_EQ(list_->CellState(), csPressed);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 10, 45);
    Send(WM_LBUTTONUP, 0, 10, 45);
    for (const auto& line : log_) EXPECT_EQ(line.rfind("click", 0), std::string::npos) << line;
}

TEST_F(ListBoxTest, ClickBelowTheLastRowClicksRowMinusOneOnlyWhenAsked) {
    list_->SetRowHeight(20);
    list_->SetRowCount(2);
    Click(10, 80);
    EXPECT_TRUE(log_.empty() || !Logged("click -1,0,-1"));
    list_->MouseUpAlwaysClick = true;
    Click(10, 85);
    EXPECT_TRUE(Logged("click -1,0,-1"));
}

TEST_F(ListBoxTest, RebuildingTheRowsForgetsTheHoveredRow) {
    list_->SetRowHeight(20);
    list_->SetRowCount(3);
    Send(WM_MOUSEMOVE, 0, 10, 25);
    EXPECT_EQ(list_->HoverRow(), 1);
    list_->SetRowCount(1);
    EXPECT_EQ(list_->HoverRow(), -1);
    EXPECT_EQ(list_->HoverItem(), -1);
}

TEST_F(ListBoxTest, PaintingDrawsTheVisibleRowsThroughTheHandlers) {
    list_->SetRowHeight(20);
    list_->SetRowCount(10);
    std::vector<int> rows;
    list_->OnDrawRow = [&](TDrawListBox& box, int row, const RECT& r) {
        rows.push_back(row);
        base::Brush brush(::CreateSolidBrush(row % 2 ? RGB(0, 0, 255) : RGB(255, 0, 0)));
        ::FillRect(box.Canvas(), &r, brush.Get());
    };
    std::vector<int> hoveredStates;
    list_->OnDrawCell = [&](TDrawListBox&, int row, int, const RECT&, int, int state) {
        if (row == 1) hoveredStates.push_back(state);
    };
    ::SetWindowPos(form_.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::InvalidateRect(list_->Handle(), nullptr, FALSE);
    ::UpdateWindow(list_->Handle());
    Pump(30);
    ASSERT_FALSE(rows.empty());
    RECT client{};
    ::GetClientRect(list_->Handle(), &client);
    EXPECT_LE(static_cast<int>(rows.size()), (client.bottom + 19) / 20) << "only the visible rows";
    HDC dc = ::GetDC(list_->Handle());
    EXPECT_EQ(::GetPixel(dc, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 5, 25), RGB(0, 0, 255));
    ::ReleaseDC(list_->Handle(), dc);

    // A press on row 1 redraws that cell as pressed.
    hoveredStates.clear();
    Send(WM_MOUSEMOVE, 0, 10, 25);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 25);
    EXPECT_NE(std::find(hoveredStates.begin(), hoveredStates.end(), csPressed), hoveredStates.end());
    Send(WM_LBUTTONUP, 0, 10, 25);
    EXPECT_NE(std::find(hoveredStates.begin(), hoveredStates.end(), csReleased), hoveredStates.end());
}

TEST_F(ListBoxTest, DoubleClickReportsTheHoveredCell) {
    list_->SetRowHeight(20);
    list_->SetRowCount(3);
    int row = -5;
    list_->OnCellDblClick = [&](TDrawListBox&, int r, int, int) { row = r; };
    Send(WM_MOUSEMOVE, 0, 10, 45);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 10, 45);
    EXPECT_EQ(row, 2);
}
