#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "companion/system/shared_settings.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

// Each test starts from no Corvalle.ini and no test switch file, and leaves
// the prefix that way.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        configBackup_.emplace(ConfigFilePath());
        testSwitchBackup_.emplace(L"c:\\vyntest.ini");
        ASSERT_TRUE(EnsureConfigFolder());
    }
    void TearDown() override {
        configBackup_.reset();
        testSwitchBackup_.reset();
    }

    static void WriteTestSwitch(const wchar_t* value) {
        ASSERT_TRUE(::WritePrivateProfileStringW(L"vyntest", L"value", value, L"c:\\vyntest.ini"));
    }

    std::optional<testsupport::FileBackup> configBackup_;
    std::optional<testsupport::FileBackup> testSwitchBackup_;
};

TEST(IsEqualTest, IsAnExactComparison) {
    EXPECT_TRUE(IsEqual(L"abc", L"abc"));
    EXPECT_FALSE(IsEqual(L"abcd", L"abc"));
    EXPECT_FALSE(IsEqual(L"ab", L"abc"));
    EXPECT_FALSE(IsEqual(L"ABC", L"abc"));
    EXPECT_FALSE(IsEqual(L"abc", nullptr));
    EXPECT_TRUE(IsEqual(L"", L""));
}

TEST(ToIntTest, ReadsLeadingDigitsOnly) {
    EXPECT_EQ(ToInt(L"45"), 45);
    EXPECT_EQ(ToInt(L"45abc"), 45);
    EXPECT_EQ(ToInt(L"abc"), 0);
    EXPECT_EQ(ToInt(L""), 0);
    EXPECT_EQ(ToInt(L"-3"), -3);
}

TEST(AppDataDirTest, EndsInABackslashAndExists) {
    std::wstring dir;
    ASSERT_TRUE(GetAppDataDir(dir));
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    const DWORD attributes = ::GetFileAttributesW(dir.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(ConfigFilePath(), dir + L"tarvisk\\Corvalle.ini");
}

TEST_F(SettingsFileTest, WrittenValuesReadBack) {
    ASSERT_EQ(WriteConfigString(L"vyn", L"topmost", L"true"), 0);
    std::wstring value = L"stale";
    EXPECT_EQ(ReadConfigString(value, L"vyn", L"topmost"), 0);
    EXPECT_EQ(value, L"true");
}

TEST_F(SettingsFileTest, EmptyOrMissingValuesReadAsMinusTwoAndEmpty) {
    ASSERT_EQ(WriteConfigString(L"vyn", L"prompt", L""), 0);
    std::wstring value = L"stale";
    EXPECT_EQ(ReadConfigString(value, L"vyn", L"prompt"), -2);
    EXPECT_TRUE(value.empty());
    value = L"stale";
    EXPECT_EQ(ReadConfigString(value, L"vyn", L"nosuchkey"), -2);
    EXPECT_TRUE(value.empty());
}

TEST_F(SettingsFileTest, MissingArgumentsAreMinusOne) {
    std::wstring value = L"stale";
    EXPECT_EQ(ReadConfigString(value, nullptr, L"x"), -1);
    EXPECT_TRUE(value.empty());
    EXPECT_EQ(ReadConfigString(value, L"vyn", nullptr), -1);
    EXPECT_EQ(WriteConfigString(nullptr, L"x", L"1"), -1);
    EXPECT_EQ(WriteConfigString(L"vyn", nullptr, L"1"), -1);
    EXPECT_EQ(WriteConfigString(L"vyn", L"x", nullptr), -1);
}

TEST_F(SettingsFileTest, ChineseTextSurvivesTheFile) {
    ASSERT_EQ(WriteConfigString(L"vyn", L"Ring", L"C:\\铃声\\提醒.mp3"), 0);
    std::wstring value;
    ASSERT_EQ(ReadConfigString(value, L"vyn", L"Ring"), 0);
    EXPECT_EQ(value, L"C:\\铃声\\提醒.mp3");
}

TEST_F(SettingsFileTest, WiseHealthAlertIsOnWhenMissingAndOtherwiseItsNumber) {
    SharedSettings settings;
    ReadGeneralConfig(settings);
    EXPECT_TRUE(settings.WiseHealthAlert);

    const struct {
        const wchar_t* text;
        bool on;
    } cases[] = {{L"0", false}, {L"abc", false}, {L"1", true}, {L"7", true}, {L"", true}};
    for (const auto& c : cases) {
        ASSERT_EQ(WriteConfigString(L"vyn", L"WiseHealthAlert", c.text), 0);
        ReadGeneralConfig(settings);
        EXPECT_EQ(settings.WiseHealthAlert.load(), c.on) << "WiseHealthAlert=" << testsupport::Narrow(c.text);
    }
}

TEST_F(SettingsFileTest, GeneralFlagsAreOnOnlyForExactlyOne) {
    const struct {
        const wchar_t* text;
        bool on;
    } cases[] = {{L"1", true}, {L"01", false}, {L"true", false}, {L"", false}, {L"1x", false}};
    SharedSettings settings;
    for (const auto& c : cases) {
        ASSERT_EQ(WriteConfigString(L"vyn", L"CustomWeather", c.text), 0);
        ASSERT_EQ(WriteConfigString(L"vyn", L"UseWiseAlertRing", c.text), 0);
        ReadGeneralConfig(settings);
        EXPECT_EQ(settings.CustomWeather.load(), c.on) << testsupport::Narrow(c.text);
        EXPECT_EQ(settings.UseWiseAlertRing.load(), c.on) << testsupport::Narrow(c.text);
    }
}

TEST_F(SettingsFileTest, GeneralTextsAreTakenAsStored) {
    ASSERT_EQ(WriteConfigString(L"vyn", L"Ring", L"C:\\sounds\\bell.wav"), 0);
    ASSERT_EQ(WriteConfigString(L"vyn", L"CityCode", L"101010100"), 0);
    SharedSettings settings;
    ReadGeneralConfig(settings);
    EXPECT_EQ(settings.Ring.Get(), L"C:\\sounds\\bell.wav");
    EXPECT_EQ(settings.CityCode.Get(), L"101010100");

    // A later read that finds nothing clears what an earlier one found.
    ASSERT_EQ(WriteConfigString(L"vyn", L"CityCode", L""), 0);
    ReadGeneralConfig(settings);
    EXPECT_EQ(settings.CityCode.Get(), L"");
}

TEST_F(SettingsFileTest, TestModeNeedsExactlyOn) {
    SharedSettings settings;
    ReadGeneralConfig(settings);
    EXPECT_FALSE(settings.TestMode) << "no switch file";

    const struct {
        const wchar_t* text;
        bool on;
    } cases[] = {{L"on", true}, {L"ON", false}, {L"\"on \"", false}, {L"off", false}, {L"onn", false}};
    for (const auto& c : cases) {
        WriteTestSwitch(c.text);
        ReadGeneralConfig(settings);
        EXPECT_EQ(settings.TestMode.load(), c.on) << testsupport::Narrow(c.text);
    }
}

TEST_F(SettingsFileTest, EyeConfigReadsRunExactlyAndNumbersByTheirLeadingDigits) {
    ASSERT_EQ(WriteConfigString(L"eye", L"run", L"true"), 0);
    ASSERT_EQ(WriteConfigString(L"eye", L"next", L"0930"), 0);
    ASSERT_EQ(WriteConfigString(L"eye", L"resttime", L"5min"), 0);
    ASSERT_EQ(WriteConfigString(L"eye", L"interval", L"x45"), 0);
    SharedSettings settings;
    ReadEyeConfig(settings);
    EXPECT_FALSE(settings.EyeRun) << "only \"1\" is on";
    EXPECT_EQ(settings.EyeNext.Get(), L"0930");
    EXPECT_EQ(settings.RestTime.load(), 5);
    EXPECT_EQ(settings.Interval.load(), 0);

    ASSERT_EQ(WriteConfigString(L"eye", L"run", L"1"), 0);
    ASSERT_EQ(WriteConfigString(L"eye", L"interval", L"45"), 0);
    ReadEyeConfig(settings);
    EXPECT_TRUE(settings.EyeRun);
    EXPECT_EQ(settings.Interval.load(), 45);
}

TEST(SharedTextTest, ReadersAlwaysSeeAWholeText) {
    SharedText text;
    const std::wstring a(300, L'a');
    const std::wstring b(500, L'b');
    text.Set(a);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop) {
            const std::wstring seen = text.Get();
            if (seen != a && seen != b) ++torn;
        }
    });
    for (int i = 0; i < 20000; ++i) text.Set(i % 2 ? a : b);
    stop = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace
