#include <gtest/gtest.h>

#include <string>

#include "protocol/program_names.h"

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

}  // namespace
