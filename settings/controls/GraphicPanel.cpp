#include "settings/controls/GraphicPanel.h"

#include "settings/controls/QGraphics.h"

namespace settings {

void TGraphicPanel::SetOutStyle(TOutStyle style) {
    if (style == outStyle_) return;
    outStyle_ = style;
    Invalidate();
}

void TGraphicPanel::SetLineColor(COLORREF color) {
    if (color == lineColor_) return;
    lineColor_ = color;
    Invalidate();
}

void TGraphicPanel::SetLineWidth(int width) {
    if (width == lineWidth_) return;
    lineWidth_ = width;
    Invalidate();
}

void TGraphicPanel::SetRoundWidth(int width) {
    if (width == roundWidth_) return;
    roundWidth_ = width;
    Invalidate();
}

void TGraphicPanel::SetBackground(const TQRGBA& image) {
    background_.Assign(image);
    Invalidate();
}

void TGraphicPanel::Paint(HDC target) {
    TControlCanvas canvas(target, Bounds());
    const HDC dc = canvas.Get();
    const int w = Width(), h = Height();
    if (Color != clNone) {
        base::Brush ground(::CreateSolidBrush(Color));
        RECT all{0, 0, w, h};
        ::FillRect(dc, &all, ground.Get());
    }
    if (!background_.Empty())
        StretchDrawRGBA(dc, 0, 0, 255, background_.Height(), background_.Width(), 0, 0, background_, h, w);
    if (outStyle_ == osGraphic) return;
    base::Pen pen(::CreatePen(PS_SOLID, lineWidth_, lineColor_));
    base::SelectObjectScope selectPen(dc, pen.Get());
    if (roundWidth_ >= 1) {
        base::SelectObjectScope hollow(dc, ::GetStockObject(NULL_BRUSH));
        ::RoundRect(dc, 0, 0, w + 1, h + 1, roundWidth_, roundWidth_);
        return;
    }
    auto line = [dc](int x0, int y0, int x1, int y1) {
        ::MoveToEx(dc, x0, y0, nullptr);
        ::LineTo(dc, x1, y1);
    };
    if (BorderLineStyles & blTop) line(0, 0, w, 0);
    if (BorderLineStyles & blLeft) line(0, 0, 0, h);
    if (BorderLineStyles & blRight) line(w, 0, w, h);
    if (BorderLineStyles & blBottom) line(0, h, w, h);
}

}  // namespace settings
