// Class 89 through the stand-in's options store: first values, the one
// settings report, the three watches and what their changes do.
#include "base/module_exports.h"
#include "tests/plugins/setup/setup_utility_fixture.h"

using namespace setup;

namespace {

using Lines = std::vector<std::string>;

class OptionsDaemon : public SetupUtilityTest {
protected:
    void SetUp() override {
        SetupUtilityTest::SetUp();
        setOption_ = base::Export<bextest::SetOptionFn>(kernel_, bextest::kSetOptionName);
        ASSERT_NE(setOption_, nullptr);
        ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", L"http://stats.test");
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", nullptr);
        SetupUtilityTest::TearDown();
    }
    IBexDaemon* Daemon() {
        IBexPlugin* object = nullptr;
        EXPECT_EQ(Create(89, &object), S_OK);
        return static_cast<IBexDaemon*>(object);
    }
    int Fire(const wchar_t* key, const wchar_t* value) { return setOption_(key, value); }
    Lines Requests() const { return LinesStarting("51.5 "); }

    bextest::SetOptionFn setOption_ = nullptr;
};

TEST_F(OptionsDaemon, AFreshStoreGetsItsFirstValuesAndOneReport) {
    Configure(World());
    IBexDaemon* daemon = Daemon();
    EXPECT_EQ(daemon->Start(), 0);
    EXPECT_EQ(Requests(), Lines{"51.5 http://stats.test/stat/?type=setting&action=1_1_1_7_1_0_0_0&"});
    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } expected[] = {
        {L"Options\\DownloadInstall", L"1"},          {L"Options\\DelOldFilePerWeek", L"1"},
        {L"Options\\TipBeforeDownload", L"1"},        {L"Options\\DownloadFolder", L"C:\\Dl\\"},
        {L"Options\\DefaultDownloadFolder", L"C:\\Dl\\"}, {L"Options\\SetDownloadFolder", L"1"},
        {L"Options\\ShowRecycle", L"0"},              {L"Options\\ShowControlPanelShortcut", L"0"},
        {L"Options\\ShowStartMenuShortcut", L"0"},    {L"Options\\ShowLnkFileRightMenuItem", L"1"},
        {L"SpeedAssist\\IsShow", L"1"},               {L"ShowUptMsg\\ShowPeriod", L"7"},
    };
    for (const auto& e : expected) EXPECT_EQ(Option(e.key), e.value) << testsupport::Narrow(e.key);
    EXPECT_EQ(OrderLog(), Lines{"PellorExt.dll register"});

    EXPECT_EQ(daemon->Start(), 0);
    EXPECT_EQ(daemon->Stop(), 0);
    EXPECT_EQ(LinesStarting("47.8 "), (Lines{"47.8 Options\\ShowStartMenuShortcut 1",
                                             "47.8 Options\\ShowLnkFileRightMenuItem 2",
                                             "47.8 Options\\ShowControlPanelShortcut 3"}))
        << "a second start watches nothing again";
    ClearLog();
    daemon->Release();
    const Lines lines = LogLines();
    const Lines expectedEnd{"47.9 1", "47.9 2", "47.9 3", "-4 89"};
    std::vector<std::string> tail;
    for (const std::string& line : lines)
        if (line.compare(0, 5, "47.9 ") == 0 || line == "-4 89") tail.push_back(line);
    EXPECT_EQ(tail, expectedEnd);
}

TEST_F(OptionsDaemon, StoredValuesAreReportedAndKept) {
    Configure(World("[options]\nOptions\\DownloadInstall=0\nShowUptMsg\\ShowPeriod=3\nOptions\\ShowRecycle=x\n"));
    IBexDaemon* daemon = Daemon();
    daemon->Start();
    EXPECT_EQ(Requests(), Lines{"51.5 http://stats.test/stat/?type=setting&action=1_0_1_3_1_0_0_0&"});
    EXPECT_EQ(Option(L"Options\\DownloadInstall"), L"0");
    EXPECT_EQ(Option(L"ShowUptMsg\\ShowPeriod"), L"3");
    EXPECT_EQ(Option(L"Options\\ShowRecycle"), L"0") << "a value of the wrong type gets its first value";
    daemon->Release();
}

TEST_F(OptionsDaemon, WithoutDownloadObjectOrWatchesTheRestStillRuns) {
    Configure(World("[classes]\n96=refuse\n[options-store]\nwatch=fail\n"));
    IBexDaemon* daemon = Daemon();
    EXPECT_EQ(daemon->Start(), 0);
    EXPECT_EQ(Option(L"Options\\DownloadFolder"), L"-");
    EXPECT_EQ(Option(L"Options\\DefaultDownloadFolder"), L"-");
    EXPECT_EQ(Option(L"Options\\SetDownloadFolder"), L"1");
    EXPECT_EQ(Requests().size(), 1u);
    daemon->Release();
    EXPECT_EQ(LinesStarting("47.9 "), Lines{}) << "no cookie to cancel";
}

TEST_F(OptionsDaemon, WatchedOptionsActOnTheDesktop) {
    Configure(World("[options]\nOptions\\ShowLnkFileRightMenuItem=1\n"));
    ::SHSetValueW(HKEY_CLASSES_ROOT, L"lnkfile\\shellex\\ContextMenuHandlers\\PellorExt", nullptr, REG_SZ, L"{x}", 8);
    IBexDaemon* daemon = Daemon();
    daemon->Start();
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"lnkfile\\shellex\\ContextMenuHandlers\\PellorExt");
    EXPECT_EQ(OrderLog(), Lines{});
    const size_t reports = Requests().size();

    EXPECT_EQ(Fire(L"Options\\ShowLnkFileRightMenuItem", L"0"), 1);
    EXPECT_EQ(OrderLog(), Lines{"PellorExt.dll unregister"});
    ASSERT_EQ(Requests().size(), reports + 1);
    EXPECT_EQ(Requests().back(), "51.5 http://stats.test/stat/?type=setting&action=qudiaoyoujianxiezai&");
    EXPECT_EQ(Fire(L"Options\\ShowLnkFileRightMenuItem", L"1"), 1);
    EXPECT_EQ(OrderLog(), (Lines{"PellorExt.dll unregister", "PellorExt.dll register"}));
    EXPECT_EQ(Requests().size(), reports + 1);

    const std::wstring dontLoad = L"Control Panel\\don't load";
    EXPECT_EQ(Fire(L"Options\\ShowControlPanelShortcut", L"0"), 1);
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, dontLoad.c_str(), L"ZubPellor.cpl"), std::wstring(L"NO"));
    EXPECT_EQ(Fire(L"Options\\ShowControlPanelShortcut", L"1"), 1);
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, dontLoad.c_str(), L"ZubPellor.cpl"), std::nullopt);

    const std::wstring startMenuLink = Special(CSIDL_COMMON_PROGRAMS) + L"\\" + kUninstallLinkName;
    EXPECT_EQ(Fire(L"Options\\ShowStartMenuShortcut", L"1"), 1);
    EXPECT_TRUE(testsupport::FileExists(startMenuLink)) << "pinned";
    EXPECT_EQ(Fire(L"Options\\ShowStartMenuShortcut", L"0"), 1);
    EXPECT_FALSE(testsupport::FileExists(startMenuLink)) << "unpinned";
    daemon->Release();
    EXPECT_EQ(Fire(L"Options\\ShowStartMenuShortcut", L"1"), 0) << "no watch left";
}

TEST_F(OptionsDaemon, PercentInTheStatisticsAddressIsSentAsItIs) {
    ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", L"http://st%sats%n.test");
    Configure(World());
    IBexDaemon* daemon = Daemon();
    daemon->Start();
    EXPECT_EQ(Requests(), Lines{"51.5 http://st%sats%n.test/stat/?type=setting&action=1_1_1_7_1_0_0_0&"});
    daemon->Release();
}

}  // namespace
