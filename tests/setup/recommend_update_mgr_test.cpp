#include "plugins/setup/recommend_update_mgr.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/setup/fake_recommend_machine.h"
#include "tests/setup/ruconfig_fixture.h"
#include "tests/setup/setup_test_files.h"

namespace {

using setuptest::WorkPath;
using setuptest::WriteBytes;

std::vector<uint8_t> Config(const std::string& json) { return EncryptRecommendConfigText(json); }

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

}  // namespace
