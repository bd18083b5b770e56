#include "base/registry_values.h"

#include <gtest/gtest.h>

#include <string>

#include "base/handles.h"

namespace {

// A key of this process's own under HKCU, so that parallel runs do not meet.
class RegistryValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = L"Software\\CorvalleBaseTests\\" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, key_.Put(), nullptr));
    }
    void TearDown() override {
        key_.Reset();
        ::RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    }
    void Raw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key_.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes));
    }

    std::wstring path_;
    base::RegKey key_;
};

TEST_F(RegistryValuesTest, TextsRoundTripAndStopAtTheirFirstNul) {
    ASSERT_TRUE(base::WriteRegText(key_.Get(), L"plain", L"C:\\Program Files\\x"));
    Raw(L"expand", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));
    Raw(L"unterminated", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    Raw(L"inner", REG_SZ, L"ab\0cd", 6 * sizeof(wchar_t));
    const DWORD number = 7;
    Raw(L"number", REG_DWORD, &number, sizeof(number));
    struct Case {
        const wchar_t* name;
        bool ok;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"plain", true, L"C:\\Program Files\\x"},
        {L"expand", true, L"%TEMP%"},  // as stored, not expanded
        {L"unterminated", true, L"abc"},
        {L"inner", true, L"ab"},
        {L"number", false, L"stale"},
        {L"missing", false, L"stale"},
    };
    for (const Case& c : cases) {
        std::wstring text = L"stale";
        EXPECT_EQ(c.ok, base::ReadRegText(key_.Get(), c.name, text)) << c.name;
        EXPECT_EQ(c.text, text) << c.name;
    }
}

TEST_F(RegistryValuesTest, BoundedTextsRefuseWhatWouldNotFit) {
    const std::wstring nine(9, L'x'), ten(10, L'x');
    ASSERT_TRUE(base::WriteRegText(key_.Get(), L"nine", nine));
    ASSERT_TRUE(base::WriteRegText(key_.Get(), L"ten", ten));
    Raw(L"nineUnterminated", REG_SZ, nine.c_str(), 9 * sizeof(wchar_t));
    Raw(L"tenUnterminated", REG_SZ, ten.c_str(), 10 * sizeof(wchar_t));
    struct Case {
        const wchar_t* name;
        bool ok;
    };
    const Case cases[] = {
        {L"nine", true}, {L"ten", false}, {L"nineUnterminated", true}, {L"tenUnterminated", false}, {L"none", false},
    };
    for (const Case& c : cases) {
        std::wstring text;
        EXPECT_EQ(c.ok, base::ReadRegTextBounded(key_.Get(), c.name, 10, text)) << c.name;
        if (c.ok) {
            EXPECT_EQ(nine, text) << c.name;
        }
    }
    Raw(L"expand", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));
    std::wstring text;
    EXPECT_TRUE(base::ReadRegTextBounded(key_.Get(), L"expand", 10, text));
    EXPECT_EQ(L"%TEMP%", text);
    EXPECT_FALSE(base::ReadRegTextBounded(key_.Get(), L"expand", 10, text, base::RegTextTypes::PlainOnly));
    EXPECT_TRUE(base::ReadRegTextBounded(key_.Get(), L"nine", 10, text, base::RegTextTypes::PlainOnly));
}

TEST_F(RegistryValuesTest, DwordsMustBeFourBytesOfTheirType) {
    ASSERT_TRUE(base::WriteRegDword(key_.Get(), L"dword", 0xDEADBEEF));
    const unsigned long long wide = 5;
    Raw(L"qword", REG_QWORD, &wide, sizeof(wide));
    Raw(L"binary", REG_BINARY, &wide, 4);
    ASSERT_TRUE(base::WriteRegText(key_.Get(), L"text", L"5"));
    struct Case {
        const wchar_t* name;
        bool ok;
        DWORD value;
    };
    const Case cases[] = {
        {L"dword", true, 0xDEADBEEF}, {L"qword", false, 1}, {L"binary", false, 1},
        {L"text", false, 1},          {L"none", false, 1},
    };
    for (const Case& c : cases) {
        DWORD value = 1;
        EXPECT_EQ(c.ok, base::ReadRegDword(key_.Get(), c.name, value)) << c.name;
        EXPECT_EQ(c.value, value) << c.name;
    }
}

TEST_F(RegistryValuesTest, ARefusedWriteLeavesTheRegistrysCodeAsTheLastError) {
    base::RegKey readOnly;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, readOnly.Put()));
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(base::WriteRegText(readOnly.Get(), L"text", L"5"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(base::WriteRegDword(readOnly.Get(), L"dword", 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
}

}  // namespace
