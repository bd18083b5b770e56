// The texts and digit pictures of a row of the reminder and shutdown lists.
#pragma once

#include <windows.h>

#include <string>

#include "settings/controls/GraphicTime.h"
#include "base/handles.h"

namespace settings {

constexpr COLORREF kRowTextColor = 10063750;  // RGB(134, 143, 153)
constexpr COLORREF kRowDateColor = 10787728;  // RGB(144, 155, 164)
// Inside a row: texts begin this far right of the state button, keep this
// far from the right edge, and stand this far from the top and bottom.
constexpr int kRowTextGap = 10;
constexpr int kRowRightMargin = 12;
constexpr int kRowTextInset = 4;

base::Font RowFont(bool bold);
// One line, vertically centred in `rect`.
void DrawRowLine(HDC dc, const std::wstring& text, RECT rect, COLORREF color, HFONT font, UINT format);
int RowTextWidth(HDC dc, const std::wstring& text, HFONT font);
// Draws `text` in `clock`'s digit pictures right-aligned at `right`,
// centred on `middle`; returns the left edge of what it drew.
int DrawRowDigits(HDC dc, TGraphicTime& clock, const std::wstring& text, int right, int middle);

}  // namespace settings
