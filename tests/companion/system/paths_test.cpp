#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "companion/system/paths.h"
#include "companion/system/registry_values.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

constexpr wchar_t kAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";

std::wstring WindowsDir() {
    wchar_t dir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(dir, MAX_PATH);
    return dir;
}

std::wstring ParentOf(const std::wstring& dirWithSlash) {
    const size_t cut = dirWithSlash.find_last_of(L'\\', dirWithSlash.size() - 2);
    return dirWithSlash.substr(0, cut + 1);
}

void TouchFile(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
}

TEST(PathTypeTest, TellsFilesFromFolders) {
    const std::wstring windows = WindowsDir();
    EXPECT_EQ(GetPathType((L"  " + windows + L"\\").c_str()), 2);
    EXPECT_EQ(GetPathType(windows.c_str()), 2);
    EXPECT_EQ(GetPathType((windows + L"\\notepad.exe").c_str()), 1);
    EXPECT_EQ(GetPathType((windows + L"\\notepad.exe  ").c_str()), 1);
    EXPECT_EQ(GetPathType(L"C:\\"), 2);
}

TEST(PathTypeTest, NothingToQueryIsZeroAndAMissingPathMinusOne) {
    EXPECT_EQ(GetPathType(nullptr), 0);
    EXPECT_EQ(GetPathType(L""), 0);
    EXPECT_EQ(GetPathType(L"   "), 0);
    EXPECT_EQ(GetPathType(L"C:\\no\\such\\path\\here"), -1);
}

TEST(ExeDirTest, IsTheFolderOfTheRunningProgram) {
    std::wstring dir;
    ASSERT_TRUE(GetExeDir(dir));
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(self).rfind(dir, 0), 0u);
    EXPECT_EQ(std::wstring(self).find(L'\\', dir.size()), std::wstring::npos);
}

TEST(UserRegStringTest, CreatesTheKeyAndWritesTheText) {
    const wchar_t* subkey = L"Software\\CorvalleTests\\RegString";
    ::RegDeleteKeyW(HKEY_CURRENT_USER, subkey);
    ASSERT_EQ(WriteUserRegString(L"Value", subkey, L"255 255 255"), 0);
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, subkey, L"Value").value_or(L"<missing>"), L"255 255 255");
    ASSERT_EQ(WriteUserRegString(L"Value", subkey, L"中文"), 0);
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CURRENT_USER, subkey, L"Value").value_or(L"<missing>"), L"中文");
    ::RegDeleteKeyW(HKEY_CURRENT_USER, subkey);
}

TEST(UserRegStringTest, MissingArgumentsAreMinusThree) {
    EXPECT_EQ(WriteUserRegString(nullptr, L"Software\\CorvalleTests", L"x"), -3);
    EXPECT_EQ(WriteUserRegString(L"v", nullptr, L"x"), -3);
    EXPECT_EQ(WriteUserRegString(L"v", L"Software\\CorvalleTests", nullptr), -3);
}

class ProductDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetExeDir(exeDir_));
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey);
        ::DeleteFileW((exeDir_ + L"Tarvisk.exe").c_str());
        ::DeleteFileW((ParentOf(exeDir_) + L"Tarvisk.exe").c_str());
    }
    void TearDown() override {
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey);
        ::DeleteFileW((exeDir_ + L"Tarvisk.exe").c_str());
        ::DeleteFileW((ParentOf(exeDir_) + L"Tarvisk.exe").c_str());
    }
    static void RegisterPath(const wchar_t* path) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                         static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    std::wstring exeDir_;
};

TEST_F(ProductDirTest, NoProductAnywhereIsMinusTwoAndEmpty) {
    std::wstring dir = L"stale";
    EXPECT_EQ(GetTarviskDir(dir), -2);
    EXPECT_TRUE(dir.empty());
}

TEST_F(ProductDirTest, TheRegisteredPathWinsAndGetsATrailingBackslash) {
    RegisterPath(L"D:\\Product");
    TouchFile(exeDir_ + L"Tarvisk.exe");
    std::wstring dir;
    EXPECT_EQ(GetTarviskDir(dir), 0);
    EXPECT_EQ(dir, L"D:\\Product\\");
}

TEST_F(ProductDirTest, AnEmptyRegisteredPathFallsBackToTheFolders) {
    RegisterPath(L"");
    TouchFile(ParentOf(exeDir_) + L"Tarvisk.exe");
    std::wstring dir;
    EXPECT_EQ(GetTarviskDir(dir), 0);
    EXPECT_EQ(dir, ParentOf(exeDir_));
}

TEST_F(ProductDirTest, ARegisteredPathThatNamesNoPlaceCountsAsMissing) {
    TouchFile(exeDir_ + L"Tarvisk.exe");
    // Relative, drive-relative or quoted: it would name whatever the current
    // folder holds, and a library is loaded from it.
    for (const wchar_t* registered : {L"Product", L"D:Product", L"\\Product", L"\"D:\\Product\""}) {
        RegisterPath(registered);
        std::wstring dir;
        EXPECT_EQ(GetTarviskDir(dir), 0);
        EXPECT_EQ(dir, exeDir_) << testsupport::Narrow(registered);
    }
}

TEST_F(ProductDirTest, OwnFolderComesBeforeItsParent) {
    TouchFile(exeDir_ + L"Tarvisk.exe");
    TouchFile(ParentOf(exeDir_) + L"Tarvisk.exe");
    std::wstring dir;
    EXPECT_EQ(GetTarviskDir(dir), 0);
    EXPECT_EQ(dir, exeDir_);
}

}  // namespace
