#include "companion/ui/vyn_tip_wnd.h"

#include <cwchar>

#include <algorithm>

#include "base/dib_section.h"
#include "companion/ui/corvalle_skin.h"
#include "protocol/window_messages.h"
#include "toolkit/bex_bitmap.h"
#include "base/handles.h"

namespace companion {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The end of the character that starts at `pos`.
size_t NextCharEnd(const std::wstring& text, size_t pos) {
    if (pos >= text.size()) return text.size();
    if (IsHighSurrogate(text[pos]) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1]))
        return pos + 2;
    return pos + 1;
}

// The start of the character that ends at `end` (end > 0).
size_t PrevCharStart(const std::wstring& text, size_t end) {
    if (end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2])) return end - 2;
    return end - 1;
}

}  // namespace

size_t TipLineLength(const std::wstring& text, size_t start, int maxWidth,
                     const std::function<int(size_t)>& widthOf) {
    if (start >= text.size()) return 0;
    size_t end = start;
    for (int i = 0; i < CSubVynTip::kStartChars && end < text.size(); ++i) end = NextCharEnd(text, end);
    int width = widthOf(end - start);
    while (width <= maxWidth && end < text.size()) {
        end = NextCharEnd(text, end);
        width = widthOf(end - start);
    }
    // Giving back stops at one character: a character wider than the line
    // still has to go somewhere, and a line of nothing would never end.
    const size_t first = NextCharEnd(text, start);
    while (width > maxWidth && end > first) {
        end = PrevCharStart(text, end);
        width = widthOf(end - start);
    }
    return end - start;
}

std::wstring PlainTipText(const std::wstring& text) {
    // "{" followed by an empty tag: the reader shows the "{" and drops the
    // empty tag, and what follows no longer starts a tag.
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, L"{&#") == 0) {
            out += L"{{&#}";
        } else {
            out += text[i];
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// CSubVynTip

CSubVynTip::~CSubVynTip() {
    // While the object is still whole: the window's last messages reach it.
    DestroyWindow();
}

bool CSubVynTip::Create(HWND bubble) {
    RECT rc{0, 0, kWidth, 2 * kLinePitch + 16};
    if (bubble) {
        RECT b{};
        ::GetWindowRect(bubble, &b);
        ::OffsetRect(&rc, b.left + kBubbleOffsetX, b.top + kBubbleOffsetY);
    }
    return winlib::Window::Create(kClassName, bubble, &rc, L"", kStyle, kExStyle) != nullptr;
}

LRESULT CSubVynTip::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    // The bubble is this window's owner: another bubble found by class name
    // could belong to another tip or another program.
    if (HWND bubble = ::GetWindow(Hwnd(), GW_OWNER)) {
        RECT b{};
        ::GetWindowRect(bubble, &b);
        ::SetWindowPos(Hwnd(), nullptr, b.left + kBubbleOffsetX, b.top + kBubbleOffsetY, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    positioned_ = true;
    return 0;
}

LRESULT CSubVynTip::OnTipMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    // Screen coordinates left of or above the first monitor are negative.
    const int x = static_cast<int>(wParam);
    const int y = static_cast<int>(lParam);
    ::SetWindowPos(Hwnd(), nullptr, x + kBubbleOffsetX, y + kBubbleOffsetY, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CSubVynTip::OnSetTipText(UINT, WPARAM wParam, LPARAM, BOOL&) {
    // The text comes as a bare pointer, meaningful only inside this
    // thread's address space and only during the call: a sender in another
    // thread or process gets nothing done.
    if (::InSendMessage()) return 0;
    const auto* text = reinterpret_cast<const wchar_t*>(wParam);
    if (!text) return 0;
    SetText(std::wstring(text, wcsnlen(text, kMaxSentTextLength)));
    return 1;
}

bool CSubVynTip::IsOwnLine(const void* control) const {
    for (const auto& line : lines_)
        if (line.get() == control) return true;
    return false;
}

LRESULT CSubVynTip::OnLinkCommand(WORD code, WORD, HWND control, BOOL& handled) {
    // Only our own link speaks for the tip; a stray command with this id,
    // or one arriving when no link is shown, reports nothing.
    if (code != 0 || !IsOwnLine(control)) {
        handled = FALSE;
        return 0;
    }
    if (linkIndex_ < 0) return 0;
    if (HWND main = ::FindWindowW(protocol::kCompanionWindowClass, nullptr))
        ::PostMessageW(main, WM_TIP_LINK_CLICKED, static_cast<WPARAM>(linkIndex_), 0);
    return 0;
}

void CSubVynTip::DrawBackground(HDC dc, const RECT* rect) {
    toolkit::CBexBitmap* ground = toolkit::BexSkinBitmap(kBexTipTextBack);
    if (!ground || !ground->Handle() || !Hwnd()) {
        toolkit::CBexWndManager::DrawBackground(dc, rect);
        return;
    }
    // The whole client area, so that the nine parts fall where they belong;
    // the DC's clip keeps the drawing to what is asked for.
    const RECT client = ClientRect();
    ground->Draw(dc, 0, 0, client.right, client.bottom, 0);
}

toolkit::CBexTextWnd* CSubVynTip::LineAt(size_t i) {
    while (lines_.size() <= i) {
        auto line = std::make_unique<toolkit::CBexTextWnd>();
        line->Attach(this, toolkit::kBexVisible | toolkit::kBexAutoSize, 0);
        lines_.push_back(std::move(line));
    }
    return lines_[i].get();
}

void CSubVynTip::ResizeForLines(int lines) {
    if (!Hwnd()) return;
    const int cy = std::max(lines, 2) * kLinePitch + 16;
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, kWidth, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring CSubVynTip::ShownLine(size_t i) const {
    std::wstring shown;
    if (i >= lines_.size()) return shown;
    for (const auto& segment : lines_[i]->Segments()) shown += segment.text;
    return shown;
}

void CSubVynTip::PublishShownText() {
    // The window's own text says what the tip shows, line by line, for
    // anyone who looks at the window from outside.
    if (!Hwnd()) return;
    std::wstring all;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::wstring line = ShownLine(i);
        if (line.empty()) continue;
        if (!all.empty()) all += L'\n';
        all += line;
    }
    ::SetWindowTextW(Hwnd(), all.c_str());
}

int CSubVynTip::SetText(const std::wstring& text) {
    // Whatever link was shown is overwritten by the new lines.
    linkIndex_ = -1;
    // Every line is set several times while it is fitted; one repaint at
    // the end is enough.
    SuspendUpdate();
    size_t start = 0;
    int used = 0;
    while (start < text.size() && used < kMaxLines) {
        toolkit::CBexTextWnd* line = LineAt(static_cast<size_t>(used));
        line->SetMaxWidth(-1);
        const size_t count = TipLineLength(text, start, kMaxLineWidth, [&](size_t n) {
            line->SetText(PlainTipText(text.substr(start, n)).c_str());
            return line->Width();
        });
        // The line must hold exactly the chosen piece; when it already
        // does, setting it again changes nothing.
        line->SetText(PlainTipText(text.substr(start, count)).c_str());
        line->SetDefaultTextColor(kTextColor);
        SetWndPos(line, kLineLeft, used * kLinePitch + kFirstLineTop);
        start += count;
        ++used;
    }
    for (size_t i = static_cast<size_t>(used); i < lines_.size(); ++i) lines_[i]->SetText(L"");
    ResumeUpdate();
    ResizeForLines(used);
    if (Hwnd()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
    PublishShownText();
    return used - 1;
}

int CSubVynTip::FreeLine() {
    size_t index = 0;
    while (index < lines_.size() && !lines_[index]->Text().empty()) ++index;
    if (index == lines_.size()) {
        toolkit::CBexTextWnd* line = LineAt(index);
        SetWndPos(line, kNewLinkLineLeft, static_cast<int>(index) * kLinePitch + kFirstLineTop);
    }
    ResizeForLines(static_cast<int>(index) + 1);
    return static_cast<int>(index);
}

int CSubVynTip::SetLink(const std::wstring& text, int index) {
    if (text.empty()) return -1;
    const int free = FreeLine();
    toolkit::CBexTextWnd* line = lines_[static_cast<size_t>(free)].get();
    line->SetMaxWidth(-1);
    const std::wstring head = L"{&#a=button:" + std::to_wstring(kLinkCommandId) + L"}";
    line->SetText((head + PlainTipText(text)).c_str());
    line->SetLinkColor(kLinkColor);
    line->SetHoverLinkColor(kLinkColor);

    // Short links sit at the right end of their line.
    int x = line->Rect().left;
    if (text.size() == 3) x = 100;
    if (text.size() == 4) x = 84;
    // A link that would run past the window is moved left until it ends at
    // the window's edge, and cut short when even the whole line is too small.
    const int width = line->Width();
    if (x + width > kWidth) x = std::max(kLineLeft, kWidth - width);
    if (width > kMaxLineWidth) line->SetMaxWidth(kMaxLineWidth);
    SetWndPos(line, x, free * kLinePitch + kFirstLineTop);
    if (Hwnd()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
    linkIndex_ = index;
    PublishShownText();
    return free;
}

// ---------------------------------------------------------------------------
// CVynTipWnd

CVynTipWnd::~CVynTipWnd() {
    // Takes the owned text window with it while both objects are whole.
    DestroyWindow();
}

bool CVynTipWnd::Create(HWND owner) {
    if (Hwnd()) return false;
    RECT rc{0, 0, CSubVynTip::kWidth + kExtraWidth, 2 * CSubVynTip::kLinePitch + 16 + kExtraHeight};
    if (!winlib::Window::Create(kClassName, owner, &rc, L"", kStyle, kExStyle)) return false;
    if (!sub_.Hwnd()) {
        DestroyWindow();
        return false;
    }
    return true;
}

LRESULT CVynTipWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    // A bubble without its text window would show an empty frame.
    if (!sub_.Create(Hwnd())) return -1;
    sub_.ShowWindow(SW_HIDE);
    ShowWindow(SW_HIDE);
    return 0;
}

POINT CVynTipWnd::PlaceBesideMascot(int mascotLeft, int mascotTop, int cx, int cy) {
    POINT at{mascotLeft - kMascotOffsetX, mascotTop + kMascotOffsetBottom - cy};
    // A mascot parked at a screen edge would push the bubble, and the
    // reminder in it, off the screen.
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromPoint(POINT{mascotLeft, mascotTop}, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoW(monitor, &info)) {
        const RECT& work = info.rcWork;
        at.x = std::max(work.left, std::min<LONG>(at.x, work.right - cx));
        at.y = std::max(work.top, std::min<LONG>(at.y, work.bottom - cy));
    }
    return at;
}

void CVynTipWnd::MoveBesideMascot(int mascotLeft, int mascotTop) {
    const RECT rc = WindowRect();
    const POINT at = PlaceBesideMascot(mascotLeft, mascotTop, rc.right - rc.left, rc.bottom - rc.top);
    ::SetWindowPos(Hwnd(), nullptr, at.x, at.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

LRESULT CVynTipWnd::OnTipMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    MoveBesideMascot(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

LRESULT CVynTipWnd::OnWindowPosChanged(UINT, WPARAM, LPARAM, BOOL& handled) {
    // Our own text window follows, not whichever window of its class is
    // found first.
    if (sub_.Hwnd()) {
        const RECT rc = WindowRect();
        ::SendMessageW(sub_.Hwnd(), WM_TIP_MOVE, static_cast<WPARAM>(rc.left), static_cast<LPARAM>(rc.top));
    }
    handled = FALSE;
    return 0;
}

bool CVynTipWnd::PaintBubble(HDC dc, int cx, int cy) {
    toolkit::CBexBitmap* art = toolkit::BexSkinBitmap(kBexTipBubble);
    if (!dc || !art || !art->Handle() || cx <= 0 || cy <= 0) return false;
    art->Draw(dc, 0, 0, cx, cy, 0);
    return true;
}

void CVynTipWnd::DrawBackground(HDC dc, const RECT* rect) {
    // Only reached before the window is layered; the artwork then still
    // shows in its place.
    const RECT client = ClientRect();
    if (!PaintBubble(dc, client.right, client.bottom)) toolkit::CBexWndManager::DrawBackground(dc, rect);
}

bool CVynTipWnd::PaintLayered() {
    const RECT sub = sub_.WindowRect();
    const int cx = sub.right - sub.left + kExtraWidth;
    const int cy = sub.bottom - sub.top + kExtraHeight;
    if (cx <= kExtraWidth || cy <= kExtraHeight) return false;

    // A 32-bit surface starts fully transparent, so what the artwork leaves
    // out stays see-through.
    base::WindowDc screen(nullptr);
    base::MemoryDc canvas(::CreateCompatibleDC(screen.Get()));
    base::Bitmap surface = base::CreateTopDownDib(cx, cy, 32);
    if (!screen || !canvas || !surface) return false;
    base::SelectObjectScope select(canvas.Get(), surface.Get());
    if (!PaintBubble(canvas.Get(), cx, cy)) return false;

    const LONG exStyle = ::GetWindowLongW(Hwnd(), GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(Hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    const RECT now = WindowRect();
    POINT at{now.left, now.top};
    SIZE size{cx, cy};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(Hwnd(), screen.Get(), &at, &size, canvas.Get(), &origin, 0, &blend,
                                 ULW_ALPHA) != FALSE;
}

void CVynTipWnd::ShowTip(bool show) {
    if (!Hwnd()) return;
    if (!show) {
        sub_.ShowWindow(SW_HIDE);
        ShowWindow(SW_HIDE);
        return;
    }
    if (!PaintLayered()) {
        // Without its artwork the bubble still has to take the text
        // window's size, so that the text window sits where it belongs.
        const RECT sub = sub_.WindowRect();
        ::SetWindowPos(Hwnd(), nullptr, 0, 0, sub.right - sub.left + kExtraWidth,
                       sub.bottom - sub.top + kExtraHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HWND owner = ::GetWindow(Hwnd(), GW_OWNER)) {
        RECT mascot{};
        ::GetWindowRect(owner, &mascot);
        MoveBesideMascot(mascot.left, mascot.top);
    }
    // The move above only tells the text window when the bubble really
    // moved; place it anyway.
    const RECT bubble = WindowRect();
    ::SendMessageW(sub_.Hwnd(), WM_TIP_MOVE, static_cast<WPARAM>(bubble.left), static_cast<LPARAM>(bubble.top));
    // Neither window takes keyboard input: showing them must not take the
    // focus from whatever the user is typing into.
    ShowWindow(SW_SHOWNA);
    sub_.ShowWindow(SW_SHOWNA);
}

}  // namespace companion
