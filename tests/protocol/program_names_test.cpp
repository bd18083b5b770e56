#include <gtest/gtest.h>

#include <string>

#include "protocol/eye_protection_color.h"
#include "protocol/program_names.h"
#include "protocol/window_messages.h"

namespace {

TEST(ProgramNamesTest, SettingsFileUnderTheDataFolder) {
    const struct {
        const wchar_t* folder;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\Users\\a\\AppData\\Roaming", L"C:\\Users\\a\\AppData\\Roaming\\tarvisk\\Corvalle.ini"},
        {L"C:\\Users\\a\\AppData\\Roaming\\", L"C:\\Users\\a\\AppData\\Roaming\\tarvisk\\Corvalle.ini"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(protocol::SettingsFileIn(c.folder), c.path);
}

TEST(ProgramNamesTest, RunValueInBothForms) {
    EXPECT_EQ(protocol::CompanionRunValue(L"C:\\Tools\\"), L"\"C:\\Tools\\Corvalle.exe\"");
    EXPECT_EQ(protocol::AutorunRunValue(L"C:\\Tools\\"), L"\"C:\\Tools\\Corvalle.exe\" autorun");
}

TEST(WindowMessagesTest, NumbersStayAsInstalledCopiesExpect) {
    EXPECT_EQ(protocol::WM_SETTINGS_CHANGED, 0x1600u);
    EXPECT_EQ(protocol::WM_SHOW_NECK_EXERCISE, 0x1602u);
    EXPECT_EQ(WM_SET_TIP_TEXT, 0x1602u);
    EXPECT_EQ(protocol::WM_CLOSE_SETTINGS, 0x1605u);
    EXPECT_EQ(protocol::WM_SHOW_PAGE, 0x6413u);
    EXPECT_EQ(protocol::WM_CONFIRM_SHOWN, static_cast<UINT>(WM_APP + 20));
    EXPECT_EQ(protocol::WM_HEALTH_PAGE_EXIT, static_cast<UINT>(WM_APP + 31));
    EXPECT_EQ(protocol::kMonitorQuery, 0x905u);
    EXPECT_EQ(protocol::kSettingsEventCount, 19);
    EXPECT_EQ(protocol::kEyeProtectionColor, static_cast<COLORREF>(13625548));
}

}  // namespace
