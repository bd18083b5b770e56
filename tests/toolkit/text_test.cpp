// The rich-text markup as a pure function, and the text control's layout,
// colours and links in a real host.
#include <gtest/gtest.h>

#include "toolkit/bex_text_wnd.h"
#include "toolkit_test_support.h"

using namespace toolkit;

using namespace toolkit_test;

TEST(Markup, CountdownLineGivesTwoSegments) {
    auto s = ParseBexMarkup(L"{&#font=6}{&#color=0x246ce3} 60 {&#/color}{&#/font}秒后执行关机事件");
    ASSERT_EQ(2u, s.size());
    EXPECT_EQ(L" 60 ", s[0].text);
    EXPECT_EQ(6, s[0].fontNumber);
    EXPECT_EQ(0x246CE3, s[0].color);
    EXPECT_EQ(L"秒后执行关机事件", s[1].text);
    EXPECT_EQ(0, s[1].fontNumber);
    EXPECT_EQ(-1, s[1].color);
}

TEST(Markup, PlainTextIsOneDefaultSegment) {
    auto s = ParseBexMarkup(L"为方便使用，你是否选择：");
    ASSERT_EQ(1u, s.size());
    EXPECT_EQ(0, s[0].fontNumber);
    EXPECT_EQ(-1, s[0].color);
    EXPECT_TRUE(s[0].link.empty());
    EXPECT_TRUE(ParseBexMarkup(L"").empty());
}

TEST(Markup, LinksAndTheirColours) {
    auto s = ParseBexMarkup(L"{&#a=button:3}暂不执行");
    ASSERT_EQ(1u, s.size());
    EXPECT_EQ(L"button:3", s[0].link);
    EXPECT_EQ(-1, s[0].color);

    // "/acolor" closes the link colour and leaves the link open; "/a" ends it.
    s = ParseBexMarkup(L"{&#color=5}{&#A=http://x/?a=1}{&#ACOLOR=#ff}one{&#/acolor}two{&#/a}three");
    ASSERT_EQ(3u, s.size());
    EXPECT_EQ(L"http://x/?a=1", s[0].link);
    EXPECT_EQ(0xFF, s[0].color);
    EXPECT_EQ(L"http://x/?a=1", s[1].link);
    EXPECT_EQ(-1, s[1].color);  // a link without its own colour
    EXPECT_TRUE(s[2].link.empty());
    EXPECT_EQ(5, s[2].color);
}

TEST(Markup, NestingUnbalancedUnknownAndUnclosedTags) {
    auto s = ParseBexMarkup(L"{&#font=2}a{&#font=7}b{&#/font}c{&#/font}d{&#/font}{&#/font}e");
    ASSERT_EQ(5u, s.size());
    EXPECT_EQ(2, s[0].fontNumber);
    EXPECT_EQ(7, s[1].fontNumber);
    EXPECT_EQ(2, s[2].fontNumber);
    EXPECT_EQ(0, s[3].fontNumber);
    EXPECT_EQ(0, s[4].fontNumber);

    s = ParseBexMarkup(L"x{&#blink}y{&#font=9}z{&#font=abc}w");
    ASSERT_EQ(4u, s.size());
    EXPECT_EQ(L"x", s[0].text);
    EXPECT_EQ(L"y", s[1].text);
    EXPECT_EQ(0, s[2].fontNumber);  // 9 and "abc" select nothing
    EXPECT_EQ(0, s[3].fontNumber);

    s = ParseBexMarkup(L"ab{&#color=0x10");
    ASSERT_EQ(1u, s.size());
    EXPECT_EQ(L"ab{&#color=0x10", s[0].text);

    s = ParseBexMarkup(L"a}b{c{&#color=#zz}d");
    ASSERT_EQ(2u, s.size());
    EXPECT_EQ(L"a}b{c", s[0].text);
    EXPECT_EQ(0, s[1].color);  // no valid digits: 0

    s = ParseBexMarkup(L"{&#color=12345678901}q{&#color=0X1a2B}r");
    ASSERT_EQ(2u, s.size());
    EXPECT_EQ(0x1A2B, s[1].color);
}

TEST(Markup, NumbersReadAsFarAsTheyAreValid) {
    long long v = 0;
    EXPECT_TRUE(ParseBexNumber(L"#ff", &v));
    EXPECT_EQ(255, v);
    EXPECT_TRUE(ParseBexNumber(L"0x246ce3zz", &v));
    EXPECT_EQ(0x246CE3, v);
    EXPECT_TRUE(ParseBexNumber(L"1234abc", &v));
    EXPECT_EQ(1234, v);
    EXPECT_FALSE(ParseBexNumber(L"", &v));
    EXPECT_FALSE(ParseBexNumber(L"0x", &v));
}

namespace {

std::vector<std::wstring> g_opened;
void RecordOpen(const wchar_t* target) { g_opened.push_back(target); }

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(1200, 1000);
        ASSERT_TRUE(host.Open(400, 100));
        text.Attach(&host, 3, 0);
        host.SetWndPos(&text, 10, 10);
        CBexTextWnd::SetShellOpener(&RecordOpen);
        g_opened.clear();
    }
    void TearDown() override { CBexTextWnd::SetShellOpener(nullptr); }
    POINT Centre(int segment) {
        const RECT& r = text.Segments()[segment].rect;
        return POINT{10 + (r.left + r.right) / 2, 10 + (r.top + r.bottom) / 2};
    }
    void Click(POINT p) {
        host.Move(p.x, p.y);
        host.Down(p.x, p.y);
        host.Up(p.x, p.y);
    }
    TestHost host;
    CBexTextWnd text;
};

}  // namespace

TEST_F(TextTest, LayoutSharesTheBottomEdgeAndSizesTheControl) {
    text.SetText(L"{&#font=8}Big{&#/font}small");
    ASSERT_EQ(2u, text.Segments().size());
    SIZE big{}, small{};
    MeasureText(BexFont(8), -1, L"Big", &big);
    MeasureText(BexFont(3), -1, L"small", &small);
    const RECT& a = text.Segments()[0].rect;
    const RECT& b = text.Segments()[1].rect;
    EXPECT_EQ(0, a.left);
    EXPECT_EQ(big.cx, a.right);
    EXPECT_EQ(a.right, b.left);
    EXPECT_EQ(a.bottom, b.bottom);
    EXPECT_EQ(big.cy - small.cy, b.top);
    EXPECT_EQ(big.cx + small.cx, text.Width());
    EXPECT_EQ(big.cy, text.Height());
    EXPECT_TRUE(text.IsTransparent());
}

TEST_F(TextTest, MaximumWidthCapsTheControl) {
    text.SetMaxWidth(100);
    text.SetText(L"A fairly long line of text that will not fit in one hundred pixels");
    EXPECT_EQ(100, text.Width());
    EXPECT_GT(text.Segments()[0].rect.right, 100);
    // Nothing is painted right of the clip edge.
    host.background = RGB(255, 255, 255);
    PixelSurface s(400, 100);
    s.Print(host.Hwnd());
    for (int y = 10; y < 10 + text.Height(); ++y)
        for (int x = 110; x < 200; ++x) ASSERT_EQ(RGB(255, 255, 255), s.At(x, y)) << x << "," << y;
    bool inked = false;
    for (int y = 10; y < 10 + text.Height() && !inked; ++y)
        for (int x = 10; x < 110 && !inked; ++x) inked = s.At(x, y) != RGB(255, 255, 255);
    EXPECT_TRUE(inked);
}

TEST_F(TextTest, LinkColoursFollowHover) {
    text.SetText(L"go {&#a=button:3}here{&#/a} {&#acolor=#ff}{&#a=button:4}red{&#/a}");
    ASSERT_EQ(4u, text.Segments().size());
    EXPECT_EQ(0u, text.SegmentColor(0));
    EXPECT_EQ(0x984E00u, text.SegmentColor(1));
    EXPECT_EQ(0x0000FFu, text.SegmentColor(3));
    host.Move(Centre(1).x, Centre(1).y);
    EXPECT_EQ(1, text.HoveredLink());
    EXPECT_EQ(0xDA7003u, text.SegmentColor(1));
    host.Move(Centre(3).x, Centre(3).y);
    EXPECT_EQ(0xDA7003u, text.SegmentColor(3));
    EXPECT_EQ(0x984E00u, text.SegmentColor(1));
    host.Move(Centre(0).x, Centre(0).y);  // plain text: no link hovered
    EXPECT_EQ(-1, text.HoveredLink());

    // The same text again changes nothing, not even the hover.
    host.Move(Centre(1).x, Centre(1).y);
    EXPECT_EQ(0, text.SetText(text.Text().c_str()));
    EXPECT_EQ(1, text.HoveredLink());
    EXPECT_EQ(1, text.SetText(L"other"));
    EXPECT_EQ(-1, text.HoveredLink());
}

TEST_F(TextTest, ClickingACommandLinkSendsItsId) {
    text.SetText(L"{&#a=button:3}暂不执行");
    Click(Centre(0));
    ASSERT_EQ(1u, host.commands.size());
    EXPECT_EQ(3, host.commands[0].id);
    EXPECT_EQ(0, host.commands[0].code);

    text.SetText(L"{&#a=BUTTON:0x10}hex");
    Click(Centre(0));
    ASSERT_EQ(2u, host.commands.size());
    EXPECT_EQ(16, host.commands[1].id);
    EXPECT_TRUE(g_opened.empty());

    text.SetText(L"see {&#a=http://example.invalid/}this");
    Click(Centre(1));
    ASSERT_EQ(1u, g_opened.size());
    EXPECT_EQ(L"http://example.invalid/", g_opened[0]);
    EXPECT_EQ(2u, host.commands.size());
}

TEST_F(TextTest, ReleasingOutsideOrChangingTheTextFiresNothing) {
    text.SetText(L"{&#a=button:3}暂不执行");
    const POINT p = Centre(0);
    host.Move(p.x, p.y);
    host.Down(p.x, p.y);
    EXPECT_EQ(0, text.PressedLink());
    host.Move(390, 90);
    host.Up(390, 90);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(-1, text.PressedLink());

    // A new text while the link is held: the old link never fires.
    host.Move(p.x, p.y);
    host.Down(p.x, p.y);
    ASSERT_EQ(&text, host.CapturedWnd());
    text.SetText(L"{&#a=button:3}暂不执行 ");
    EXPECT_EQ(nullptr, host.CapturedWnd());
    host.Up(p.x, p.y);
    EXPECT_TRUE(host.commands.empty());
}

TEST_F(TextTest, CursorIsAHandOverLinksOnly) {
    text.SetText(L"plain{&#a=button:1}link");
    const RECT& plain = text.Segments()[0].rect;
    const RECT& link = text.Segments()[1].rect;
    EXPECT_EQ(0, text.OnSetCursor(POINT{(plain.left + plain.right) / 2, plain.bottom - 2}));
    EXPECT_EQ(1, text.OnSetCursor(POINT{(link.left + link.right) / 2, link.bottom - 2}));
}
