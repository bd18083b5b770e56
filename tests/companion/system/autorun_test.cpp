#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "companion/system/autorun.h"
#include "companion/system/desktop_shortcut.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

constexpr wchar_t kRunKey[] = L"software\\microsoft\\windows\\currentversion\\run";

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

TEST(AutorunTest, WritesTheQuotedPathWhenThereIsNoValue) {
    testsupport::RegValueBackup backup(HKEY_CURRENT_USER, kRunKey, L"Corvalle");
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegDeleteValueW(key, L"Corvalle");
    ::RegCloseKey(key);

    EnsureAutorun();
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle").value_or(L"<missing>"),
              L"\"" + SelfPath() + L"\"");
}

TEST(AutorunTest, LeavesAnExistingValueAlone) {
    testsupport::RegValueBackup backup(HKEY_CURRENT_USER, kRunKey, L"Corvalle");
    const wchar_t* existing = L"\"C:\\elsewhere\\Corvalle.exe\" autorun";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Corvalle", 0, REG_SZ, reinterpret_cast<const BYTE*>(existing),
                     static_cast<DWORD>((wcslen(existing) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);

    EnsureAutorun();
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle").value_or(L"<missing>"), existing);
}

TEST(AutorunTest, RemoveTakesOnlyTheCompanionsValueAway) {
    testsupport::RegValueBackup backup(HKEY_CURRENT_USER, kRunKey, L"Corvalle");
    testsupport::RegValueBackup neighbourBackup(HKEY_CURRENT_USER, kRunKey, L"CorvalleTestNeighbour");
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t neighbour[] = L"neighbour.exe";
    ::RegSetValueExW(key, L"CorvalleTestNeighbour", 0, REG_SZ, reinterpret_cast<const BYTE*>(neighbour),
                     sizeof(neighbour));
    ::RegCloseKey(key);
    EnsureAutorun();
    ASSERT_TRUE(testsupport::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle").has_value());

    RemoveAutorun();
    EXPECT_FALSE(testsupport::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle").has_value());
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"CorvalleTestNeighbour").value_or(L""), neighbour);
    RemoveAutorun();  // nothing left to remove: nothing happens
    EXPECT_FALSE(testsupport::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle").has_value());
}

TEST(ShellLinkTest, RejectsMissingArgumentsAndTargets) {
    const std::wstring link = TempFile(L"corvalle-test.lnk");
    EXPECT_EQ(ShellLinkCreate(nullptr, link.c_str()), -5);
    EXPECT_EQ(ShellLinkCreate(SelfPath().c_str(), nullptr), -5);
    EXPECT_EQ(ShellLinkCreate(L"", link.c_str()), -5);
    EXPECT_EQ(ShellLinkCreate(L"C:\\no\\such\\program.exe", link.c_str()), -4);
    EXPECT_FALSE(testsupport::FileExists(link));
}

TEST(ShellLinkTest, CreatesTheShortcutAndAcceptsAnExistingOne) {
    const std::wstring link = TempFile(L"corvalle-test.lnk");
    ::DeleteFileW(link.c_str());
    ASSERT_EQ(ShellLinkCreate(SelfPath().c_str(), link.c_str()), 0);
    ASSERT_TRUE(testsupport::FileExists(link));

    // An existing shortcut counts as success and is not rewritten.
    HANDLE h = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    EXPECT_EQ(ShellLinkCreate(SelfPath().c_str(), link.c_str()), 0);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(link.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    ::DeleteFileW(link.c_str());
}

TEST(ShellLinkTest, AShortcutThatCannotBeSavedIsAFailureAndLeavesNoFile) {
    const std::wstring link = TempFile(L"no-such-folder\\corvalle-test.lnk");
    EXPECT_EQ(ShellLinkCreate(SelfPath().c_str(), link.c_str()), -3);
    EXPECT_FALSE(testsupport::FileExists(link));
}

TEST(ShellLinkTest, DesktopShortcutLivesOnTheDesktop) {
    const std::wstring path = DesktopShortcutPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.size() - 14), L"\\ZubVynmar.lnk");
}

}  // namespace
