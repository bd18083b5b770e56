#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/log.h"

namespace {

// The debug output of this process, as a debugger would see it: the system
// raises each line as an exception that a vectored handler sees first.
std::vector<std::string> g_lines;

LONG CALLBACK Capture(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2) {
        // The length counts the terminator.
        const auto* text = reinterpret_cast<const char*>(r->ExceptionInformation[1]);
        g_lines.emplace_back(text, ::strnlen(text, static_cast<size_t>(r->ExceptionInformation[0])));
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

std::string Ansi(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

TEST(LogTest, AFailedCallIsLoggedWithItsPlaceAndTheSystemsTextAndKeepsTheError) {
    void* handler = ::AddVectoredExceptionHandler(1, Capture);
    ASSERT_NE(handler, nullptr);
    g_lines.clear();
    const HANDLE file = ::CreateFileW(L"C:\\no such folder\\settings.ini", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    ASSERT_EQ(file, INVALID_HANDLE_VALUE);
    const DWORD code = ::GetLastError();
    EXPECT_EQ(base::LogFailedCall(L"reading the settings", L"CreateFileW"), code);
    EXPECT_EQ(::GetLastError(), code) << "the caller still sees the cause";
    ::RemoveVectoredExceptionHandler(handler);

    ASSERT_EQ(g_lines.size(), 1u);
    const std::string& line = g_lines[0];
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
