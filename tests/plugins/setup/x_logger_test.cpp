#include "plugins/setup/x_logger.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <thread>

#include "tests/support/debug_output.h"
#include "tests/plugins/setup/setup_test_files.h"

using namespace setup;

namespace {

using setuptest::ReadBytes;
using setuptest::WorkPath;

// A host program named after the test, so log files never collide.
std::wstring Host(const wchar_t* name, const wchar_t* log, const wchar_t* filter = nullptr) {
    const std::wstring ini = WorkPath(L"xLogConfig.ini");
    const std::wstring program = std::wstring(L"xlog_") + name + L".exe";
    if (log) ::WritePrivateProfileStringW(program.c_str(), L"log", log, ini.c_str());
    if (filter) ::WritePrivateProfileStringW(program.c_str(), L"filter", filter, ini.c_str());
    return WorkPath(program);
}

std::wstring LogFile(const std::wstring& host) {
    wchar_t appData[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    return std::wstring(appData) + L"\\Tarvisk\\ZubPellor\\Logs\\" + host.substr(host.rfind(L'\\') + 1) + L".log";
}

std::wstring Text(const std::vector<uint8_t>& bytes) {
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

void Start(const std::wstring& host) { setuptest::RemoveFile(LogFile(host)); }

// With no settings for this program the log is off; a failure still reaches
// the debug output, once, and leaves the caller's last error.
TEST(XLogger, AFailureReachesTheDebugOutputWhileTheLogIsOff) {
    ASSERT_FALSE(Logger().ToDebugger() || Logger().ToFile());
    const testsupport::DebugOutputCapture capture;
    ::SetLastError(ERROR_ACCESS_DENIED);
    LogFailure(L"C:\\links\\a.lnk", L"MoveFileExW");
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    LogFailureLine(L"C:\\x\\z.dll", L"no entry DllRegisterServer");
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("setup_unit_tests: C:\\links\\a.lnk: MoveFileExW failed: 5 ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "setup_unit_tests: C:\\x\\z.dll: no entry DllRegisterServer\n");
}

TEST(XLogger, OffWithoutSettingsAndMakesNothing) {
    for (const wchar_t* log : {static_cast<const wchar_t*>(nullptr), L"abc", L"0"}) {
        const std::wstring host = Host(log ? L"off_value" : L"off_missing", log);
        Start(host);
        CxLogger logger(host);
        logger.Log(L"RUC", L"nothing %d", 1);
        EXPECT_FALSE(logger.ToFile() || logger.ToDebugger());
        EXPECT_EQ(::GetFileAttributesW(LogFile(host).c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST(XLogger, WritesTaggedUtf16LinesAndAppends) {
    const std::wstring host = Host(L"file", L"2");
    Start(host);
    {
        CxLogger logger(host);
        EXPECT_TRUE(logger.ToFile());
        EXPECT_FALSE(logger.ToDebugger());
        logger.Log(L"RUC", L"Condition satisfy at [%u] %ls", 3u, L"\u4e2d");
        logger.Log(nullptr, L"untagged");
    }
    const std::vector<uint8_t> first = ReadBytes(LogFile(host));
    ASSERT_GE(first.size(), 10u);
    EXPECT_EQ(std::vector<uint8_t>(first.begin(), first.begin() + 10),
              (std::vector<uint8_t>{0x5B, 0, 0x52, 0, 0x55, 0, 0x43, 0, 0x5D, 0}));
    EXPECT_EQ(Text(first), L"[RUC] Condition satisfy at [3] \u4e2d\r\n[] untagged\r\n");

    CxLogger second(host);
    second.Log(L"RUC", L"again");
    EXPECT_EQ(Text(ReadBytes(LogFile(host))), Text(first) + L"[RUC] again\r\n");
}

TEST(XLogger, FilterKeepsOnlyItsTags) {
    const std::wstring host = Host(L"filter", L"3", L"XYZ,RUC");
    Start(host);
    CxLogger logger(host);
    logger.Log(L"OTHER", L"dropped");
    logger.Log(nullptr, L"dropped too");
    logger.Log(L"RUC", L"kept");
    logger.Log(L"ruc", L"case matters");
    EXPECT_EQ(Text(ReadBytes(LogFile(host))), L"[RUC] kept\r\n");

    // A filter is read to 260 characters: a tag beyond that is not in it.
    const std::wstring cut = Host(L"filter_cut", L"2", (std::wstring(260, L'x') + L"RUC").c_str());
    Start(cut);
    CxLogger cutLogger(cut);
    cutLogger.Log(L"RUC", L"dropped");
    cutLogger.Log(L"xxx", L"kept");
    EXPECT_EQ(Text(ReadBytes(LogFile(cut))), L"[xxx] kept\r\n");
}

TEST(XLogger, LongMessagesAreCut) {
    const std::wstring host = Host(L"long", L"2");
    Start(host);
    CxLogger logger(host);
    const std::wstring message(5000, L'm');
    logger.Log(L"tag", L"%ls", message.c_str());
    EXPECT_EQ(Text(ReadBytes(LogFile(host))), L"[tag] " + std::wstring(4095, L'm') + L"\r\n");
}

TEST(XLogger, TwoWritersLeaveWholeLines) {
    const std::wstring host = Host(L"two", L"2");
    Start(host);
    CxLogger a(host), b(host);  // two handles, as two processes have
    auto write = [](CxLogger* logger, const wchar_t* tag) {
        for (int i = 0; i < 1000; ++i) logger->Log(tag, L"line %04d of a writer", i);
    };
    std::thread first(write, &a, L"A"), second(write, &b, L"B");
    first.join();
    second.join();
    const std::wstring text = Text(ReadBytes(LogFile(host)));
    size_t lines = 0, start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2, ++lines) {
        const std::wstring line = text.substr(start, end - start);
        ASSERT_EQ(line.size(), 25u) << lines;
        ASSERT_TRUE(line.compare(0, 4, L"[A] ") == 0 || line.compare(0, 4, L"[B] ") == 0) << lines;
    }
    EXPECT_EQ(lines, 2000u);
    EXPECT_EQ(start, text.size());
}

}  // namespace
