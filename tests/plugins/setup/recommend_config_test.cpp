#include "plugins/setup/recommend_config.h"

#include <gtest/gtest.h>

#include <json/reader.h>

#include "plugins/setup/json_value_rules.h"
#include "tests/plugins/setup/ruconfig_fixture.h"

using namespace setup;

namespace {

Json::Value ParseValue(const std::string& text) {
    Json::Value v;
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &v, &errors)) << text;
    return v;
}

TEST(RecommendJsonRules, FlagsU32AndTexts) {
    struct Case {
        const char* json;
        bool flag;
        bool u32Ok;
        uint32_t u32;
        bool textOk;
    } cases[] = {
        {"null", false, true, 0, true},
        {"true", true, true, 1, false},
        {"false", false, true, 0, false},
        {"0", false, true, 0, false},
        {"4294967295", true, true, 4294967295u, false},
        {"4294967296", true, false, 0, false},
        {"-1", true, false, 0, false},
        {"7.9", true, true, 7, false},
        {"-0.5", true, false, 0, false},
        {"5e9", true, false, 0, false},
        {"\"\"", false, false, 0, true},
        {"\"12\"", true, false, 0, true},
        {"[]", false, false, 0, false},
        {"[0]", true, false, 0, false},
        {"{}", false, false, 0, false},
        {"{\"a\":0}", true, false, 0, false},
    };
    for (const Case& c : cases) {
        const Json::Value v = ParseValue(c.json);
        EXPECT_EQ(JsonFlag(v), c.flag) << c.json;
        uint32_t n = 12345;
        EXPECT_EQ(JsonU32(v, &n), c.u32Ok) << c.json;
        if (c.u32Ok) {
            EXPECT_EQ(n, c.u32) << c.json;
        }
        std::wstring text = L"x";
        EXPECT_EQ(JsonText(v, &text), c.textOk) << c.json;
    }
}

TEST(RecommendConfig, ReadsEveryKeyOfAnElement) {
    const auto conditions = ParseRecommendConditions(
        R"([{"softKey":["Acme",null,""],"exeKey":["setup.exe","Tool.EXE"],"softId":[5,3],"involve":6,)"
        R"("updateInterval":3,"rcmendRepeat":"yes","rcmendUrl":"http://h/\u00e9","rcmendSoftId":11,"adId":7,)"
        R"("oneKeyInst":[1],"autoRun":0,"recmdDesp":"d\u4e2d","refSoftId":12}])");
    ASSERT_EQ(conditions.size(), 1u);
    const RecommendCondition& c = conditions[0];
    EXPECT_EQ(c.SoftKeys, (std::set<std::wstring>{L"", L"Acme"}));
    EXPECT_EQ(c.ExeKeys, (std::set<std::wstring>{L"SETUP.EXE", L"TOOL.EXE"}));
    EXPECT_EQ(c.SoftIds, (std::set<uint32_t>{3, 5}));
    EXPECT_EQ(c.Involve, 6u);
    const RecommendResult& r = c.Result;
    EXPECT_EQ(r.Size, 4128u);
    EXPECT_EQ(r.UpdateInterval, 3u);
    EXPECT_EQ(r.RecommendRepeat, 1u);
    EXPECT_STREQ(r.RecommendUrl, L"http://h/\u00e9");
    EXPECT_EQ(r.RecommendSoftId, 11u);
    EXPECT_EQ(r.AdId, 7u);
    EXPECT_EQ(r.OneKeyInstall, 1u);
    EXPECT_EQ(r.AutoRun, 0u);
    EXPECT_STREQ(r.RecommendDescription, L"d\u4e2d");
    EXPECT_EQ(r.RefSoftId, 12u);
}

TEST(RecommendConfig, MissingUpdateIntervalReadsAsZero) {
    const auto conditions = ParseRecommendConditions(R"([{"involve":1}, null])");
    ASSERT_EQ(conditions.size(), 2u);
    EXPECT_EQ(conditions[0].Result.UpdateInterval, 0u);
    EXPECT_EQ(conditions[1].Involve, 0u) << "a null element is a record with every key missing";
}

TEST(RecommendConfig, BadElementsAreDroppedAndTheRestLoad) {
    struct Case {
        const char* json;
        std::vector<uint32_t> adIds;
    } cases[] = {
        {R"([{"involve":1,"softKey":"x"},{"involve":1,"adId":9}])", {9}},
        {R"([{"adId":1,"exeKey":{}},{"adId":2,"softId":["3"]},{"adId":3,"softKey":[4]},{"adId":4}])", {4}},
        {R"([{"adId":1,"involve":-1},{"adId":2,"involve":1.5e10},{"adId":3,"rcmendUrl":5},{"adId":5}])", {5}},
        {R"([{"adId":"7"},{"adId":8,"recmdDesp":[]},{"adId":6,"softKey":null,"softId":[null,2]}])", {6}},
        {R"([1,"x",[],true,{"adId":10}])", {10}},
        {R"({"adId":1})", {}},
        {R"("text")", {}},
        {"42", {}},
        {"null", {}},
        {"", {}},
        {R"([{"adId":1})", {}},
        {"[{\"adId\":1}] trailing", {}},
    };
    for (const Case& c : cases) {
        const auto conditions = ParseRecommendConditions(c.json);
        std::vector<uint32_t> adIds;
        for (const auto& condition : conditions) adIds.push_back(condition.Result.AdId);
        EXPECT_EQ(adIds, c.adIds) << c.json;
    }
}

TEST(RecommendConfig, DeepNestingIsRefusedWithoutCrashing) {
    const std::string deep = "[" + std::string(10000, '[') + std::string(10000, ']') + "]";
    EXPECT_TRUE(ParseRecommendConditions(deep).empty());
}

// The depth limit agrees with the reader's own; a byte order mark is skipped.
TEST(RecommendConfig, DeepestTextAndByteOrderMark) {
    const auto deep = [](size_t depth) { return std::string(depth, '[') + "0" + std::string(depth, ']'); };
    const std::pair<std::string, size_t> cases[] = {
        {R"([{"adId":1,"x":)" + deep(kRecommendJsonDepthMax - 2) + "}]", 1},
        {R"([{"adId":1,"x":)" + deep(kRecommendJsonDepthMax - 1) + "}]", 0},
        {"\xEF\xBB\xBF[{}]", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseRecommendConditions(c.first).size(), c.second) << c.first;
}

TEST(RecommendConfig, LongTextsAreCutAndInvalidUtf8Replaced) {
    std::string longUrl(1500, 'u');
    const std::string surrogate = std::string(1022, 'd') + "\xF0\x9F\x98\x80";  // U+1F600 at 1022..1023
    const auto conditions = ParseRecommendConditions("[{\"rcmendUrl\":\"" + longUrl + "\",\"recmdDesp\":\"" +
                                                     surrogate + "\"},{\"rcmendUrl\":\"a\xFF" "b\"}]");
    ASSERT_EQ(conditions.size(), 2u);
    EXPECT_EQ(std::wstring(conditions[0].Result.RecommendUrl), std::wstring(1023, L'u'));
    EXPECT_EQ(conditions[0].Result.RecommendUrl[1023], L'\0');
    EXPECT_EQ(std::wstring(conditions[0].Result.RecommendDescription), std::wstring(1022, L'd'))
        << "a lone high surrogate at the cut is dropped";
    EXPECT_STREQ(conditions[1].Result.RecommendUrl, L"a\uFFFDb");
}

TEST(RecommendConfig, DecryptionEndsAtTheFirstNul) {
    BlowfishContext cipher;
    ASSERT_TRUE(cipher.Allocate() && BlowfishInit(cipher));
    const std::string text = R"([{"involve":1,"adId":7,"rcmendUrl":"http://127.0.0.1/x"}])";
    EXPECT_EQ(DecryptRecommendConfig(EncryptRecommendConfigText(text), cipher), text);
    // Seven bytes decrypt as one block whose eighth byte is 0: a text whose
    // encryption ends in 0 comes back whole from its first seven bytes.
    std::string seven;
    std::vector<uint8_t> cut;
    for (int n = 10000; n < 100000 && seven.empty(); ++n) {
        const std::string candidate = "[" + std::to_string(n) + "]";
        cut = EncryptRecommendConfigText(candidate);
        if (cut.size() == 8 && cut[7] == 0) seven = candidate;
    }
    ASSERT_EQ(seven.size(), 7u);
    cut.resize(7);
    EXPECT_EQ(DecryptRecommendConfig(cut, cipher), seven);
    EXPECT_EQ(DecryptRecommendConfig({}, cipher), "");
    // Text without a NUL of its own still ends inside the buffer.
    const std::vector<uint8_t> full = EncryptRecommendConfigText(std::string(64, 'A'));
    EXPECT_EQ(DecryptRecommendConfig(full, cipher), std::string(64, 'A'));
}

}  // namespace
