#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "companion/system/paths.h"
#include "base/service_addresses.h"
#include "companion/system/statistics.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::ifstream in(testsupport::Narrow(path).c_str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A product folder with the stand-in libraries installed as the real ones
// would be, and their logs.
class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring exeDir;
        ASSERT_TRUE(GetExeDir(exeDir));
        exeDir_ = exeDir;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        productDir_ = exeDir + L"stats-" + std::wstring(info->name(), info->name() + std::strlen(info->name())) + L"\\";
        ::CreateDirectoryW(productDir_.c_str(), nullptr);
        ::CreateDirectoryW((productDir_ + L"sweeper").c_str(), nullptr);
        statsLog_ = productDir_ + L"stats.log";
        cidLog_ = productDir_ + L"cid.log";
        ::DeleteFileW(statsLog_.c_str());
        ::DeleteFileW(cidLog_.c_str());
        ::SetEnvironmentVariableW(L"STATS_LOG", statsLog_.c_str());
        ::SetEnvironmentVariableW(L"CID_LOG", cidLog_.c_str());
        ::SetEnvironmentVariableW(L"CLIENT_ID", L"cid-42");
        ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", L"http://127.0.0.1:9");
    }
    void TearDown() override {
        for (const wchar_t* name : {L"STATS_LOG", L"CID_LOG", L"CLIENT_ID", L"CLIENT_ID_UNTERMINATED",
                                    L"CORVALLE_SERVICE_BASE"})
            ::SetEnvironmentVariableW(name, nullptr);
    }
    void InstallStatsLibrary() {
        ASSERT_TRUE(::CopyFileW((exeDir_ + L"stats_double.dll").c_str(),
                                (productDir_ + L"sweeper\\Quellin.dll").c_str(), FALSE));
    }
    void InstallClientIdLibrary() {
        ASSERT_TRUE(::CopyFileW((exeDir_ + L"client_id_double.dll").c_str(), (productDir_ + L"Zubverify.dll").c_str(),
                                FALSE));
    }
    std::vector<std::string> Sent() const { return ReadLines(statsLog_); }
    size_t ClientIdCalls() const { return ReadLines(cidLog_).size(); }

    std::wstring exeDir_;
    std::wstring productDir_;
    std::wstring statsLog_;
    std::wstring cidLog_;
};

TEST(ModuleVersionTest, ComesFromTheVersionResourceInWordOrder) {
    std::wstring version;
    ASSERT_EQ(GetModuleVersionString(version), 0);
    EXPECT_EQ(version, L"3.14.15.926");
}

TEST_F(StatisticsTest, EveryCodeSendsItsEventWithVersionAndClientId) {
    InstallStatsLibrary();
    InstallClientIdLibrary();
    CStatistics stats(productDir_);
    ASSERT_TRUE(stats.Bound());
    for (int code = 0; code <= 19; ++code) stats.SendSettingsEvent(code);

    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 20u);
    // The request the library is handed for a change code, as it leaves.
    const struct {
        int code;
        const char* event;
    } cases[] = {{0, "vyneye&type=eyecare"},   {6, "vyneye&type=seting"},    {9, "vynremind&type=nontips"},
                 {12, "vynturnoff&type=nontask"}, {18, "vynset&type=soundoff"}, {19, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(sent[c.code], std::string("http://127.0.0.1:9/track.htm?program=") + c.event +
                                    "&appver=3.14.15.926&m=cid-42")
            << c.code << (c.code == 19 ? ": an unknown code sends an empty event" : "");
    EXPECT_EQ(StatEventTable().count(19), 0u) << "looking a code up never adds it";
    EXPECT_EQ(ClientIdCalls(), 1u) << "the id is asked for once and kept";
}

TEST_F(StatisticsTest, OwnEventsAreSentAsTheyStand) {
    InstallStatsLibrary();
    InstallClientIdLibrary();
    CStatistics stats(productDir_);
    stats.SendStatistic(L"vyn&type=fromauto");
    stats.SendStatistic(L"vynturnoff&type=fromnavi");
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "http://127.0.0.1:9/track.htm?program=vyn&type=fromauto&appver=3.14.15.926&m=cid-42");
    EXPECT_EQ(sent[1], "http://127.0.0.1:9/track.htm?program=vynturnoff&type=fromnavi&appver=3.14.15.926&m=cid-42");
}

TEST_F(StatisticsTest, WithoutTheStatisticsLibraryNothingIsSentAndNothingFails) {
    InstallClientIdLibrary();
    CStatistics stats(productDir_);
    EXPECT_FALSE(stats.Bound());
    stats.SendSettingsEvent(3);
    stats.SendStatistic(L"vyn&type=exit");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(StatisticsTest, WithoutAClientIdTheUrlEndsInAnEmptyIdAndItIsAskedForAgain) {
    InstallStatsLibrary();
    InstallClientIdLibrary();
    ::SetEnvironmentVariableW(L"CLIENT_ID", nullptr);  // the library fails
    CStatistics stats(productDir_);
    stats.SendStatistic(L"vyn&type=hide");
    stats.SendStatistic(L"vyn&type=hide");
    ::SetEnvironmentVariableW(L"CLIENT_ID", L"late-id");
    stats.SendStatistic(L"vyn&type=hide");
    stats.SendStatistic(L"vyn&type=hide");

    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].substr(sent[0].size() - 3), "&m=");
    EXPECT_EQ(sent[1].substr(sent[1].size() - 3), "&m=");
    EXPECT_EQ(sent[2].substr(sent[2].size() - 10), "&m=late-id");
    EXPECT_EQ(ClientIdCalls(), 3u) << "asked again until an answer came, then kept";
}

TEST_F(StatisticsTest, WithoutTheClientIdLibraryTheIdIsEmpty) {
    InstallStatsLibrary();
    CStatistics stats(productDir_);
    stats.SendStatistic(L"vyn&type=exit");
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "http://127.0.0.1:9/track.htm?program=vyn&type=exit&appver=3.14.15.926&m=");
}

TEST_F(StatisticsTest, AClientIdThatFillsTheWholeBufferIsCutAtItsEnd) {
    InstallClientIdLibrary();
    ::SetEnvironmentVariableW(L"CLIENT_ID_UNTERMINATED", L"1");
    CStatistics stats(productDir_);
    EXPECT_EQ(stats.GetMachineId(), std::wstring(99, L'x'));
}

TEST_F(StatisticsTest, NoProductFolderLoadsNothing) {
    CStatistics stats(L"");
    EXPECT_FALSE(stats.Bound());
    EXPECT_EQ(stats.GetMachineId(), L"");
}

TEST(ServiceAddressTest, TheOverrideReplacesSchemeAndHostOnly) {
    EXPECT_EQ(RebaseAddress(L"http://www.example.test/vyn/guide.html", L"http://127.0.0.1:8080"),
              L"http://127.0.0.1:8080/vyn/guide.html");
    EXPECT_EQ(RebaseAddress(L"http://stat.example.test", L"http://127.0.0.1:8080"), L"http://127.0.0.1:8080");
    EXPECT_EQ(RebaseAddress(L"http://stat.example.test", L""), L"http://stat.example.test");

    ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", L"http://127.0.0.1:7777/");
    EXPECT_EQ(ServiceAddress(Service::Statistics), L"http://127.0.0.1:7777");
    ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", nullptr);
    EXPECT_EQ(ServiceAddress(Service::Statistics).rfind(L"http://", 0), 0u);
    EXPECT_EQ(ServiceAddress(Service::Statistics).find(L"127.0.0.1"), std::wstring::npos);
}

}  // namespace
