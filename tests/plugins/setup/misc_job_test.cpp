// Class 403 through the stand-in kernel: the recommend-and-update check
// end to end (RUConfig.dat under the App Paths folder, the machine as the
// stand-in's classes 49, 307 and 402 report it) and the ad-id file.
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "plugins/setup/ad_id_file.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "plugins/setup/recommend_config.h"
#include "plugins/setup/recommend_records.h"
#include "protocol/slot_call.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/plugins/deadline.h"
#include "tests/plugins/setup/ruconfig_fixture.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/message_pump.h"
#include "tests/support/prefix_state.h"

using namespace setup;

namespace {

const wchar_t kAppPaths[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";

std::wstring ExePath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The plug-in's logger reads its settings when Lumvex.dll is loaded: they
// are written before any test runs.
const bool g_logOn = [] {
    const std::wstring exe = ExePath();
    const std::wstring ini = exe.substr(0, exe.rfind(L'\\') + 1) + L"xLogConfig.ini";
    const std::wstring section = exe.substr(exe.rfind(L'\\') + 1);
    ::WritePrivateProfileStringW(section.c_str(), L"log", L"2", ini.c_str());
    ::WritePrivateProfileStringW(section.c_str(), L"filter", L"RUC", ini.c_str());
    return true;
}();

std::wstring PluginLogPath() {
    wchar_t appData[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    const std::wstring exe = ExePath();
    return std::wstring(appData) + L"\\Tarvisk\\ZubPellor\\Logs\\" + exe.substr(exe.rfind(L'\\') + 1) + L".log";
}

class MiscJob : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(LoadPlugin(L"Lumvex.dll"), S_OK);
        folder_ = WorkDir() + L"manager";
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        ::CreateDirectoryW((folder_ + L"\\Pellor").c_str(), nullptr);
        SetAppPath(folder_);
        ClearLog();
        ASSERT_EQ(Create(403, reinterpret_cast<IBexPlugin**>(&job_)), S_OK);
        logStart_ = setuptest::ReadBytes(PluginLogPath()).size();
    }
    void TearDown() override {
        if (job_) job_->Release();
        BexKernelTest::TearDown();
    }

    static void SetAppPath(const std::wstring& value) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPaths, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    void WriteConfig(const std::string& json) {
        ASSERT_TRUE(setuptest::WriteBytes(folder_ + L"\\Pellor\\RUConfig.dat", EncryptRecommendConfigText(json)));
    }
    // RUC lines the plug-in wrote since the test began.
    std::wstring PluginLog() const {
        const std::vector<uint8_t> bytes = setuptest::ReadBytes(PluginLogPath());
        if (bytes.size() <= logStart_) return std::wstring();
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + logStart_),
                            (bytes.size() - logStart_) / 2);
    }
    bool Logged(const std::wstring& message) const {
        return PluginLog().find(L"[RUC] " + message + L"\r\n") != std::wstring::npos;
    }
    LONG Check(uint32_t mask, const wchar_t* adIdFile, RecommendResult* out) {
        std::memset(static_cast<void*>(out), 0xCC, sizeof(*out));
        return job_->CheckRecommendAndUpdateCondition2(mask, adIdFile, out);
    }

    testsupport::RegValueBackup appPath_{HKEY_LOCAL_MACHINE, kAppPaths, L"Path"};
    std::wstring folder_;
    IMiscJob* job_ = nullptr;
    size_t logStart_ = 0;
    RecommendResult result_;
};

const char kOneCondition[] = R"([{"involve":1,"adId":7,"rcmendUrl":"http://127.0.0.1/x"}])";

TEST_F(MiscJob, AConditionWithoutKeysHoldsForItsInvolveMask) {
    WriteConfig(kOneCondition);
    ASSERT_EQ(Check(1, nullptr, &result_), 1);
    EXPECT_EQ(result_.Size, 4128u);
    EXPECT_EQ(result_.AdId, 7u);
    EXPECT_STREQ(result_.RecommendUrl, L"http://127.0.0.1/x");
    EXPECT_EQ(result_.UpdateInterval, 0u) << "a missing updateInterval reads as null";
    EXPECT_TRUE(Logged(L"CMiscJob::CheckRecommendAndUpdateCondition2(InvolveAsp[1], AdIdFile[])"));
    EXPECT_TRUE(Logged(L"True - 1"));
    EXPECT_TRUE(Logged(L"Condition satisfy at [0]"));
    EXPECT_EQ(CountLines("49.3"), 1);
    EXPECT_EQ(CountLines("49.21"), 1);

    EXPECT_EQ(Check(2, nullptr, &result_), 0);
    EXPECT_TRUE(Logged(L"False - 1"));
    EXPECT_EQ(CountLines("create 49 0x00000000"), 1) << "loaded once";
}

TEST_F(MiscJob, ShownAdIdsBlockUnlessRepeated) {
    const std::wstring adIds = WorkDir() + L"shown.bin";
    ASSERT_TRUE(setuptest::WriteBytes(adIds, {7, 0, 0, 0}));
    WriteConfig(kOneCondition);
    EXPECT_EQ(Check(1, adIds.c_str(), &result_), 0);
    EXPECT_TRUE(Logged(L"Has Recommended Ad Id:"));
    EXPECT_TRUE(Logged(L"\t 7"));
    EXPECT_TRUE(Logged(L"False - 2"));

    IBexPlugin* fresh = nullptr;
    WriteConfig(R"([{"involve":1,"adId":7,"rcmendRepeat":true}])");
    ASSERT_EQ(Create(403, &fresh), S_OK);
    EXPECT_EQ(static_cast<IMiscJob*>(fresh)->CheckRecommendAndUpdateCondition2(1, adIds.c_str(), &result_), 1);
    fresh->Release();
}

TEST_F(MiscJob, TheMachineDecidesThroughTheKernel) {
    struct Case {
        const char* json;
        const char* machine;
        LONG result;
        const wchar_t* outcome;
        uint32_t adId;
    } cases[] = {
        {R"([{"involve":1,"softKey":"x"},{"involve":1,"adId":9}])", "", 1, L"True - 1", 9},
        {R"([{"involve":1,"exeKey":["setup.exe"],"adId":1}])", "[entries]\npaths=C:\\Tools\\SETUP.EXE\n", 1,
         L"True - 4", 1},
        {R"([{"involve":1,"exeKey":["setup.exe"],"adId":1}])", "[entries]\npaths=SETUP.EXE\n", 1, L"True - 4", 1},
        {R"([{"involve":1,"softKey":["Acme"],"adId":2}])", "[items]\ntexts=Software\\Acme Corp\n", 1, L"True - 3", 2},
        {R"([{"involve":1,"softKey":["Acme"],"adId":2}])",
         "[items]\ntexts=Software\\Acme Corp\nemptyUntilRefresh=1\n", 1, L"True - 3", 2},
        {R"([{"involve":1,"softKey":["acme"],"adId":2}])", "[items]\ntexts=Software\\Acme Corp\n", 0, L"False - 4",
         0},
        {R"([{"involve":1,"rcmendSoftId":500}])", "[software]\npresent=500\n", 0, L"False - 3", 0},
        {R"([{"involve":1,"softId":[300],"adId":3}])", "[software]\npresent=300\n", 1, L"True - 2", 3},
        {R"([{"involve":1,"adId":4},{"involve":1,"adId":5}])", "", 1, L"Condition satisfy at [0]", 4},
    };
    for (const Case& c : cases) {
        Configure(c.machine);
        WriteConfig(c.json);
        IBexPlugin* job = nullptr;
        ASSERT_EQ(Create(403, &job), S_OK);
        logStart_ = setuptest::ReadBytes(PluginLogPath()).size();
        std::memset(static_cast<void*>(&result_), 0, sizeof(result_));
        EXPECT_EQ(static_cast<IMiscJob*>(job)->CheckRecommendAndUpdateCondition2(1, nullptr, &result_), c.result)
            << c.json << " " << c.machine;
        EXPECT_TRUE(Logged(c.outcome)) << c.json << " " << c.machine;
        if (c.result) {
            EXPECT_EQ(result_.AdId, c.adId) << c.json;
        }
        job->Release();
    }
    EXPECT_GE(CountLines("49.13 300 1"), 1);
    EXPECT_GE(CountLines("307.3"), 1);
}

TEST_F(MiscJob, BrokenConfigurationsGiveNothingAndLoadAgain) {
    std::vector<uint8_t> garbage = EncryptRecommendConfigText(kOneCondition);
    for (auto& b : garbage) b ^= 0xA5;
    const std::vector<std::vector<uint8_t>> files = {{}, garbage, EncryptRecommendConfigText(R"({"involve":1})")};
    for (const auto& file : files) {
        ClearLog();
        ASSERT_TRUE(setuptest::WriteBytes(folder_ + L"\\Pellor\\RUConfig.dat", file));
        EXPECT_EQ(Check(1, nullptr, &result_), 0);
        EXPECT_EQ(Check(1, nullptr, &result_), 0);
        EXPECT_EQ(CountLines("create 49 0x00000000"), 2) << "every check loads again";
    }
    setuptest::RemoveFile(folder_ + L"\\Pellor\\RUConfig.dat");
    EXPECT_EQ(Check(1, nullptr, &result_), 0);

    // No App Paths folder: nothing is read from the current folder.
    ::CreateDirectoryW((WorkDir() + L"Pellor").c_str(), nullptr);
    ASSERT_TRUE(setuptest::WriteBytes(WorkDir() + L"Pellor\\RUConfig.dat", EncryptRecommendConfigText(kOneCondition)));
    SetAppPath(L"");
    ::SetCurrentDirectoryW(WorkDir().c_str());
    EXPECT_EQ(Check(1, nullptr, &result_), 0);
}

TEST_F(MiscJob, TextOutsideTheJsonGrammarGivesNoCondition) {
    WriteConfig(R"([{"involve":1,"adId":7,}])");
    EXPECT_EQ(Check(1, nullptr, &result_), 0);
    EXPECT_FALSE(Logged(L"True - 1"));
}

TEST_F(MiscJob, TwoThreadsCheckOneObject) {
    WriteConfig(R"([{"involve":2,"adId":1},{"involve":1,"adId":7,"softKey":["Acme"]}])");
    Configure("[items]\ntexts=Software\\Acme Corp\n");
    auto checks = [this](int* holds) {
        RecommendResult out;
        for (int i = 0; i < 100; ++i) *holds += job_->CheckRecommendAndUpdateCondition2(1, nullptr, &out) == 1;
    };
    int first = 0, second = 0;
    std::thread a(checks, &first), b(checks, &second);
    a.join();
    b.join();
    EXPECT_EQ(first + second, 200);
    EXPECT_EQ(CountLines("create 49 0x00000000"), 1) << "loaded once for both";
}

// One check waiting on a slow machine holds up no other: the second's
// conditions need nothing of the slow call.
TEST_F(MiscJob, ACheckWaitingOnTheKernelHoldsNoOtherCheck) {
    WriteConfig(R"([{"involve":1,"softId":[300],"adId":3},{"involve":2,"adId":4}])");
    ASSERT_EQ(Check(2, nullptr, &result_), 1);
    SlowKernel("49.13 300", 2000);
    RecommendResult slow;
    const long long took = deadline::TookWhile(
        [&] { job_->CheckRecommendAndUpdateCondition2(1, nullptr, &slow); },
        [&] { return testsupport::WaitUntil([&] { return CountLines("49.13 300 1") > 0; }, 10000); },
        [&] { EXPECT_EQ(Check(2, nullptr, &result_), 1); });
    EXPECT_TRUE(took >= 0 && took < 700) << took;
    SlowKernel("", 0);
}

TEST_F(MiscJob, NullOutLogsAndAnswersNothing) {
    WriteConfig(kOneCondition);
    EXPECT_EQ(job_->CheckRecommendAndUpdateCondition2(1, L"C:\\x.bin", nullptr), 0);
    EXPECT_TRUE(Logged(L"CMiscJob::CheckRecommendAndUpdateCondition2(InvolveAsp[1], AdIdFile[C:\\x.bin])"));
    EXPECT_EQ(CountLines("create 49 0x00000000"), 0);
}

TEST_F(MiscJob, AnAdIdFileThatCannotBeReadWholeIsLeftAsItIs) {
    const std::wstring large = WorkDir() + L"large_ids.bin";
    const std::vector<uint8_t> largeBytes(5u * 1024 * 1024, 7);
    ASSERT_TRUE(setuptest::WriteBytes(large, largeBytes));
    EXPECT_EQ(job_->WriteAdIdToFile(large.c_str(), 9), 0);
    EXPECT_TRUE(setuptest::ReadBytes(large) == largeBytes);

    // Held open by someone who lets it be replaced, but not read.
    const std::wstring held = WorkDir() + L"held_ids.bin";
    ASSERT_TRUE(setuptest::WriteBytes(held, {1, 0, 0, 0}));
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(job_->WriteAdIdToFile(held.c_str(), 9), 0);
    ::CloseHandle(holder);
    EXPECT_EQ(setuptest::ReadBytes(held), (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(MiscJob, TwoWritersOfOneFileLoseNoId) {
    const std::wstring path = WorkDir() + L"raced_ids.bin";
    setuptest::RemoveFile(path);
    IMiscJob* other = nullptr;
    ASSERT_EQ(Create(403, reinterpret_cast<IBexPlugin**>(&other)), S_OK);
    constexpr uint32_t kEach = 100;
    std::atomic<int> ready{0};
    auto write = [&](IMiscJob* job, uint32_t first, uint32_t* written) {
        for (++ready; ready < 2;) std::this_thread::yield();
        for (uint32_t id = first; id < first + kEach; ++id) *written += job->WriteAdIdToFile(path.c_str(), id);
    };
    uint32_t a = 0, b = 0;
    std::thread first(write, job_, 1u, &a), second(write, other, 1001u, &b);
    first.join();
    second.join();
    other->Release();
    EXPECT_EQ(a + b, 2 * kEach);
    std::vector<uint32_t> ids = ReadAdIdFile(path.c_str()), expected;
    std::sort(ids.begin(), ids.end());
    for (uint32_t id = 1; id <= 2 * kEach; ++id) expected.push_back(id > kEach ? id - kEach + 1000 : id);
    EXPECT_EQ(ids, expected);
}

TEST_F(MiscJob, SupportedNamesAndTheIgnoredSlot) {
    EXPECT_EQ(job_->IsSupported(L"CheckRecommendAndUpdateCondition"), 1);
    EXPECT_EQ(job_->IsSupported(L"CheckRecommendAndUpdateCondition2"), 1);
    EXPECT_EQ(job_->IsSupported(L"checkRecommendAndUpdateCondition"), 0);
    EXPECT_EQ(job_->IsSupported(nullptr), 0);
    // Called as the kernel calls it, through the slot with four arguments
    // that the callee pops: a wrong count would unbalance the stack at once.
    struct MiscJobSlots {
        using Object = IBexPlugin;
    };
    const protocol::Slot<MiscJobSlots, 4, LONG(void*, void*, void*, void*)> slot4;
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(protocol::Call(slot4, job_, &i, &i, &i, &i), 0);
}

}  // namespace

namespace {

TEST(RecommendConfigLocation, OnlyATerminatedFolderOfFittingLengthCounts) {
    testsupport::RegValueBackup backup(HKEY_LOCAL_MACHINE, kAppPaths, L"Path");
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPaths, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto set = [key](DWORD type, const std::wstring& text, bool terminated) {
        // The system adds a terminator a caller left out when one follows
        // the data: an unterminated value needs another character there.
        const std::wstring data = terminated ? text : text + L"!";
        ::RegSetValueExW(key, L"Path", 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    };
    struct Case {
        DWORD type;
        std::wstring text;
        bool terminated;
        std::wstring expected;
    } cases[] = {
        {REG_SZ, L"C:\\M", true, L"C:\\M\\Pellor\\RUConfig.dat"},
        {REG_SZ, L"C:\\M\\", true, L"C:\\M\\Pellor\\RUConfig.dat"},
        {REG_SZ, L"C:\\M", false, L""},
        {REG_SZ, L"C:\\" + std::wstring(300, L'm'), true, L""},
        {REG_SZ, L"", true, L""},
        {REG_BINARY, L"C:\\M", true, L""},
        {REG_SZ, L"C:M", true, L""},
        {REG_EXPAND_SZ, L"%SystemDrive%\\M", true, L"C:\\M\\Pellor\\RUConfig.dat"},
    };
    for (const Case& c : cases) {
        set(c.type, c.text, c.terminated);
        EXPECT_EQ(LocateRecommendConfig(), c.expected) << c.text.size() << " " << c.terminated;
    }
    ::RegDeleteValueW(key, L"Path");
    EXPECT_EQ(LocateRecommendConfig(), L"");
    ::RegCloseKey(key);
}

}  // namespace
