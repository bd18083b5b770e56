#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <optional>
#include <string>

#include "companion/actions/weather_action.h"
#include "companion/system/paths.h"
#include "tests/companion/fake_action_environment.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    return t;
}

std::wstring Answer(const wchar_t* days) {
    return std::wstring(L"<?xml version=\"1.0\"?><weather>") + days + L"</weather>";
}

TEST(WeatherTextTest, EveryCodeHasItsSentenceAndUnknownCodesNone) {
    EXPECT_EQ(WeatherText(0), L"天气晴朗,%s,出门注意防晒");
    EXPECT_EQ(WeatherText(1), L"今天多云,%s,保持良好心情哦");
    EXPECT_EQ(WeatherText(13), L"今天阵雪,%s");
    EXPECT_EQ(WeatherText(18), L"今天雾,%s,若需出行，注意路况。");
    EXPECT_EQ(WeatherText(24), WeatherText(10));
    EXPECT_EQ(WeatherText(25), L"今天特大暴雨,%s,没事最好别出门！");
    EXPECT_EQ(WeatherText(31), L"今天强沙尘暴,%s,没事最好别出门！");
    for (int code = 0; code <= 31; ++code) {
        EXPECT_EQ(WeatherText(code).find(L"%s") != std::wstring::npos, true) << code;
        EXPECT_EQ(WeatherText(code).find(L"%s", WeatherText(code).find(L"%s") + 1), std::wstring::npos) << code;
    }
    EXPECT_EQ(WeatherText(32), L"");
    EXPECT_EQ(WeatherText(-1), L"");
}

TEST(TemperaturePhraseTest, EachBandAtItsEdges) {
    const struct {
        int t;
        const wchar_t* phrase;
    } cases[] = {
        {40, L"气温很高,谨防中暑"}, {35, L"气温很高,谨防中暑"}, {34, L"气温偏高"},
        {28, L"气温偏高"},         {27, L"气温适宜"},         {24, L"气温适宜"},
        {23, L"气温凉爽"},         {10, L"气温凉爽"},         {9, L"气温不高"},
        {4, L"气温不高"},          {3, L"气温微冷，注意防寒"}, {-4, L"气温微冷，注意防寒"},
        {-5, L"气温寒冷，注意保暖"}, {-40, L"气温寒冷，注意保暖"},
    };
    for (const auto& c : cases) EXPECT_EQ(TemperaturePhrase(c.t), c.phrase) << c.t;
}

TEST(WeatherTipTest, TodaysEntryMakesTheSentence) {
    std::wstring tip;
    ASSERT_TRUE(BuildWeatherTip(
        Answer(L"<day><date>2026-12-08</date><img>7</img><htemp>3</htemp><ltemp>0</ltemp></day>"
               L"<day><date>2026-12-09</date><img>1</img><htemp>25</htemp><ltemp>18</ltemp></day>"
               L"<day><date>2026-12-10</date><img>9</img><htemp>40</htemp><ltemp>30</ltemp></day>"),
        Day(2026, 12, 9), tip));
    EXPECT_EQ(tip, L"今天多云,气温适宜,保持良好心情哦");
}

TEST(WeatherTipTest, AMissingHighTemperatureTakesTheLowOne) {
    std::wstring tip;
    ASSERT_TRUE(BuildWeatherTip(Answer(L"<date>2026-12-09</date><img>14</img><ltemp>-5</ltemp>"), Day(2026, 12, 9), tip));
    EXPECT_EQ(tip, L"今天小雪,气温寒冷，注意保暖");
}

TEST(WeatherTipTest, UnusableAnswersGiveNoTip) {
    const wchar_t* answers[] = {
        L"<date>2026-12-08</date><img>1</img><htemp>25</htemp>",  // not today
        L"<date>2026-12-09</date><img>1</img>",                    // no temperature
        L"<date>2026-12-09</date><img></img><htemp>25</htemp>",    // no code
        L"<date>2026-12-09</date><img>sunny</img><htemp>25</htemp>",
        L"<date>2026-12-09</date><img>1</img><htemp>warm</htemp>",
        L"<date>2026-12-09</date><img>1</img><htemp>25",           // cut short
        L"",
    };
    for (const wchar_t* answer : answers) {
        std::wstring tip = L"unchanged";
        EXPECT_FALSE(BuildWeatherTip(answer, Day(2026, 12, 9), tip)) << testsupport::Narrow(answer);
        EXPECT_EQ(tip, L"unchanged");
    }
}

TEST(WeatherTipTest, AnUnknownCodeGivesAnEmptySentence) {
    std::wstring tip = L"x";
    EXPECT_TRUE(BuildWeatherTip(L"<date>2026-12-09</date><img>40</img><htemp>20</htemp>", Day(2026, 12, 9), tip));
    EXPECT_EQ(tip, L"");
}

TEST(WeatherQueryTest, TheCityCodeGoesInOnlyWhenItIsAShortNumber) {
    ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", L"http://127.0.0.1:9");
    EXPECT_EQ(WeatherQueryUrl(true, L"101010100"),
              L"http://127.0.0.1:9/sed_api_weather_info.php?app=firewall&code=101010100&xml");
    EXPECT_EQ(WeatherQueryUrl(false, L"101010100"), L"http://127.0.0.1:9/sed_api_weather_info.php?app=firewall&xml");
    for (const wchar_t* bad : {L"", L"1010101000", L"10101x100", L"1&x=2", L"１０１"})
        EXPECT_EQ(WeatherQueryUrl(true, bad), L"http://127.0.0.1:9/sed_api_weather_info.php?app=firewall&xml")
            << testsupport::Narrow(bad);
    ::SetEnvironmentVariableW(L"CORVALLE_SERVICE_BASE", nullptr);
}

class WeatherActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        CActionWeather::WeatherFetched() = 0;
        settings_.WiseHealthAlert = true;
        settings_.CustomWeather = true;
        settings_.CityCode.Set(L"101010100");
        ASSERT_TRUE(GetTempDir(dated_));
        dated_ += L"20261209.xml";
        backup_.emplace(dated_);
        env_.onDownload = [this] {
            std::ofstream out(testsupport::Narrow(dated_).c_str(), std::ios::binary);
            out << answer_;
        };
    }
    void TearDown() override { backup_.reset(); }

    FakeActionEnvironment env_;
    SharedSettings settings_;
    std::wstring dated_;
    std::optional<testsupport::FileBackup> backup_;
    std::string answer_ = "<weather><date>2026-12-09</date><img>0</img><htemp>36</htemp><ltemp>25</ltemp></weather>";
};

TEST_F(WeatherActionTest, HalfAMinuteAfterTheStartAtTheFirstFreePollOnce) {
    CActionWeather weather(env_, settings_);
    env_.tick += 30000;
    EXPECT_FALSE(weather.CheckCondition()) << "not within 30 s";
    env_.tick += 1;
    env_.busy = true;
    EXPECT_FALSE(weather.CheckCondition());
    EXPECT_TRUE(env_.downloads.empty()) << "nothing is fetched while the user is busy";
    env_.busy = false;
    EXPECT_TRUE(weather.CheckCondition());
    EXPECT_EQ(weather.GetTipText(), L"天气晴朗,气温很高,谨防中暑,出门注意防晒");
    ASSERT_EQ(env_.downloads.size(), 1u);
    EXPECT_NE(env_.downloads[0].find(L"sed_api_weather_info.php?app=firewall&code=101010100&xml"), std::wstring::npos);
    EXPECT_EQ(env_.downloadTimeout, CActionWeather::kDownloadTimeoutMs);
    EXPECT_FALSE(weather.CheckCondition()) << "once a run";
}

TEST_F(WeatherActionTest, AFailedDownloadIsNotTriedAgainThisRun) {
    env_.downloadExitCode = -1;
    CActionWeather weather(env_, settings_);
    env_.tick += 30001;
    EXPECT_FALSE(weather.CheckCondition());
    env_.downloadExitCode = 0;
    EXPECT_FALSE(weather.CheckCondition());
    EXPECT_EQ(env_.downloads.size(), 1u);
}

TEST_F(WeatherActionTest, AHugeOrForeignAnswerGivesNoTip) {
    answer_ = std::string(3u << 20, 'x');
    CActionWeather weather(env_, settings_);
    env_.tick += 30001;
    EXPECT_FALSE(weather.CheckCondition());
    CActionWeather::WeatherFetched() = 0;
    answer_ = "\xFF\xFE<\0d\0a\0t\0e\0>\0";
    CActionWeather second(env_, settings_);
    env_.tick += 30001;
    EXPECT_FALSE(second.CheckCondition());
}

TEST_F(WeatherActionTest, AnUnknownCodeFallsBackToTheActionFileText) {
    answer_ = "<date>2026-12-09</date><img>77</img><htemp>20</htemp>";
    env_.Set(L"VynWeather", L"tiptext", L"今天也要好好的~");
    CActionWeather weather(env_, settings_);
    env_.tick += 30001;
    EXPECT_TRUE(weather.CheckCondition());
    EXPECT_EQ(weather.GetTipText(), L"今天也要好好的~");
}

TEST_F(WeatherActionTest, TheSwitchOffMeansNoWeather) {
    settings_.WiseHealthAlert = false;
    CActionWeather weather(env_, settings_);
    env_.tick += 60000;
    EXPECT_FALSE(weather.CheckCondition());
    EXPECT_TRUE(env_.downloads.empty());
}

}  // namespace
