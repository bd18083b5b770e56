#include "base/text.h"

#include <gtest/gtest.h>

namespace {

TEST(BaseText, LowerCaseRules) {
    struct Case {
        const wchar_t* text;
        const wchar_t* ascii;
        const wchar_t* system;
    };
    const Case cases[] = {
        {L"", L"", L""},
        {L"Mirelo.EXE /Eye", L"mirelo.exe /eye", L"mirelo.exe /eye"},
        {L"\x00C4RGER", L"\x00C4rger", L"\x00E4rger"},  // only the system's rule knows letters past Z
        {L"@[`{", L"@[`{", L"@[`{"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.ascii, base::LowerAscii(c.text)) << c.text;
        EXPECT_EQ(c.system, base::LowerCase(c.text)) << c.text;
    }
    EXPECT_EQ(L"ABC\x00C4", base::UpperCase(L"abc\x00E4"));
}

TEST(BaseText, TrimKeepsToItsBlankSet) {
    struct Case {
        const wchar_t* blanks;
        const wchar_t* text;
        const wchar_t* trimmed;
    };
    const Case cases[] = {
        {base::kSpaceAndTab, L" \t.txt\t ", L".txt"},
        {base::kSpaceAndTab, L"\r\n.txt", L"\r\n.txt"},
        {base::kTypedBlanks, L"\x3000\r\n 喝水 \x3000", L"喝水"},
        {base::kTypedBlanks, L"\v\f", L"\v\f"},
        {base::kCWhiteSpace, L"\v\f C:\\a b \r\n", L"C:\\a b"},
        {base::kCWhiteSpace, L"\x3000x", L"\x3000x"},
        {base::kCWhiteSpace, L"   ", L""},
        {base::kSpaceAndTab, L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.trimmed, base::Trim(c.text, c.blanks)) << c.text;
}

TEST(BaseText, CodePages) {
    EXPECT_EQ(L"h\x00E9llo", base::Utf8ToWide("h\xC3\xA9llo"));
    EXPECT_EQ(std::wstring(L"a\0b", 3), base::Utf8ToWide(std::string("a\0b", 3)));
    EXPECT_EQ(L"a\xFFFD" L"b", base::Utf8ToWide("a\xFF" "b"));
    EXPECT_EQ(L"", base::Utf8ToWide(""));
    EXPECT_EQ(L"ab", base::ToWideFromCodePage("ab\0cd", CP_UTF8));
    EXPECT_EQ(L"", base::ToWideFromCodePage(static_cast<const char*>(nullptr), CP_UTF8));
    EXPECT_EQ("h\xC3\xA9", base::ToCodePageFromWide(L"h\x00E9", CP_UTF8));
    EXPECT_EQ("", base::ToCodePageFromWide(nullptr, CP_UTF8));

    struct Strict {
        std::string bytes;
        bool ok;
        const wchar_t* text;
    };
    const Strict cases[] = {
        {"", true, L""},
        {"caf\xC3\xA9", true, L"caf\x00E9"},
        {"caf\xC3", false, L""},
        {"\xFF\xFE", false, L""},
    };
    for (const Strict& c : cases) {
        std::wstring out = L"stale";
        EXPECT_EQ(c.ok, base::StrictUtf8ToWide(c.bytes.data(), c.bytes.size(), out)) << c.bytes;
        EXPECT_EQ(c.text, out) << c.bytes;
    }
}

}  // namespace
