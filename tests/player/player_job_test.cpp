#include <gtest/gtest.h>

#include "player/player_job.h"

using namespace player;

namespace {

struct JobCase {
    const wchar_t* line;
    PlayerJobKind kind;
    const wchar_t* target;
};

class PlayerJobTest : public ::testing::TestWithParam<JobCase> {};

TEST_P(PlayerJobTest, TheCommandLineDecidesTheJob) {
    const PlayerJob job = ParsePlayerJob(GetParam().line);
    EXPECT_EQ(job.kind, GetParam().kind);
    EXPECT_EQ(job.target, GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PlayerJobTest,
    ::testing::Values(
        JobCase{L"http://127.0.0.1:8080/sed_api_weather_info.php?app=firewall&code=101010100&xml",
                PlayerJobKind::Download,
                L"http://127.0.0.1:8080/sed_api_weather_info.php?app=firewall&code=101010100&xml"},
        // the test is made after lower-casing, and the lower-cased URL is fetched
        JobCase{L"HTTP://Host/Weather.XML", PlayerJobKind::Download, L"http://host/weather.xml"},
        JobCase{L"a.xml", PlayerJobKind::Download, L"a.xml"},
        JobCase{L".xml", PlayerJobKind::Play, L".xml"},
        JobCase{L"xml", PlayerJobKind::Play, L"xml"},
        JobCase{L"C:\\Sounds\\Ring.WAV", PlayerJobKind::Play, L"c:\\sounds\\ring.wav"},
        JobCase{L"C:\\铃声\\提醒.MP3", PlayerJobKind::Play, L"c:\\铃声\\提醒.mp3"},
        // quotes are part of the text: a quoted path is played as it stands
        JobCase{L"\"c:\\a b\\x.wav\"", PlayerJobKind::Play, L"\"c:\\a b\\x.wav\""},
        JobCase{L"", PlayerJobKind::None, L""},
        JobCase{nullptr, PlayerJobKind::None, L""}));

TEST(PlayerTextTest, LastThreeCharsAndLowerCase) {
    EXPECT_EQ(LastThreeChars(L"abcdef"), L"def");
    EXPECT_EQ(LastThreeChars(L"ab"), L"ab");
    EXPECT_EQ(LastThreeChars(L""), L"");
    EXPECT_EQ(ToLowerAscii(L"AbC-ÄZ中"), L"abc-Äz中");
}

TEST(DatedFileTest, IsTheLocalDateInTheTemporaryFolder) {
    SYSTEMTIME day{};
    day.wYear = 2026;
    day.wMonth = 3;
    day.wDay = 7;
    EXPECT_EQ(DatedWeatherXml(L"C:\\Temp\\", day), L"C:\\Temp\\20260307.xml");
    EXPECT_EQ(DatedWeatherXml(L"", day), L"20260307.xml");
}

}  // namespace

#include "player/download_watcher.h"

namespace {

TEST(ContentLengthTest, ReadsTheHeaderAtALineStartInAnyCase) {
    EXPECT_EQ(ContentLengthFromHeaders(L"HTTP/1.1 200 OK\r\nContent-Length: 1234\r\n\r\n"), 1234);
    EXPECT_EQ(ContentLengthFromHeaders(L"HTTP/1.1 200 OK\r\ncontent-length:7\r\n"), 7);
    EXPECT_EQ(ContentLengthFromHeaders(L"HTTP/1.1 200 OK\r\nX-Old-Content-Length: 9\r\n"), -1);
    EXPECT_EQ(ContentLengthFromHeaders(L"HTTP/1.1 200 OK\r\nContent-Length: none\r\n"), -1);
    EXPECT_EQ(ContentLengthFromHeaders(L"HTTP/1.1 200 OK\r\n"), -1);
    EXPECT_EQ(ContentLengthFromHeaders(nullptr), -1);
}

TEST(DownloadWatcherTest, OnlyAWholeSuccessfulAnswerIsAccepted) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring file = std::wstring(dir) + L"watcher-test.xml";
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, "12345", 5, &written, nullptr);
    ::CloseHandle(h);

    const struct {
        DWORD status;
        const wchar_t* headers;
        HRESULT stop;
        bool accepted;
    } cases[] = {
        {200, L"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", S_OK, true},
        {200, L"HTTP/1.1 200 OK\r\n", S_OK, true},
        {200, L"HTTP/1.1 200 OK\r\nContent-Length: 50\r\n", S_OK, false},
        {404, L"HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n", S_OK, false},
        {500, L"HTTP/1.1 500 Oops\r\n", S_OK, false},
        {200, L"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", E_FAIL, false},
        // The saved file holds the decoded body, not the announced encoded one.
        {200, L"HTTP/1.1 200 OK\r\nContent-Length: 50\r\nContent-Encoding: gzip\r\n", S_OK, true},
        {200, L"HTTP/1.1 200 OK\r\ncontent-encoding:deflate\r\nContent-Length: 2\r\n", S_OK, true},
        {200, L"HTTP/1.1 200 OK\r\nContent-Encoding: identity\r\nContent-Length: 50\r\n", S_OK, false},
        {200, L"HTTP/1.1 200 OK\r\nX-Content-Encoding: gzip\r\nContent-Length: 50\r\n", S_OK, false},
    };
    for (const auto& c : cases) {
        DownloadWatcher watcher;
        watcher.OnResponse(c.status, c.headers, nullptr, nullptr);
        watcher.OnStopBinding(c.stop, nullptr);
        EXPECT_EQ(watcher.Accepts(file.c_str()), c.accepted) << c.status;
    }
    DownloadWatcher noAnswer;  // no HTTP status seen at all (a local file, say)
    EXPECT_TRUE(noAnswer.Accepts(file.c_str()));
    ::DeleteFileW(file.c_str());
}

}  // namespace
