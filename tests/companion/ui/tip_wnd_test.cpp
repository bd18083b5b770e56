// The tip bubble and its text window as real windows on the test display:
// line breaking checked against widths measured here with the same font,
// link clicks through the control manager, geometry beside a stand-in
// mascot window, and what the text window paints read back as pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "companion/ui/corvalle_skin.h"
#include "companion/ui/vyn_tip_wnd.h"
#include "protocol/window_messages.h"
#include "tests/support/message_pump.h"
#include "tests/support/pixel_surface.h"
#include "tests/support/window_text.h"
#include "toolkit/bex_bitmap.h"
#include "toolkit/bex_text_wnd.h"
#include "base/handles.h"
#include "winlib/window.h"

using namespace companion;
using namespace toolkit;

namespace {

// A fixed Pump stays only in front of a check that nothing happened.
using testsupport::Pump;
using testsupport::PumpUntil;
using testsupport::WindowText;

int Measure(const std::wstring& text) {
    SIZE size{};
    MeasureText(BexFont(3), static_cast<int>(text.size()), text.c_str(), &size);
    return size.cx;
}

// The mascot's window as far as the tip is concerned: it owns the bubble
// and receives the link's report.
class StandInMain : public winlib::Window {
public:
    struct Report {
        WPARAM wParam;
        LPARAM lParam;
    };
    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_TIP_LINK_CLICKED, OnLink)
    WL_END_MSG_MAP()

    bool Open(int x, int y) {
        RECT rc{x, y, x + 120, y + 140};
        return Create(protocol::kCompanionWindowClass, nullptr, &rc, L"", WS_POPUP | WS_VISIBLE,
                      WS_EX_TOOLWINDOW) != nullptr;
    }
    std::vector<Report> reports;

private:
    LRESULT OnLink(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
        reports.push_back(Report{wParam, lParam});
        return 0;
    }
};

// An ordinary window that the user might be typing into.
class PlainWindow : public winlib::Window {
public:
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return FALSE; }
};

using Surface = testsupport::PixelSurface;

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

RECT WindowRectOf(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

constexpr wchar_t kLongChinese[] =
    L"你已经连续使用电脑很久了，站起来活动一下筋骨，看看窗外的绿色植物，喝一杯水，"
    L"让眼睛和颈椎都休息一会儿吧。";

class TipTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The tests send mouse messages themselves; the real cursor stays
        // far away so the hover check does not undo them.
        ::SetCursorPos(1270, 1015);
        ASSERT_TRUE(main_.Open(600, 500));
        ASSERT_TRUE(tip_.Create(main_.Hwnd()));
        sub_ = tip_.SubHwnd();
        ASSERT_NE(sub_, nullptr);
    }
    void TearDown() override {
        tip_.DestroyWindow();
        main_.DestroyWindow();
        Pump(0);
    }

    CSubVynTip& Sub() { return tip_.Sub(); }

    SIZE SubClientSize() {
        RECT rc{};
        ::GetClientRect(sub_, &rc);
        return SIZE{rc.right, rc.bottom};
    }

    // Every line holds as much as fits: at most 132 pixels (unless it is a
    // single character), and one character more would not fit; the lines
    // together are the text, and they are placed one pitch apart.
    void ExpectBrokenByWidth(const std::wstring& text) {
        std::wstring joined;
        size_t used = 0;
        for (size_t i = 0; i < Sub().LineCount() && !Sub().ShownLine(i).empty(); ++i, ++used) {
            const std::wstring line = Sub().ShownLine(i);
            joined += line;
            const int width = Measure(line);
            EXPECT_EQ(width, Sub().Line(i)->Width()) << i;
            const bool singleChar = line.size() == 1 || (line.size() == 2 && line[0] >= 0xD800 && line[0] <= 0xDBFF);
            if (!singleChar) {
                EXPECT_LE(width, 132) << "line " << i;
            }
            if (joined.size() < text.size()) {
                size_t next = 1;
                if (text[joined.size()] >= 0xD800 && text[joined.size()] <= 0xDBFF) next = 2;
                EXPECT_GT(Measure(line + text.substr(joined.size(), next)), 132) << "line " << i << " could take more";
            }
            EXPECT_EQ(4, Sub().Line(i)->Rect().left) << i;
            EXPECT_EQ(4 + 15 * static_cast<int>(i), Sub().Line(i)->Rect().top) << i;
            EXPECT_EQ(0xFFFFFFu, Sub().Line(i)->DefaultTextColor()) << i;
        }
        EXPECT_EQ(text, joined);
        const SIZE size = SubClientSize();
        EXPECT_EQ(136, size.cx);
        EXPECT_EQ(static_cast<int>(std::max<size_t>(used, 2)) * 15 + 16, size.cy);
    }

    POINT LinkCentre(int line) {
        const CBexTextWnd* text = Sub().Line(static_cast<size_t>(line));
        const RECT& seg = text->Segments().at(0).rect;
        return POINT{text->Rect().left + (seg.left + seg.right) / 2, text->Rect().top + (seg.top + seg.bottom) / 2};
    }

    void Click(POINT p) {
        const LPARAM at = MAKELPARAM(p.x, p.y);
        ::SendMessageW(sub_, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(sub_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(sub_, WM_LBUTTONUP, 0, at);
    }

    StandInMain main_;
    CVynTipWnd tip_;
    HWND sub_ = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------
// Line length and plain text, on their own

TEST(TipLineLength, GrowsFromElevenWhileTheLineFits) {
    const std::wstring text(40, L'a');
    auto width = [](int each) { return [each](size_t n) { return static_cast<int>(n) * each; }; };
    EXPECT_EQ(11u, TipLineLength(text, 0, 132, width(12)));  // 132 fits, 144 does not
    EXPECT_EQ(22u, TipLineLength(text, 0, 132, width(6)));
    EXPECT_EQ(6u, TipLineLength(text, 34, 132, width(6)));   // the rest of the text
    EXPECT_EQ(5u, TipLineLength(std::wstring(5, L'a'), 0, 132, width(12)));
    EXPECT_EQ(0u, TipLineLength(text, 40, 132, width(12)));
}

TEST(TipLineLength, GivesBackUntilTheLineFits) {
    const std::wstring text(40, L'a');
    // Eleven characters of 14 pixels are 154 wide: the line keeps nine
    // (126), not ten (140), which would run past the window.
    EXPECT_EQ(9u, TipLineLength(text, 0, 132, [](size_t n) { return static_cast<int>(n) * 14; }));
}

TEST(TipLineLength, AlwaysTakesOneCharacter) {
    const std::wstring text(5, L'a');
    int calls = 0;
    EXPECT_EQ(1u, TipLineLength(text, 0, 132, [&](size_t n) {
                  ++calls;
                  return static_cast<int>(n) * 500;
              }));
    EXPECT_LT(calls, 20);
}

TEST(TipLineLength, NeverSplitsASurrogatePair) {
    std::wstring text;
    for (int i = 0; i < 20; ++i) text += L"\U0001F600";  // 40 units
    auto perChar = [](int each) { return [each](size_t n) { return static_cast<int>(n / 2) * each; }; };
    EXPECT_EQ(22u, TipLineLength(text, 0, 132, perChar(12)));  // 11 characters
    EXPECT_EQ(18u, TipLineLength(text, 0, 132, perChar(14)));  // 9 characters
    EXPECT_EQ(2u, TipLineLength(text, 0, 132, perChar(500)));
    const std::wstring mixed = L"a" + text;
    EXPECT_EQ(1u, TipLineLength(mixed, 0, 132, [](size_t n) { return n == 1 ? 10 : 500; }));
}

TEST(PlainTipText, MarkupIsShownAsWritten) {
    const std::wstring samples[] = {
        L"{&#a=button:1001}点我}", L"a{&#color=#ff}b{&#/color}c", L"{&#", L"{{&#}}", L"{&#{&#}}", L"plain",
        L"{&#font=8}大{&#/font}", L"",
    };
    for (const auto& sample : samples) {
        std::wstring shown;
        for (const auto& segment : ParseBexMarkup(PlainTipText(sample))) {
            EXPECT_TRUE(segment.link.empty()) << testing::PrintToString(sample);
            EXPECT_EQ(0, segment.fontNumber);
            EXPECT_LT(segment.color, 0);
            shown += segment.text;
        }
        EXPECT_EQ(sample, shown);
    }
}

// ---------------------------------------------------------------------------
// Windows

TEST_F(TipTest, CreatesBothWindowsHiddenAndOwned) {
    HWND bubble = tip_.Hwnd();
    EXPECT_EQ(L"CorvalleTipWnd", ClassOf(bubble));
    EXPECT_EQ(L"CorvalleTipWndSub", ClassOf(sub_));
    EXPECT_EQ(0x86000000u, static_cast<DWORD>(::GetWindowLongW(bubble, GWL_STYLE)));
    EXPECT_EQ(0x88u, static_cast<DWORD>(::GetWindowLongW(bubble, GWL_EXSTYLE)));
    EXPECT_EQ(0x86000000u, static_cast<DWORD>(::GetWindowLongW(sub_, GWL_STYLE)));
    EXPECT_EQ(0x88u, static_cast<DWORD>(::GetWindowLongW(sub_, GWL_EXSTYLE)));
    EXPECT_EQ(main_.Hwnd(), ::GetWindow(bubble, GW_OWNER));
    EXPECT_EQ(bubble, ::GetWindow(sub_, GW_OWNER));
    EXPECT_FALSE(::IsWindowVisible(bubble));
    EXPECT_FALSE(::IsWindowVisible(sub_));
    EXPECT_TRUE(Sub().Positioned());
    EXPECT_EQ(-1, Sub().LinkIndex());
    const RECT b = WindowRectOf(bubble), s = WindowRectOf(sub_);
    EXPECT_EQ(b.left + 9, s.left);
    EXPECT_EQ(b.top + 4, s.top);
    // One bubble per object.
    EXPECT_FALSE(tip_.Create(main_.Hwnd()));
}

TEST_F(TipTest, LinesBreakByMeasuredWidth) {
    const std::wstring text = kLongChinese;
    const int last = Sub().SetText(text);
    ExpectBrokenByWidth(text);
    ASSERT_GE(last, 2);
    EXPECT_TRUE(Sub().ShownLine(static_cast<size_t>(last + 1)).empty());
    EXPECT_FALSE(Sub().ShownLine(static_cast<size_t>(last)).empty());

    const std::wstring latin = L"Time for a short break: stand up, stretch your arms and look out of the window.";
    tip_.SetTipText(latin);
    ExpectBrokenByWidth(latin);

    std::wstring faces = L"休息";
    for (int i = 0; i < 15; ++i) faces += L"\U0001F600";
    tip_.SetTipText(faces);
    ExpectBrokenByWidth(faces);
}

TEST_F(TipTest, WideCharactersNeverRunPastTheLine) {
    // A character so wide that ten of them are more than a line: eleven
    // less one would still run past the window.
    auto times = [](const std::wstring& c, int n) {
        std::wstring out;
        for (int i = 0; i < n; ++i) out += c;
        return out;
    };
    std::wstring wide;
    for (const wchar_t* candidate : {L"Ｗ", L"W", L"@", L"鬱", L"\U0001F600", L"\U0001242B"}) {
        if (Measure(times(candidate, 10)) > 132) {
            wide = candidate;
            break;
        }
    }
    if (wide.empty()) GTEST_SKIP() << "no character of this font is that wide";
    const std::wstring text = times(wide, 30);
    Sub().SetText(text);
    ExpectBrokenByWidth(text);
    EXPECT_LT(Sub().ShownLine(0).size(), 10 * wide.size());
}

TEST_F(TipTest, OneLineTipIsStillTwoPitchesHigh) {
    EXPECT_EQ(0, Sub().SetText(L"喝水"));
    EXPECT_EQ(46, SubClientSize().cy);
    EXPECT_EQ(136, SubClientSize().cx);
    EXPECT_EQ(L"喝水", WindowText(sub_));
}

TEST_F(TipTest, ShorterTipClearsUnusedLinesAndKeepsTheirControls) {
    Sub().SetText(kLongChinese);
    const size_t controls = Sub().LineCount();
    ASSERT_GE(controls, 3u);
    const CBexTextWnd* second = Sub().Line(1);
    Sub().SetText(L"喝杯水吧");
    EXPECT_EQ(controls, Sub().LineCount());
    EXPECT_EQ(second, Sub().Line(1));
    EXPECT_EQ(L"喝杯水吧", Sub().ShownLine(0));
    for (size_t i = 1; i < controls; ++i) EXPECT_TRUE(Sub().Line(i)->Text().empty()) << i;
    EXPECT_EQ(46, SubClientSize().cy);
}

TEST_F(TipTest, EmptyTipClearsThePreviousLines) {
    Sub().SetText(kLongChinese);
    Sub().SetLink(L"看一看", 2);
    EXPECT_EQ(-1, Sub().SetText(L""));
    for (size_t i = 0; i < Sub().LineCount(); ++i) EXPECT_TRUE(Sub().Line(i)->Text().empty()) << i;
    EXPECT_EQ(46, SubClientSize().cy);
    EXPECT_EQ(-1, Sub().LinkIndex());
    EXPECT_EQ(L"", WindowText(sub_));
}

TEST_F(TipTest, MarkupInATipIsShownAsWritten) {
    const std::wstring text = L"{&#a=button:1001}点我{&#/a}";
    Sub().SetText(text);
    ExpectBrokenByWidth(text);
    for (size_t i = 0; i < Sub().LineCount(); ++i)
        for (const auto& segment : Sub().Line(i)->Segments()) EXPECT_TRUE(segment.link.empty());
}

TEST_F(TipTest, HugeTipStopsAtTheLineLimit) {
    const std::wstring text(100000, L'x');
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(CSubVynTip::kMaxLines - 1, Sub().SetText(text));
    EXPECT_LT(::GetTickCount() - start, 10000u);
    EXPECT_EQ(static_cast<size_t>(CSubVynTip::kMaxLines), Sub().LineCount());
    EXPECT_EQ(CSubVynTip::kMaxLines * 15 + 16, SubClientSize().cy);
    for (size_t i = 0; i < Sub().LineCount(); ++i) EXPECT_LE(Sub().Line(i)->Width(), 132);
}

TEST_F(TipTest, LinkGoesToTheFirstFreeLine) {
    // A fresh text window with one line: the link gets a line of its own.
    Sub().SetText(L"颈椎操");
    ASSERT_EQ(1u, Sub().LineCount());
    EXPECT_EQ(1, Sub().SetLink(L"立即开始", 3));
    const CBexTextWnd* link = Sub().Line(1);
    ASSERT_NE(link, nullptr);
    const std::wstring markup = L"{&#a=button:1001}立即开始";
    EXPECT_EQ(markup, link->Text());
    EXPECT_EQ(0x33CCFFu, link->LinkColor());
    EXPECT_EQ(0x33CCFFu, link->HoverLinkColor());
    ASSERT_EQ(1u, link->Segments().size());
    EXPECT_EQ(0x33CCFFu, link->SegmentColor(0));
    const int w = Measure(L"立即开始");
    EXPECT_EQ(w, link->Width());
    EXPECT_EQ(std::max(4, std::min(84, 136 - w)), link->Rect().left);
    EXPECT_EQ(19, link->Rect().top);
    EXPECT_EQ(46, SubClientSize().cy);
    EXPECT_EQ(3, Sub().LinkIndex());
    EXPECT_EQ(L"颈椎操\n立即开始", WindowText(sub_));

    // After a longer tip, an emptied line is used again.
    Sub().SetText(kLongChinese);
    const size_t lines = Sub().LineCount();
    Sub().SetText(L"喝水");
    EXPECT_EQ(1, Sub().SetLink(L"看一看", 0));
    EXPECT_EQ(lines, Sub().LineCount());
    const int w3 = Measure(L"看一看");
    EXPECT_EQ(std::max(4, std::min(100, 136 - w3)), Sub().Line(1)->Rect().left);
    EXPECT_EQ(19, Sub().Line(1)->Rect().top);

    // Three lines of text: the link goes on the fourth and the window grows.
    Sub().SetText(kLongChinese);
    int used = 0;
    while (!Sub().ShownLine(static_cast<size_t>(used)).empty()) ++used;
    EXPECT_EQ(used, Sub().SetLink(L"现在就去做吧", 1));
    EXPECT_EQ((used + 1) * 15 + 16, SubClientSize().cy);
}

TEST_F(TipTest, OtherLinkLengthsStayInsideTheWindow) {
    Sub().SetText(L"天气");
    // A new line starts at 109; a longer link is moved left to fit.
    EXPECT_EQ(1, Sub().SetLink(L"查看天气详情", 0));
    const CBexTextWnd* link = Sub().Line(1);
    const int w = Measure(L"查看天气详情");
    EXPECT_EQ(std::max(4, std::min(109, 136 - w)), link->Rect().left);
    EXPECT_LE(link->Rect().left + link->Width(), 136);

    // Longer than a whole line: cut at the line's width.
    Sub().SetText(L"天气");
    std::wstring longLink;
    while (Measure(longLink) <= 200) longLink += L"详";
    Sub().SetLink(longLink, 0);
    EXPECT_EQ(4, Sub().Line(1)->Rect().left);
    EXPECT_EQ(132, Sub().Line(1)->Width());

    EXPECT_EQ(-1, Sub().SetLink(L"", 4));
}

TEST_F(TipTest, LinkClickPostsItsIndexToTheMainWindow) {
    tip_.SetTipText(kLongChinese);
    tip_.SetLinkText(L"立即开始", 7);
    tip_.ShowTip(true);
    int line = 0;
    while (Sub().Line(static_cast<size_t>(line))->Segments().empty() ||
           Sub().Line(static_cast<size_t>(line))->Segments()[0].link.empty())
        ++line;
    // Plain text does nothing.
    Click(POINT{Sub().Line(0)->Rect().left + 5, Sub().Line(0)->Rect().top + 5});
    Pump(50);
    EXPECT_TRUE(main_.reports.empty());

    Click(LinkCentre(line));
    PumpUntil([&] { return !main_.reports.empty(); });
    ASSERT_EQ(1u, main_.reports.size());
    EXPECT_EQ(7u, main_.reports[0].wParam);
    EXPECT_EQ(0, main_.reports[0].lParam);

    // The next tip with another index reports that one.
    tip_.SetTipText(L"喝水");
    tip_.SetLinkText(L"看一看", 0);
    Click(LinkCentre(1));
    PumpUntil([&] { return main_.reports.size() >= 2; });
    ASSERT_EQ(2u, main_.reports.size());
    EXPECT_EQ(0u, main_.reports[1].wParam);
}

TEST_F(TipTest, StrayLinkCommandsReportNothing) {
    tip_.SetTipText(L"喝水");
    // No link shown: even a command from our own line reports nothing.
    ::SendMessageW(sub_, WM_COMMAND, MAKEWPARAM(1001, 0), reinterpret_cast<LPARAM>(Sub().Line(0)));
    tip_.SetLinkText(L"看一看", 2);
    // A command with the link's id that no line of ours sent.
    ::SendMessageW(sub_, WM_COMMAND, MAKEWPARAM(1001, 0), 0);
    ::PostMessageW(sub_, WM_COMMAND, MAKEWPARAM(1001, 0), 0x1234);
    // Another notification code.
    ::SendMessageW(sub_, WM_COMMAND, MAKEWPARAM(1001, 1), reinterpret_cast<LPARAM>(Sub().Line(1)));
    Pump(50);
    EXPECT_TRUE(main_.reports.empty());
    // Once the text is replaced, the link is gone.
    ::SendMessageW(sub_, WM_SET_TIP_TEXT, reinterpret_cast<WPARAM>(L"坚持做完眼保健操哦"), 0);
    EXPECT_EQ(-1, Sub().LinkIndex());
    ::SendMessageW(sub_, WM_COMMAND, MAKEWPARAM(1001, 0), reinterpret_cast<LPARAM>(Sub().Line(1)));
    Pump(50);
    EXPECT_TRUE(main_.reports.empty());
}

TEST_F(TipTest, SetTipTextMessageRebreaksInPlace) {
    tip_.SetTipText(L"喝水");
    tip_.SetLinkText(L"看一看", 0);
    tip_.ShowTip(true);
    const RECT before = WindowRectOf(tip_.Hwnd());
    const std::wstring text = kLongChinese;
    EXPECT_EQ(1, ::SendMessageW(sub_, WM_SET_TIP_TEXT, reinterpret_cast<WPARAM>(text.c_str()), 0));
    ExpectBrokenByWidth(text);
    // The artwork keeps its size until the bubble is shown again.
    const RECT during = WindowRectOf(tip_.Hwnd());
    EXPECT_EQ(before.right - before.left, during.right - during.left);
    EXPECT_EQ(before.bottom - before.top, during.bottom - during.top);
    tip_.ShowTip(true);
    const RECT after = WindowRectOf(tip_.Hwnd()), sub = WindowRectOf(sub_);
    EXPECT_EQ(sub.right - sub.left + 24, after.right - after.left);
    EXPECT_EQ(sub.bottom - sub.top + 33, after.bottom - after.top);
}

TEST_F(TipTest, SetTipTextMessageIgnoresNullAndOtherThreads) {
    tip_.SetTipText(L"喝水");
    EXPECT_EQ(0, ::SendMessageW(sub_, WM_SET_TIP_TEXT, 0, 0));
    EXPECT_EQ(L"喝水", Sub().ShownLine(0));

    LRESULT fromThread = -1;
    HWND target = sub_;
    std::thread sender([&] {
        static const wchar_t text[] = L"来自别的线程";
        fromThread = ::SendMessageW(target, WM_SET_TIP_TEXT, reinterpret_cast<WPARAM>(text), 0);
    });
    while (fromThread == -1) Pump(10);
    sender.join();
    EXPECT_EQ(0, fromThread);
    EXPECT_EQ(L"喝水", Sub().ShownLine(0));
}

TEST_F(TipTest, TipMovePlacesTheBubbleBesideTheMascot) {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    tip_.ShowTip(true);
    const RECT size = WindowRectOf(tip_.Hwnd());
    const int cx = size.right - size.left, cy = size.bottom - size.top;
    struct Case {
        const char* name;
        int left, top;
    };
    const Case cases[] = {
        {"middle", 600, 500},
        {"left edge", static_cast<int>(work.left), 500},
        {"right edge", static_cast<int>(work.right) - 120, 500},
        {"top edge", 600, static_cast<int>(work.top)},
        {"bottom edge", 600, static_cast<int>(work.bottom) - 10},
        {"off the screen", -400, -300},
    };
    for (const Case& c : cases) {
        ::SendMessageW(tip_.Hwnd(), WM_TIP_MOVE, static_cast<WPARAM>(c.left), static_cast<LPARAM>(c.top));
        const int wantX = std::max<int>(work.left, std::min<int>(c.left - 85, work.right - cx));
        const int wantY = std::max<int>(work.top, std::min<int>(c.top + 27 - cy, work.bottom - cy));
        const RECT b = WindowRectOf(tip_.Hwnd()), s = WindowRectOf(sub_);
        EXPECT_EQ(wantX, b.left) << c.name;
        EXPECT_EQ(wantY, b.top) << c.name;
        EXPECT_EQ(cx, b.right - b.left) << c.name;
        EXPECT_EQ(cy, b.bottom - b.top) << c.name;
        EXPECT_EQ(b.left + 9, s.left) << c.name;
        EXPECT_EQ(b.top + 4, s.top) << c.name;
    }
    // In the open the rule is exact.
    ::SendMessageW(tip_.Hwnd(), WM_TIP_MOVE, 600, 500);
    EXPECT_EQ(515, WindowRectOf(tip_.Hwnd()).left);
    EXPECT_EQ(527, WindowRectOf(tip_.Hwnd()).bottom);
}

TEST_F(TipTest, TextWindowMovesOnItsOwnMessage) {
    ::SendMessageW(sub_, WM_TIP_MOVE, 300, 200);
    EXPECT_EQ(309, WindowRectOf(sub_).left);
    EXPECT_EQ(204, WindowRectOf(sub_).top);
}

TEST_F(TipTest, ShowTipLayersPlacesAndShowsBoth) {
    EXPECT_FALSE(::GetWindowLongW(tip_.Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    tip_.SetTipText(kLongChinese);
    tip_.SetLinkText(L"立即开始", 0);
    tip_.ShowTip(true);
    EXPECT_TRUE(::GetWindowLongW(tip_.Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(::IsWindowVisible(tip_.Hwnd()));
    EXPECT_TRUE(::IsWindowVisible(sub_));
    const RECT b = WindowRectOf(tip_.Hwnd()), s = WindowRectOf(sub_), m = WindowRectOf(main_.Hwnd());
    EXPECT_EQ(s.right - s.left + 24, b.right - b.left);
    EXPECT_EQ(s.bottom - s.top + 33, b.bottom - b.top);
    EXPECT_EQ(m.left - 85, b.left);
    EXPECT_EQ(m.top + 27, b.bottom);
    EXPECT_EQ(b.left + 9, s.left);
    EXPECT_EQ(b.top + 4, s.top);

    // The mascot moved while hidden: the next showing follows it.
    tip_.ShowTip(false);
    EXPECT_FALSE(::IsWindowVisible(tip_.Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(sub_));
    ::SetWindowPos(main_.Hwnd(), nullptr, 400, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    tip_.SetTipText(L"喝水");
    tip_.ShowTip(true);
    const RECT b2 = WindowRectOf(tip_.Hwnd());
    EXPECT_EQ(315, b2.left);
    EXPECT_EQ(627, b2.bottom);
    EXPECT_EQ(160, b2.right - b2.left);
    EXPECT_EQ(79, b2.bottom - b2.top);
}

TEST_F(TipTest, ShowingTheTipLeavesTheFocusWhereItWas) {
    PlainWindow editor;
    RECT rc{100, 100, 400, 300};
    ASSERT_NE(editor.Create(L"TipTestEditor", nullptr, &rc, L"editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0), nullptr);
    ::SetForegroundWindow(editor.Hwnd());
    ::SetActiveWindow(editor.Hwnd());
    ::SetFocus(editor.Hwnd());
    PumpUntil([&] { return ::GetActiveWindow() == editor.Hwnd(); });
    ASSERT_EQ(editor.Hwnd(), ::GetActiveWindow());
    tip_.SetTipText(L"喝水");
    tip_.ShowTip(true);
    Pump(50);
    EXPECT_EQ(editor.Hwnd(), ::GetActiveWindow());
    EXPECT_EQ(editor.Hwnd(), ::GetFocus());
    EXPECT_TRUE(::IsWindowVisible(tip_.Hwnd()));
    EXPECT_TRUE(::IsWindowVisible(sub_));
}

TEST_F(TipTest, CloseIsRefused) {
    tip_.ShowTip(true);
    ::SendMessageW(tip_.Hwnd(), WM_CLOSE, 0, 0);
    ::SendMessageW(sub_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(tip_.Hwnd()));
    EXPECT_TRUE(::IsWindow(sub_));
    EXPECT_TRUE(::IsWindowVisible(sub_));
}

TEST_F(TipTest, TextWindowPaintsWhiteLinesAndTheLinkOverItsGround) {
    tip_.SetTipText(L"站起来活动一下筋骨，看看窗外的绿色植物吧");
    tip_.SetLinkText(L"立即开始", 0);
    tip_.ShowTip(true);
    const SIZE size = SubClientSize();

    // The ground as the artwork gives it, drawn here at the same size.
    Surface ground(size.cx, size.cy);
    CBexBitmap* art = BexSkinBitmap(kBexTipTextBack);
    ASSERT_NE(art, nullptr);
    art->Draw(ground.Dc(), 0, 0, size.cx, size.cy, 0);

    Surface shown(size.cx, size.cy);
    shown.Print(sub_);

    int lines = 0;
    while (!Sub().ShownLine(static_cast<size_t>(lines)).empty()) ++lines;
    ASSERT_GE(lines, 3);  // text lines, then the link
    const int linkLine = lines - 1;
    auto inside = [&](int x, int y) {
        for (int i = 0; i < lines; ++i) {
            const RECT& r = Sub().Line(static_cast<size_t>(i))->Rect();
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
        }
        return -1;
    };
    std::vector<int> white(static_cast<size_t>(lines)), linkInk(static_cast<size_t>(lines));
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF c = shown.At(x, y);
            const int line = inside(x, y);
            if (line < 0) {
                ASSERT_EQ(ground.At(x, y), c) << "outside the lines at " << x << "," << y;
                continue;
            }
            if (Near(c, RGB(255, 255, 255), 24)) ++white[line];
            if (Near(c, RGB(0xFF, 0xCC, 0x33), 24)) ++linkInk[line];
        }
    }
    for (int i = 0; i < linkLine; ++i) {
        EXPECT_GT(white[i], 10) << i;
        EXPECT_EQ(0, linkInk[i]) << i;
    }
    EXPECT_EQ(0, white[linkLine]);
    EXPECT_GT(linkInk[linkLine], 10);
}

TEST_F(TipTest, BubbleArtworkIsSeeThroughAroundTheBody) {
    for (const SIZE size : {SIZE{160, 79}, SIZE{160, 124}}) {
        Surface art(size.cx, size.cy);
        ASSERT_TRUE(CVynTipWnd::PaintBubble(art.Dc(), size.cx, size.cy));
        // The body is opaque; the corner beside the tail lets the desktop through.
        EXPECT_EQ(255, art.Alpha(size.cx / 2, (size.cy - 22) / 2)) << size.cy;
        EXPECT_EQ(0, art.Alpha(2, size.cy - 2)) << size.cy;
        EXPECT_EQ(0, art.Alpha(size.cx - 2, size.cy - 2)) << size.cy;
    }
    EXPECT_FALSE(CVynTipWnd::PaintBubble(nullptr, 160, 79));
}

// Holds a two-line tip with a link on the screen for TIP_HOLD_MS
// milliseconds (0 by default), so that it can be looked at.
TEST_F(TipTest, ShowsATwoLineTipWithALink) {
    tip_.SetTipText(L"站起来活动一下筋骨，看看窗外的绿色植物吧");
    tip_.SetLinkText(L"立即开始", 0);
    tip_.ShowTip(true);
    const char* hold = std::getenv("TIP_HOLD_MS");
    Pump(hold ? static_cast<DWORD>(std::atoi(hold)) : 100);
    EXPECT_TRUE(::IsWindowVisible(tip_.Hwnd()));
    // The text window's own text says what it shows, line by line.
    std::wstring expected;
    for (size_t i = 0; !Sub().ShownLine(i).empty(); ++i) expected += (i ? L"\n" : L"") + Sub().ShownLine(i);
    EXPECT_EQ(expected, WindowText(sub_));
    EXPECT_EQ(L"\n立即开始", expected.substr(expected.size() - 5));
}
