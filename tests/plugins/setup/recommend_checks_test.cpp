#include "plugins/setup/recommend_checks.h"

#include <gtest/gtest.h>

#include "plugins/setup/recommend_config.h"
#include "tests/plugins/setup/fake_recommend_machine.h"

using namespace setup;

namespace {

struct Case {
    const char* json;
    uint32_t mask;
    std::set<uint32_t> shown;
    bool holds;
    int step;
};

TEST(RecommendChecks, EachStepDecidesInOrder) {
    const Case cases[] = {
        {R"({"involve":1})", 2, {}, false, 1},
        {R"({"involve":3})", 2, {}, true, 1},
        {R"({"involve":1,"adId":7})", 1, {7}, false, 2},
        {R"({"involve":1,"adId":7,"rcmendRepeat":true})", 1, {7}, true, 1},
        {R"({"involve":1,"rcmendSoftId":500})", 1, {}, false, 3},
        {R"({"involve":1,"softId":[400,300]})", 1, {}, true, 2},
        {R"({"involve":1,"softId":[401]})", 1, {}, false, 4},
        {R"({"involve":1,"softKey":["Acme"]})", 1, {}, true, 3},
        {R"({"involve":1,"softKey":["acme"]})", 1, {}, false, 4},
        {R"({"involve":1,"softKey":[""]})", 1, {}, false, 4},
        {R"({"involve":1,"exeKey":["setup.exe"]})", 1, {}, true, 4},
        {R"({"involve":1,"exeKey":["tool.exe"]})", 1, {}, true, 4},
        {R"({"involve":1,"exeKey":["TOOLS"]})", 1, {}, false, 4},
    };
    for (const Case& c : cases) {
        FakeRecommendMachine machine;
        machine.presentIds = {300, 500};
        machine.installedTexts = {L"Software\\Acme Corp"};
        machine.exePaths = {L"C:\\Tools\\SETUP.EXE", L"tool.exe"};
        machine.OpenSoftwareQuery();
        std::set<std::wstring> installed;
        machine.CollectInstalledKeys(&installed);
        const auto conditions = ParseRecommendConditions(std::string("[") + c.json + "]");
        ASSERT_EQ(conditions.size(), 1u) << c.json;
        const ConditionOutcome outcome = CheckCondition(conditions[0], c.mask, c.shown, installed, machine);
        EXPECT_EQ(outcome.Holds, c.holds) << c.json;
        EXPECT_EQ(outcome.Step, c.step) << c.json;
    }
}

TEST(RecommendChecks, WithoutASoftwareQueryIdsAreNeverAsked) {
    FakeRecommendMachine machine;
    machine.queryAvailable = false;
    machine.presentIds = {300};
    machine.OpenSoftwareQuery();
    const auto conditions = ParseRecommendConditions(R"([{"involve":1,"softId":[300],"rcmendSoftId":300}])");
    const ConditionOutcome outcome = CheckCondition(conditions[0], 1, {}, {}, machine);
    EXPECT_FALSE(outcome.Holds);
    EXPECT_EQ(outcome.Step, 4);
    EXPECT_TRUE(machine.idsAsked.empty());
}

}  // namespace
