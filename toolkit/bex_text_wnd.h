// One line of marked-up text: runs in different fonts and colours, and links
// that send a command to the host ("button:" and a number) or are opened by
// the shell. Tags are opened by "{&#" and closed by "}":
//   color=V ... /color      text colour (V: #hex, 0xhex or decimal COLORREF)
//   font=N ... /font        font N (1..8) of the shared font table
//   a=TARGET ... /a         a link
//   acolor=V ... /acolor    colour of the links inside
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/bex_wnd.h"

namespace toolkit {

struct BexTextSegment {
    std::wstring text;
    RECT rect{};          // control coordinates, set by layout
    HFONT font = nullptr; // null: the control's default font
    int fontNumber = 0;   // 0: default, else 1..8
    int color = -1;       // a COLORREF, or negative for "default"
    std::wstring link;    // empty: not a link
};

// The markup parser on its own: segments with text, font number, colour and
// link; fonts are left for the caller to resolve.
std::vector<BexTextSegment> ParseBexMarkup(const std::wstring& text);

// A colour value read as far as it is valid ("#", "0x"/"0X" or decimal).
bool ParseBexNumber(const std::wstring& value, long long* out);

class CBexTextWnd : public CBexWnd {
public:
    // Opens a link target that is not a command; the shell by default.
    using ShellOpener = void (*)(const wchar_t* target);
    static void SetShellOpener(ShellOpener opener);

    CBexTextWnd();

    // Returns 0 when the text is the current one (nothing happens), else 1.
    int SetText(const wchar_t* text);
    const std::wstring& Text() const { return text_; }
    void Layout();

    const std::vector<BexTextSegment>& Segments() const { return segments_; }
    void SetDefaultFont(HFONT font);
    HFONT DefaultFont() const { return defaultFont_; }
    void SetDefaultTextColor(COLORREF color);
    COLORREF DefaultTextColor() const { return textColor_; }
    void SetLinkColor(COLORREF color) { linkColor_ = color; }
    COLORREF LinkColor() const { return linkColor_; }
    void SetHoverLinkColor(COLORREF color) { hoverLinkColor_ = color; }
    COLORREF HoverLinkColor() const { return hoverLinkColor_; }
    void SetMaxWidth(int width);
    int MaxWidth() const { return maxWidth_; }
    int HoveredLink() const { return hovered_; }
    int PressedLink() const { return pressed_; }
    // The colour a segment is drawn in now.
    COLORREF SegmentColor(int index) const;

    void OnCreate() override;
    void Paint(HDC dc, int clipX, int paintArg) override;
    void OnCaptureLost() override;
    LRESULT OnSetCursor(POINT pt) override;
    LRESULT OnLButtonDown(POINT pt) override;
    LRESULT OnLButtonUp(POINT pt) override;
    LRESULT OnLButtonDblClk(POINT pt) override { return OnLButtonDown(pt); }
    LRESULT OnMouseMove(POINT pt) override;
    void OnMouseLeave() override;

private:
    int SegmentAt(POINT pt) const;
    void RedrawSegment(int index);

    std::wstring text_;
    std::vector<BexTextSegment> segments_;
    HFONT defaultFont_ = nullptr;
    COLORREF textColor_ = 0;
    COLORREF linkColor_ = 0x984E00;
    COLORREF hoverLinkColor_ = 0xDA7003;
    int maxWidth_ = -1;
    int hovered_ = -1;
    int pressed_ = -1;
};

}  // namespace toolkit
