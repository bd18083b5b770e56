// The app-data seam: the test main's override keeps this program inside its
// work folder, an override is returned as it is (the companion adds the one
// backslash), and without one the folder is the shell's.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/app_data_folder.h"
#include "companion/system/shared_settings.h"

using namespace companion;

namespace {

std::wstring Variable(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(value) : std::wstring();
}

// Puts the override the test main set back, whatever a test did.
class AppDataFolderTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = base::AppDataFolder(base::AppDataFallback::kExpandedVariable); }
    void TearDown() override { base::SetAppDataFolderOverride(saved_); }
    std::wstring saved_;
};

TEST_F(AppDataFolderTest, TheTestMainPointsAtTheWorkFolder) {
    const std::wstring work = Variable(L"TEST_WORK_DIR");
    ASSERT_FALSE(work.empty());
    EXPECT_EQ(saved_, work + L"\\AppData");
    const DWORD attributes = ::GetFileAttributesW(saved_.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(AppDataFolderTest, AnOverrideIsReturnedAsItIs) {
    const struct {
        const wchar_t* folder;
        const wchar_t* companion;
    } cases[] = {
        {L"Z:\\data\\AppData", L"Z:\\data\\AppData\\"},
        {L"Z:\\data\\AppData\\", L"Z:\\data\\AppData\\"},
        {L"C:\\x", L"C:\\x\\"},
    };
    for (const auto& c : cases) {
        base::SetAppDataFolderOverride(c.folder);
        EXPECT_EQ(base::AppDataFolder(base::AppDataFallback::kExpandedVariable), c.folder);
        EXPECT_EQ(base::AppDataFolder(base::AppDataFallback::kVariableValue), c.folder);
        std::wstring dir;
        ASSERT_TRUE(GetAppDataDir(dir)) << c.folder;
        EXPECT_EQ(dir, c.companion);
        EXPECT_EQ(ConfigFilePath(), std::wstring(c.companion) + L"tarvisk\\Corvalle.ini");
    }
}

TEST_F(AppDataFolderTest, WithoutAnOverrideTheShellDecides) {
    base::SetAppDataFolderOverride(L"");
    wchar_t shell[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, shell)));
    EXPECT_EQ(base::AppDataFolder(base::AppDataFallback::kExpandedVariable), shell);
    EXPECT_EQ(base::AppDataFolder(base::AppDataFallback::kVariableValue), shell);
}

}  // namespace
