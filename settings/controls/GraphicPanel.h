// A panel drawn under the controls laid on it: a stretched background
// picture and either nothing more or a border of lines or a rounded frame.
// It is windowless and lets the mouse through, so the controls on it and
// the window's own dragging behave as if it were part of the background;
// add it before the controls that sit on it.
#pragma once

#include <windows.h>

#include "settings/controls/ButtonImage.h"
#include "settings/controls/QAlpha.h"
#include "settings/forms/control.h"

namespace settings {

enum TOutStyle { osLine, osGraphic };
enum TBorderLine : unsigned { blTop = 1, blLeft = 2, blRight = 4, blBottom = 8 };

class TGraphicPanel : public forms::TControl {
public:
    TOutStyle OutStyle() const { return outStyle_; }
    void SetOutStyle(TOutStyle style);
    COLORREF LineColor() const { return lineColor_; }
    void SetLineColor(COLORREF color);
    int LineWidth() const { return lineWidth_; }
    void SetLineWidth(int width);
    int RoundWidth() const { return roundWidth_; }
    void SetRoundWidth(int width);
    unsigned BorderLineStyles = blTop | blLeft | blRight | blBottom;
    // The panel's own ground, drawn first; clNone leaves the form's.
    COLORREF Color = clNone;
    // Stretched over the whole panel.
    TQRGBA& Background() { return background_; }
    void SetBackground(const TQRGBA& image);

    bool HitTest(POINT) const override { return false; }
    void Paint(HDC dc) override;

private:
    TOutStyle outStyle_ = osLine;
    COLORREF lineColor_ = 0xFF0000;
    int lineWidth_ = 2;
    int roundWidth_ = 0;
    TQRGBA background_;
};

}  // namespace settings
