#include "plugins/setup/recommend_update_mgr.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <functional>
#include <thread>

#include "plugins/setup/recommend_config.h"
#include "tests/plugins/setup/fake_recommend_machine.h"
#include "tests/plugins/setup/ruconfig_fixture.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "base/handles.h"

using namespace setup;

namespace {

using setuptest::WorkPath;
using setuptest::WriteBytes;

std::vector<uint8_t> Config(const std::string& json) { return EncryptRecommendConfigText(json); }

// How far the process's private bytes rose above their start while `work`
// ran (Wine gives them as PagefileUsage and leaves PrivateUsage at 0).
size_t PeakGrowthWhile(const std::function<void()>& work) {
    const auto now = [] {
        PROCESS_MEMORY_COUNTERS c{};
        return static_cast<size_t>(::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c)) ? c.PagefileUsage : 0);
    };
    const size_t start = now();
    size_t peak = start;
    std::atomic<bool> done{false};
    std::thread sampler([&] {
        for (; !done; ::Sleep(1)) peak = std::max(peak, now());
    });
    work();
    done = true;
    sampler.join();
    return std::max(peak, now()) - start;
}

TEST(RecommendUpdateMgr, FirstHoldingConditionIsReturnedWhole) {
    FakeRecommendMachine machine;
    machine.configPath = WorkPath(L"first.dat");
    ASSERT_TRUE(WriteBytes(machine.configPath,
                           Config(R"([{"involve":2,"adId":1},{"involve":1,"adId":7,"rcmendUrl":"http://127.0.0.1/x"},)"
                                  R"({"involve":1,"adId":8}])")));
    CRecommendUpdateMgr mgr(machine);
    EXPECT_TRUE(mgr.LoadConfig());
    EXPECT_EQ(mgr.ConditionCount(), 3u);
    RecommendResult out;
    std::memset(static_cast<void*>(&out), 0xCC, sizeof(out));
    ASSERT_TRUE(mgr.CheckConditionResult(1, {}, &out));
    EXPECT_EQ(out.Size, 4128u);
    EXPECT_EQ(out.AdId, 7u);
    EXPECT_STREQ(out.RecommendUrl, L"http://127.0.0.1/x");
    EXPECT_EQ(out.RecommendUrl[1023], L'\0');
    EXPECT_FALSE(mgr.CheckConditionResult(4, {}, &out));

    // Loaded once: a changed file takes effect only in a new object.
    ASSERT_TRUE(WriteBytes(machine.configPath, Config(R"([{"involve":4}])")));
    EXPECT_TRUE(mgr.LoadConfig());
    EXPECT_EQ(machine.queriesOpened, 1);
    EXPECT_FALSE(mgr.CheckConditionResult(4, {}, &out));
}

TEST(RecommendUpdateMgr, BrokenFilesGiveNothingAndLoadAgain) {
    std::vector<uint8_t> otherKey = Config(R"([{"involve":1}])");
    for (auto& b : otherKey) b ^= 0x5A;
    const std::vector<std::pair<const wchar_t*, std::vector<uint8_t>>> files = {
        {L"empty.dat", {}},
        {L"seven.dat", std::vector<uint8_t>(7, 0x41)},
        {L"otherkey.dat", otherKey},
        {L"object.dat", Config(R"({"involve":1})")},
        {L"huge.dat", std::vector<uint8_t>(17u * 1024 * 1024, 0)},
    };
    for (const auto& file : files) {
        FakeRecommendMachine machine;
        machine.configPath = WorkPath(file.first);
        ASSERT_TRUE(WriteBytes(machine.configPath, file.second));
        CRecommendUpdateMgr mgr(machine);
        RecommendResult out;
        for (int i = 1; i <= 3; ++i) {
            mgr.LoadConfig();
            EXPECT_FALSE(mgr.CheckConditionResult(0xFFFFFFFF, {}, &out)) << file.first;
            EXPECT_EQ(machine.queriesOpened, i) << file.first;
        }
        setuptest::RemoveFile(machine.configPath);
    }
    FakeRecommendMachine none;  // no file, and no folder to look in
    CRecommendUpdateMgr mgr(none);
    mgr.LoadConfig();
    EXPECT_EQ(mgr.ConditionCount(), 0u);
}

TEST(RecommendUpdateMgr, AFloodOfEmptyElementsIsRefusedInBoundedMemoryUntilTheFileChanges) {
    FakeRecommendMachine machine;
    machine.configPath = WorkPath(L"flood.dat");
    std::string text = "[";
    while (text.size() + 3 < kRecommendConfigMaxBytes - 8) text += "{},";
    text += "{}]";
    ASSERT_TRUE(WriteBytes(machine.configPath, Config(text)));
    WIN32_FILE_ATTRIBUTE_DATA flood{};
    ASSERT_TRUE(::GetFileAttributesExW(machine.configPath.c_str(), GetFileExInfoStandard, &flood));
    CRecommendUpdateMgr mgr(machine);
    const DWORD start = ::GetTickCount();
    EXPECT_LT(PeakGrowthWhile([&] { mgr.LoadConfig(); }), 40u << 20) << "the file and its text, nothing per element";
    EXPECT_LT(::GetTickCount() - start, 5000u);
    EXPECT_EQ(mgr.ConditionCount(), 0u);

    const auto rewrite = [&](const std::string& json, const FILETIME& written) {
        ASSERT_TRUE(WriteBytes(machine.configPath, Config(json + std::string(text.size() - json.size(), ' '))));
        base::FileHandle file(::CreateFileW(machine.configPath.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &written));
    };
    // Unchanged: not read again, while the rest of the load repeats.
    EXPECT_LT(PeakGrowthWhile([&] { mgr.LoadConfig(); }), 4u << 20);
    EXPECT_EQ(mgr.ConditionCount(), 0u);
    EXPECT_EQ(machine.queriesOpened, 2);
    // Another text of the same size and time is read.
    rewrite(R"([{"involve":1,"adId":7}])", flood.ftLastWriteTime);
    mgr.LoadConfig();
    EXPECT_EQ(mgr.ConditionCount(), 1u);
    setuptest::RemoveFile(machine.configPath);
}

// Allocations of exactly this many bytes fail while it is set.
std::atomic<size_t> g_failingSize{0};

TEST(RecommendUpdateMgr, MemoryThatRanOutIsNotHeldAgainstTheFile) {
    FakeRecommendMachine machine;
    machine.configPath = WorkPath(L"transient.dat");
    const std::vector<uint8_t> file = Config(R"([{"involve":1,"adId":7}])" + std::string(65536, ' '));
    ASSERT_TRUE(WriteBytes(machine.configPath, file));
    // The decrypted text's buffer, then the records' block.
    for (size_t failing : {(file.size() + 7) / 8 * 8 + 8 + 1, sizeof(RecommendCondition)}) {
        CRecommendUpdateMgr mgr(machine);
        g_failingSize = failing;
        mgr.LoadConfig();
        g_failingSize = 0;
        EXPECT_EQ(mgr.ConditionCount(), 0u) << failing;
        mgr.LoadConfig();
        EXPECT_EQ(mgr.ConditionCount(), 1u) << failing;
    }
    setuptest::RemoveFile(machine.configPath);
}

}  // namespace

// Every allocation of this program comes here, so that one can fail.
void* operator new(size_t size) {
    if (size != 0 && size == g_failingSize.load()) throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
