#include "toolkit/bex_text_wnd.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <string_view>

#include "toolkit/bex_bitmap.h"
#include "base/handles.h"
#include "base/log.h"
#include "base/numbers.h"

namespace toolkit {

namespace {

void ShellOpen(const wchar_t* target) {
    // The shell's old convention: a result above 32 is success.
    if (reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL)) <= 32)
        base::LogFailedCall((std::wstring(L"link ") + target).c_str(), L"ShellExecuteW");
}

CBexTextWnd::ShellOpener g_shellOpener = &ShellOpen;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t n = wcslen(prefix);
    return text.size() >= n && _wcsnicmp(text.c_str(), prefix, n) == 0;
}

// Digits from `pos` in base 10 or 16, as far as they go; false when none.
bool ReadDigits(const std::wstring& s, size_t pos, int radix, long long* out) {
    const std::wstring_view digits = pos < s.size() ? std::wstring_view(s).substr(pos) : std::wstring_view();
    size_t count = 0;
    const uint64_t value = radix == 16 ? base::LeadingHexDigits(digits, &count) : base::LeadingDigits(digits, &count);
    // A COLORREF or a command id is 32 bits wide: the low ones are kept.
    *out = static_cast<long long>(static_cast<uint32_t>(value));
    return count > 0;
}

// The command id of a "button:" target: decimal, or hexadecimal after 0x.
long long ParseCommandNumber(const std::wstring& s) {
    long long value = 0;
    if (s.size() >= 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X'))
        ReadDigits(s, 2, 16, &value);
    else
        ReadDigits(s, 0, 10, &value);
    return value;
}

template <typename T>
void Pop(std::vector<T>& stack) {
    // The initial entry stays: unbalanced closing tags are ignored.
    if (stack.size() >= 2) stack.pop_back();
}

}  // namespace

bool ParseBexNumber(const std::wstring& value, long long* out) {
    long long local = 0;
    if (!out) out = &local;
    if (!value.empty() && value[0] == L'#') return ReadDigits(value, 1, 16, out);
    if (value.size() >= 2 && value[0] == L'0' && (value[1] == L'x' || value[1] == L'X'))
        return ReadDigits(value, 2, 16, out);
    return ReadDigits(value, 0, 10, out);
}

std::vector<BexTextSegment> ParseBexMarkup(const std::wstring& text) {
    std::vector<int> fonts{0};
    std::vector<int> colors{-1};
    std::vector<int> linkColors{-1};
    std::vector<std::wstring> links{std::wstring()};
    std::vector<BexTextSegment> segments;
    std::wstring buffer;

    auto emit = [&]() {
        if (buffer.empty()) return;
        BexTextSegment segment;
        segment.text = buffer;
        segment.link = links.back();
        segment.fontNumber = fonts.back();
        segment.color = segment.link.empty() ? colors.back() : linkColors.back();
        segments.push_back(std::move(segment));
        buffer.clear();
    };
    auto colorValue = [](const std::wstring& value) {
        long long number = 0;
        ParseBexNumber(value, &number);
        return static_cast<int>(static_cast<unsigned long>(number));
    };
    auto apply = [&](const std::wstring& tag) {
        if (StartsWithNoCase(tag, L"a=")) {
            links.push_back(tag.substr(2));
        } else if (StartsWithNoCase(tag, L"/acolor")) {
            Pop(linkColors);
        } else if (StartsWithNoCase(tag, L"/a")) {
            Pop(links);
        } else if (StartsWithNoCase(tag, L"acolor=")) {
            linkColors.push_back(colorValue(tag.substr(7)));
        } else if (StartsWithNoCase(tag, L"font=")) {
            long long number = 0;
            if (ReadDigits(tag, 5, 10, &number) && number >= 1 && number <= 8)
                fonts.push_back(static_cast<int>(number));
        } else if (StartsWithNoCase(tag, L"/font")) {
            Pop(fonts);
        } else if (StartsWithNoCase(tag, L"color=")) {
            colors.push_back(colorValue(tag.substr(6)));
        } else if (StartsWithNoCase(tag, L"/color")) {
            Pop(colors);
        }
        // Anything else vanishes.
    };

    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 3, L"{&#") == 0) {
            const size_t close = text.find(L'}', i + 3);
            if (close != std::wstring::npos) {
                emit();
                apply(text.substr(i + 3, close - i - 3));
                i = close + 1;
                continue;
            }
        }
        buffer += text[i];
        ++i;
    }
    emit();
    return segments;
}

void CBexTextWnd::SetShellOpener(ShellOpener opener) { g_shellOpener = opener ? opener : &ShellOpen; }

CBexTextWnd::CBexTextWnd() : defaultFont_(BexFont(3)) {}

int CBexTextWnd::SetText(const wchar_t* text) {
    std::wstring value = text ? text : L"";
    if (value == text_) return 0;
    // The pressed link belongs to the old text: forget it before the capture
    // is let go, or ending the capture would fire it.
    const bool hadPressed = pressed_ != -1;
    hovered_ = -1;
    pressed_ = -1;
    if (hadPressed && Owner()) Owner()->ReleaseCapture(this);
    text_ = std::move(value);
    segments_ = ParseBexMarkup(text_);
    for (auto& segment : segments_) segment.font = segment.fontNumber ? BexFont(segment.fontNumber) : nullptr;
    Layout();
    Redraw();
    return 1;
}

void CBexTextWnd::Layout() {
    int lineHeight = 0;
    std::vector<SIZE> sizes(segments_.size());
    for (size_t i = 0; i < segments_.size(); ++i) {
        const auto& segment = segments_[i];
        MeasureText(segment.font ? segment.font : defaultFont_, static_cast<int>(segment.text.size()),
                    segment.text.c_str(), &sizes[i]);
        lineHeight = std::max<int>(lineHeight, sizes[i].cy);
    }
    int x = 0;
    for (size_t i = 0; i < segments_.size(); ++i) {
        segments_[i].rect = RECT{x, lineHeight - sizes[i].cy, x + sizes[i].cx, lineHeight};
        x += sizes[i].cx;
    }
    if (IsAutoSize() && Owner()) {
        int width = x;
        if (maxWidth_ != -1) width = std::min(width, maxWidth_);
        Owner()->SetWndSize(this, width, lineHeight);
    }
}

void CBexTextWnd::SetDefaultFont(HFONT font) {
    defaultFont_ = font ? font : BexFont(3);
    Layout();
    Redraw();
}

void CBexTextWnd::SetDefaultTextColor(COLORREF color) {
    if (textColor_ == color) return;
    textColor_ = color;
    Redraw();
}

void CBexTextWnd::SetMaxWidth(int width) {
    if (maxWidth_ == width) return;
    maxWidth_ = width;
    Layout();
    Redraw();
}

COLORREF CBexTextWnd::SegmentColor(int index) const {
    if (index < 0 || index >= static_cast<int>(segments_.size())) return textColor_;
    if (index == hovered_) return hoverLinkColor_;
    const auto& segment = segments_[index];
    if (!segment.link.empty())
        return segment.color >= 0 ? (static_cast<COLORREF>(segment.color) & 0xFFFFFF) : linkColor_;
    return segment.color >= 0 ? static_cast<COLORREF>(segment.color) : textColor_;
}

void CBexTextWnd::OnCreate() {
    SetFlag(kBexTransparent, true);
    hovered_ = -1;
    pressed_ = -1;
    Layout();
}

void CBexTextWnd::Paint(HDC dc, int clipX, int paintArg) {
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::GetTextColor(dc);
    const int clip = clipX != -1 ? clipX : maxWidth_;
    RECT box{};
    ::GetClipBox(dc, &box);
    for (int i = 0; i < static_cast<int>(segments_.size()); ++i) {
        const auto& segment = segments_[i];
        RECT common{};
        if (paintArg > 0 ? i != paintArg - 1 : !::IntersectRect(&common, &segment.rect, &box)) continue;
        if (clip != -1 && clip <= segment.rect.left) continue;
        ::SetTextColor(dc, SegmentColor(i));
        base::SelectObjectScope font(dc, segment.font ? segment.font : defaultFont_);
        if (clip != -1 && clip < segment.rect.right) {
            RECT cut = segment.rect;
            cut.right = clip;
            ::DrawTextW(dc, segment.text.c_str(), static_cast<int>(segment.text.size()), &cut,
                        DT_PATH_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE);
        } else {
            ::TextOutW(dc, segment.rect.left, segment.rect.top, segment.text.c_str(),
                       static_cast<int>(segment.text.size()));
        }
    }
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

int CBexTextWnd::SegmentAt(POINT pt) const {
    for (int i = 0; i < static_cast<int>(segments_.size()); ++i)
        if (::PtInRect(&segments_[i].rect, pt)) return i;
    return -1;
}

void CBexTextWnd::RedrawSegment(int index) {
    if (index < 0 || index >= static_cast<int>(segments_.size()) || !Owner()) return;
    Owner()->RedrawWnd(this, &segments_[index].rect, 0, index + 1);
}

LRESULT CBexTextWnd::OnSetCursor(POINT pt) {
    const int index = SegmentAt(pt);
    if (index < 0 || segments_[index].link.empty()) return 0;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return 1;
}

LRESULT CBexTextWnd::OnMouseMove(POINT pt) {
    const int index = SegmentAt(pt);
    if (index < 0) return 0;
    const int previous = hovered_;
    if (segments_[index].link.empty()) {
        hovered_ = -1;
    } else if (index != hovered_) {
        hovered_ = index;
        RedrawSegment(index);
    }
    if (previous != -1 && previous != hovered_) RedrawSegment(previous);
    return 0;
}

LRESULT CBexTextWnd::OnLButtonDown(POINT pt) {
    const int index = SegmentAt(pt);
    if (index < 0) return pressed_ != -1;
    const int previous = pressed_;
    if (segments_[index].link.empty()) {
        pressed_ = -1;
    } else if (index != pressed_) {
        pressed_ = index;
        RedrawSegment(index);
        if (Owner()) Owner()->SetCapture(this);
    }
    if (previous != -1 && previous != pressed_) RedrawSegment(previous);
    return pressed_ != -1;
}

LRESULT CBexTextWnd::OnLButtonUp(POINT) {
    const bool pressed = pressed_ != -1;
    if (pressed && Owner()) Owner()->ReleaseCapture(this);
    return pressed;
}

void CBexTextWnd::OnMouseLeave() {
    if (hovered_ == -1) return;
    const int index = hovered_;
    hovered_ = -1;
    RedrawSegment(index);
}

void CBexTextWnd::OnCaptureLost() {
    if (pressed_ == -1) return;
    const int index = pressed_;
    pressed_ = -1;
    RedrawSegment(index);
    if (hovered_ < 0 || hovered_ >= static_cast<int>(segments_.size())) return;
    const std::wstring target = segments_[hovered_].link;
    if (target.empty()) return;
    if (StartsWithNoCase(target, L"button:")) {
        const long long id = ParseCommandNumber(target.substr(7));
        if (Owner()) Owner()->SendCommand(this, 0, static_cast<WORD>(id));
    } else {
        g_shellOpener(target.c_str());
    }
}

}  // namespace toolkit
