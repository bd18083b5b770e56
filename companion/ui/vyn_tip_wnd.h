// The speech bubble over the mascot. Two top-level windows move together:
// the bubble itself (per-pixel alpha artwork, layered) and an opaque text
// window laid over the bubble's inner area that holds the broken lines of
// the tip and an optional link. The main window creates both once and
// fills them for every reminder it shows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/window_messages.h"
#include "toolkit/bex_text_wnd.h"
#include "toolkit/bex_wnd_manager.h"
#include "winlib/window.h"

namespace companion {

// How many UTF-16 units of `text` from `start` go on one line. `widthOf(n)`
// shows the first n units on the line and answers its width in pixels.
// Starts with 11 characters, grows while the line fits, then gives back
// until it fits again; a line always takes at least one whole character,
// and a surrogate pair is never split.
size_t TipLineLength(const std::wstring& text, size_t start, int maxWidth,
                     const std::function<int(size_t)>& widthOf);

// `text` with every markup opener made inert, so that it is shown as
// written: the tip texts are plain, and a reminder the user typed must not
// turn into a link or a colour.
std::wstring PlainTipText(const std::wstring& text);

// The text window: lines of white text over the bubble's inner colour.
class CSubVynTip : public winlib::Window, public toolkit::CBexWndManager {
public:
    static constexpr wchar_t kClassName[] = L"CorvalleTipWndSub";
    static constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    static constexpr int kWidth = 136;
    static constexpr int kMaxLineWidth = 132;
    static constexpr int kLinePitch = 15;
    static constexpr int kLineLeft = 4;
    static constexpr int kFirstLineTop = 4;
    static constexpr int kStartChars = 11;
    // A new line made only for the link starts here.
    static constexpr int kNewLinkLineLeft = 109;
    // Where the text window sits inside the bubble.
    static constexpr int kBubbleOffsetX = 9;
    static constexpr int kBubbleOffsetY = 4;
    static constexpr COLORREF kTextColor = 0xFFFFFF;
    static constexpr COLORREF kLinkColor = 0x33CCFF;
    static constexpr WORD kLinkCommandId = 1001;
    // A tip longer than this many lines would not fit on a screen; the rest
    // of its text is not shown.
    static constexpr int kMaxLines = 40;
    // How far a text handed over by pointer is read at most.
    static constexpr size_t kMaxSentTextLength = 4096;

    CSubVynTip() = default;
    ~CSubVynTip() override;

    // Creates the window hidden over `bubble`, which becomes its owner.
    bool Create(HWND bubble);

    // Breaks `text` into lines and sizes the window to them. Returns the
    // index of the last line used, or -1 for an empty text (which clears
    // every line).
    int SetText(const std::wstring& text);
    // Puts a link on the first free line; a click on it reports `index` to
    // the main window. Returns the line used, or -1 for an empty link text.
    int SetLink(const std::wstring& text, int index);

    int LinkIndex() const { return linkIndex_; }
    bool Positioned() const { return positioned_; }
    size_t LineCount() const { return lines_.size(); }
    const toolkit::CBexTextWnd* Line(size_t i) const { return i < lines_.size() ? lines_[i].get() : nullptr; }
    // What line `i` shows, markup taken away.
    std::wstring ShownLine(size_t i) const;

    void DrawBackground(HDC dc, const RECT* rect) override;

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_TIP_MOVE, OnTipMove)
        WL_MESSAGE_HANDLER(WM_SET_TIP_TEXT, OnSetTipText)
        WL_COMMAND_ID_HANDLER(kLinkCommandId, OnLinkCommand)
        WL_MESSAGE_HANDLER(WM_SIZE, OnNothing)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnNothing)
    WL_END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTipMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetTipText(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLinkCommand(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnNothing(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

    toolkit::CBexTextWnd* LineAt(size_t i);
    int FreeLine();
    void ResizeForLines(int lines);
    void PublishShownText();
    bool IsOwnLine(const void* control) const;

    std::vector<std::unique_ptr<toolkit::CBexTextWnd>> lines_;
    bool positioned_ = false;
    int linkIndex_ = -1;
};

// The bubble: the artwork around the text window, beside the mascot.
class CVynTipWnd : public winlib::Window, public toolkit::CBexWndManager {
public:
    static constexpr wchar_t kClassName[] = L"CorvalleTipWnd";
    static constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // 0x86000000
    static constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;           // 0x88
    // The bubble's left edge lies this far left of the mascot's, its bottom
    // edge this far below the mascot's top (the tail reaches the head).
    static constexpr int kMascotOffsetX = 85;
    static constexpr int kMascotOffsetBottom = 27;
    // The bubble is this much larger than the text window.
    static constexpr int kExtraWidth = 24;
    static constexpr int kExtraHeight = 33;

    CVynTipWnd() = default;
    ~CVynTipWnd() override;

    // Creates the bubble and its text window, both hidden, owned by `owner`
    // (the mascot's window). False when either window cannot be made.
    bool Create(HWND owner);

    void SetTipText(const std::wstring& text) { sub_.SetText(text); }
    void SetLinkText(const std::wstring& text, int index) { sub_.SetLink(text, index); }
    // Shown: paints the artwork for the text window's current size, puts
    // the bubble beside the owner and shows both windows. Else hides both.
    void ShowTip(bool show);

    HWND SubHwnd() const { return sub_.Hwnd(); }
    CSubVynTip& Sub() { return sub_; }
    const CSubVynTip& Sub() const { return sub_; }

    // Where the bubble goes for a mascot whose top-left corner is at
    // (mascotLeft, mascotTop), for a bubble of the given size: beside the
    // mascot, kept inside the work area of the mascot's monitor.
    static POINT PlaceBesideMascot(int mascotLeft, int mascotTop, int cx, int cy);
    // Draws the bubble artwork at the given size into a 32-bit DC with
    // premultiplied alpha. False when the artwork is missing.
    static bool PaintBubble(HDC dc, int cx, int cy);

    void DrawBackground(HDC dc, const RECT* rect) override;

    WL_BEGIN_MSG_MAP()
        WL_CHAIN_MSG_MAP(toolkit::CBexWndManager)
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_TIP_MOVE, OnTipMove)
        WL_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
        WL_MESSAGE_HANDLER(WM_SIZE, OnNothing)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnNothing)
    WL_END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTipMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNothing(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

    void MoveBesideMascot(int mascotLeft, int mascotTop);
    bool PaintLayered();

    CSubVynTip sub_;
};

}  // namespace companion
