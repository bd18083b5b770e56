#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/log.h"
#include "tests/support/debug_output.h"

namespace {

std::string Ansi(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

TEST(LogTest, AFailedCallIsLoggedWithItsPlaceAndTheSystemsTextAndKeepsTheError) {
    const testsupport::DebugOutputCapture capture;
    const HANDLE file = ::CreateFileW(L"C:\\no such folder\\settings.ini", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    ASSERT_EQ(file, INVALID_HANDLE_VALUE);
    const DWORD code = ::GetLastError();
    EXPECT_EQ(base::LogFailedCall(L"reading the settings", L"CreateFileW"), code);
    EXPECT_EQ(::GetLastError(), code) << "the caller still sees the cause";

    const std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    EXPECT_EQ(line.rfind("base_unit_tests: reading the settings: CreateFileW failed: 3 ", 0), 0u) << line;
    // The system's words for "path not found", in the prefix's language.
    wchar_t text[256] = {};
    ASSERT_NE(::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               ERROR_PATH_NOT_FOUND, 0, text, 256, nullptr),
              0u);
    std::wstring words(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r')) words.pop_back();
    EXPECT_NE(line.find(Ansi(words)), std::string::npos) << line;
    EXPECT_EQ(line.back(), '\n');
}

}  // namespace
