#include "plugins/setup/json_text_check.h"

#include <gtest/gtest.h>

#include <string>

using namespace setup;

namespace {

// Each text outside the grammar or the limits beside its nearest text inside.
TEST(JsonTextCheck, ExactlyTheGrammarWithinTheLimits) {
    const JsonTextLimits limits{3, 8, 3};
    const std::string cases[][2] = {
        {"[1,]", "[1]"}, {R"({"a":1,})", R"({"a":1})"}, {"[1,,2]", "[1,2]"}, {"[,1]", "[ 1 ]"},
        {"[1/* x */]", "[1 ]"}, {"// x\n[1]", " \n[1]"}, {"+1", "1"}, {"012", "12"}, {"-01", "-0.1"},
        {"-", "-0"}, {"2.", "2.0"}, {".5", "0.5"}, {"1e", "1E+5"}, {"1e-", "1e-05"}, {"0x10", "16"},
        {"NaN", "null"}, {"\"a\tb\"", "\"a\\tb\""}, {"\"a\x01\"", "\"a\\u0001\""}, {"\"a\nb\"", "\"a\\nb\""},
        {"\"\\x\"", "\"\\/\\b\\f\\n\\r\\t\\\"\\\\\""}, {"\"\\u12G4\"", "\"\\u12aF\""},
        {"\"abc", "\"\x7f\xe4\xb8\xad\""}, {"'a'", "\"a\""}, {"{a:1}", R"({"a":1})"},
        {R"({"a" 1})", R"({ "a" : 1 , "a" : 2 })"}, {"tru", "true"}, {"True", "false"}, {"[1]]", "[[1]]"},
        {"[1] [2]", "[1] "}, {"", "0"}, {"\f1", " \t\r\n1"},
        // A high surrogate only before a low one; a low one alone passes.
        {R"("\uD800")", R"("\uD800\uDC00")"}, {R"("\udbffx")", R"("\udbff\udfff")"},
        {R"("\uD800\u0041")", R"("\uDC00\u0041")"}, {R"("\uD800\n")", R"("\uDFFF")"},
        {R"("\uD800\uD800\uDC00")", R"("\uD7FF\uD800\uDC00")"},
        // Three deep, eight values, three elements at the top.
        {"[[[[1]]]]", "[[[1]]]"}, {"[[1,2,3,4,5,6,7]]", "[[1,2,3,4,5,6]]"},
        {"[1,2,3,4]", R"({"a":1,"b":2,"c":3,"d":4})"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(CheckJsonText(c[0].data(), c[0].data() + c[0].size(), limits)) << c[0];
        EXPECT_TRUE(CheckJsonText(c[1].data(), c[1].data() + c[1].size(), limits)) << c[1];
    }
}

}  // namespace
