#include <gtest/gtest.h>

#include <string>

#include "base/path_join.h"

namespace {

TEST(PathJoinTest, OnlyAFullyQualifiedFolderGivesAPath) {
    const std::wstring longFolder = L"C:\\" + std::wstring(250, L'd');
    const struct {
        std::wstring folder;
        const wchar_t* name;
        std::wstring joined;
    } cases[] = {
        {L"C:\\Program Files\\Corvalle\\", L"Mirelo.exe", L"C:\\Program Files\\Corvalle\\Mirelo.exe"},
        {L"c:\\Corvalle", L"Mirelo.exe", L"c:\\Corvalle\\Mirelo.exe"},
        {L"\\\\server\\share", L"Mirelo.exe", L"\\\\server\\share\\Mirelo.exe"},
        // An unknown folder, or one that depends on the current folder or drive.
        {L"", L"Mirelo.exe", L""},
        {L"Corvalle\\", L"Mirelo.exe", L""},
        {L"C:Corvalle\\", L"Mirelo.exe", L""},
        {L"\\Corvalle\\", L"Mirelo.exe", L""},
        {L"C:\\", nullptr, L""},
        {longFolder, L"Mirelo.exe", L""},  // would not fit 260 characters
    };
    for (const auto& c : cases) EXPECT_EQ(base::JoinPath(c.folder, c.name), c.joined);
}

}  // namespace
