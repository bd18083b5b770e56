#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int kNone = 12345;  // stands for "refused"

TEST(BaseNumbers, DecimalRule) {
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"42", 42},           {L"  -7 ", -7},        {L"+8", 8},
        {L"2147483647", 2147483647}, {L"-2147483647", -2147483647},
        {L"2147483648", kNone}, {L"-2147483648", kNone}, {L"", kNone},
        {L" ", kNone},         {L"-", kNone},         {L"1 2", kNone},
        {L"\t3", kNone},       {L"0x10", kNone},      {L"12a", kNone},
    };
    for (const Case& c : cases) {
        int value = kNone;
        EXPECT_EQ(c.value != kNone, base::ParseDecimal(c.text, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
        EXPECT_EQ(c.value, base::DecimalOr(c.text, kNone)) << c.text;
    }
}

TEST(BaseNumbers, DecimalOrHexRule) {
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"42", 42},
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", kNone},
        {L"$FF", 255},
        {L"0x7fffffff", 0x7FFFFFFF},
        {L"0xFFFFFFFF", -1},
        {L"0x100000000", kNone},
        {L"-$10", 16},  // the sign does not reach a hexadecimal number
        {L" 1", kNone},
        {L"0x", kNone},
        {L"", kNone},
        {L"1g", kNone},
    };
    for (const Case& c : cases) {
        int value = kNone;
        EXPECT_EQ(c.value != kNone, base::ParseDecimalOrHex(c.text, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
}

TEST(BaseNumbers, LeadingIntegerRule) {
    struct Case {
        const wchar_t* text;
        int32_t value;
    };
    const Case cases[] = {
        {L"12abc", 12},         {L"  -3", -3},   {L"abc", 0},
        {L"", 0},               {L"99999999999", 2147483647},
        {L"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, base::LeadingInteger(c.text)) << c.text;
}

TEST(BaseNumbers, LeadingUnsignedRule) {
    EXPECT_EQ(base::LeadingUnsigned(L" 12abc"), 12u);
    EXPECT_EQ(base::LeadingUnsigned(L"-1"), 4294967295u) << "negated modulo 2^32";
    EXPECT_EQ(base::LeadingUnsigned(L"4294967296"), 4294967295u);
    EXPECT_EQ(base::LeadingUnsigned(L"x"), 0u);
}

// Digits only, held at the largest 64-bit value instead of wrapping round.
TEST(BaseNumbers, DigitRules) {
    constexpr uint64_t kLargest = 18446744073709551615ull;
    constexpr uint64_t kRefused = 7;
    struct Case {
        const wchar_t* text;
        uint64_t whole;    // ParseDigits, kRefused when refused
        uint64_t leading;  // LeadingDigits
    };
    const Case cases[] = {
        {L"0", 0, 0},
        {L"0042", 42, 42},
        {L"18446744073709551615", kLargest, kLargest},
        {L"18446744073709551616", kLargest, kLargest},
        {L"20000000000000000000", kLargest, kLargest},
        {L"99999999999999999999999", kLargest, kLargest},
        {L"12 MB", kRefused, 12},
        {L"", kRefused, 0},
        {L" 1", kRefused, 0},
        {L"+1", kRefused, 0},
        {L"-1", kRefused, 0},
        {L"\xFF11", kRefused, 0},  // a full-width digit is no digit
    };
    for (const Case& c : cases) {
        uint64_t value = kRefused;
        EXPECT_EQ(c.whole != kRefused, base::ParseDigits(c.text, value)) << c.text;
        EXPECT_EQ(c.whole, value) << c.text;
        EXPECT_EQ(c.leading, base::LeadingDigits(c.text)) << c.text;
    }
}

// How far a leading read goes, in either radix, and what it holds.
TEST(BaseNumbers, LeadingDigitRunRules) {
    constexpr uint64_t kLargest = 18446744073709551615ull;
    struct Case {
        const wchar_t* text;
        bool hex;
        uint64_t value;
        size_t count;
    };
    const Case cases[] = {
        {L"1234abc", false, 1234, 4},
        {L"", false, 0, 0},
        {L"x1", false, 0, 0},
        {L"ff8800", true, 0xFF8800, 6},
        {L"1A2bzz", true, 0x1A2B, 4},
        {L"0x10", true, 0, 1},  // the prefix is the caller's
        {L"g", true, 0, 0},
        {L"-1", true, 0, 0},
        {L"ffffffffffffffff", true, kLargest, 16},
        {L"10000000000000000", true, kLargest, 17},
    };
    for (const Case& c : cases) {
        size_t count = 99;
        const uint64_t value = c.hex ? base::LeadingHexDigits(c.text, &count) : base::LeadingDigits(c.text, &count);
        EXPECT_EQ(c.value, value) << c.text;
        EXPECT_EQ(c.count, count) << c.text;
    }
}

// A rating or score is a decimal fraction at the start of its text.
TEST(BaseNumbers, LeadingFractionRule) {
    struct Case {
        const wchar_t* text;
        double value;
        size_t count;
    };
    const Case cases[] = {
        {L" 4.5\x5206", 4.5, 4}, {L"-1e1x", -10.0, 4}, {L"", 0.0, 0}, {L"x2", 0.0, 0}, {L".", 0.0, 0},
    };
    for (const Case& c : cases) {
        size_t count = 99;
        EXPECT_EQ(c.value, base::LeadingFraction(c.text, &count)) << c.text;
        EXPECT_EQ(c.count, count) << c.text;
    }
}

}  // namespace
