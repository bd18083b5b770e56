#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "companion/system/settings_launcher.h"
#include "tests/companion/nav_test_support.h"

using namespace companion;

namespace {

constexpr DWORD kWindows7 = 0x1DB10106;   // 6.1, build 7601
constexpr DWORD kWindows10 = 0x4A61000A;  // 10.0
constexpr DWORD kWindowsXp = 0x0A280105;  // 5.1
constexpr DWORD kNonNt6 = 0x80000006;     // major 6 with the high bit set

TEST(LaunchVerbTest, GeneralAndEyeAskForElevationFromVersionSixOnNt) {
    const struct {
        const wchar_t* parameters;
        DWORD version;
        const wchar_t* verb;
    } cases[] = {
        {L"eye", kWindows7, L"runas"},       {L"general", kWindows7, L"runas"},
        {L"eye", kWindows10, L"runas"},      {L"general", kWindowsXp, L"open"},
        {L"eye", kWindowsXp, L"open"},       {L"eye", kNonNt6, L"open"},
        {L"timealert", kWindows7, L"open"},  {L"timeshutdown", kWindows7, L"open"},
        {L"", kWindows7, L"open"},           {L"Eye", kWindows7, L"open"},
        {L"eye ", kWindows7, L"open"},       {L"init", kWindows7, L"open"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(LaunchVerb(c.parameters, c.version), c.verb)
            << navtest::Narrow(c.parameters) << " " << std::hex << c.version;
}

TEST(SettingsLauncherTest, TheSettingsProgramLivesBesideTheCompanion) {
    EXPECT_EQ(SettingsProgramPath(), navtest::ExeDir() + L"Mirelo.exe");
}

// The stand-in is put where the real settings program is installed (beside
// this program) for the run and taken away again.
class SettingsStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = navtest::ExeDir() + L"Mirelo.exe";
        calls_ = program_ + L".calls";
        ASSERT_EQ(::GetFileAttributesW(program_.c_str()), INVALID_FILE_ATTRIBUTES)
            << "a Mirelo.exe is already beside the tests";
        ASSERT_TRUE(::CopyFileW((navtest::ExeDir() + L"recording_program.exe").c_str(), program_.c_str(), TRUE));
        created_ = true;
        ::DeleteFileW(calls_.c_str());
    }
    void TearDown() override {
        if (!created_) return;
        navtest::Pump(200);  // let the last stand-in end before it is deleted
        ::DeleteFileW(program_.c_str());
        ::DeleteFileW(calls_.c_str());
    }
    std::wstring program_;
    std::wstring calls_;
    bool created_ = false;
};

TEST_F(SettingsStartTest, EachPageStartsTheSettingsProgramWithItsWord) {
    const wchar_t* pages[] = {L"general", L"eye", L"timealert", L"timeshutdown"};
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(StartSettingsProgram(pages[i]));
        const auto lines = navtest::WaitForLines(calls_, i + 1);
        ASSERT_EQ(lines.size(), i + 1);
        EXPECT_EQ(lines[i], navtest::Narrow(pages[i]));
    }
}

TEST(SettingsStartFailureTest, AMissingProgramIsAFailedStart) {
    EXPECT_FALSE(StartProgramForPage(navtest::ExeDir() + L"no-such-program.exe", L"eye"));
    EXPECT_FALSE(StartProgramForPage(L"", L"eye"));
}

}  // namespace
