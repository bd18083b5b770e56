#include "settings/pages/ListRowText.h"

#include "base/handles.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/pages/PageControls.h"

namespace settings {

base::Font RowFont(bool bold) {
    return base::Font(::CreateFontW(kPageFontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                      0, 0, CLEARTYPE_QUALITY, 0, UiFontName().c_str()));
}

void DrawRowLine(HDC dc, const std::wstring& text, RECT rect, COLORREF color, HFONT font, UINT format) {
    const base::SelectObjectScope select(dc, font);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), -1, &rect, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

int RowTextWidth(HDC dc, const std::wstring& text, HFONT font) {
    const base::SelectObjectScope select(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int DrawRowDigits(HDC dc, TGraphicTime& clock, const std::wstring& text, int right, int middle) {
    clock.SetAutoSize(true);
    clock.SetCaption(text);
    const int width = clock.Width(), height = clock.Height();
    clock.SetBounds(right - width, middle - height / 2, width, height);
    clock.Paint(dc);
    return right - width;
}

}  // namespace settings
