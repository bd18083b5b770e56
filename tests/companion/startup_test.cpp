#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "companion/app/startup.h"
#include "companion/system/autorun.h"
#include "companion/system/desktop_shortcut.h"
#include "companion/system/paths.h"
#include "companion/system/screen.h"
#include "companion/system/shared_settings.h"
#include "companion/system/web_identify.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

constexpr wchar_t kRunKey[] = L"software\\microsoft\\windows\\currentversion\\run";
constexpr wchar_t kServiceKey[] = L"Software\\ZubPellor\\ZubPellorService";

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

class ServiceWaitTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteKeyW(HKEY_CURRENT_USER, kServiceKey); }
    void TearDown() override { ::RegDeleteKeyW(HKEY_CURRENT_USER, kServiceKey); }
    static void CreateServiceKey() {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kServiceKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
};

TEST_F(ServiceWaitTest, NoServiceKeyMeansNoWait) {
    const DWORD start = ::GetTickCount();
    WaitForManagerService(10000);
    EXPECT_LT(::GetTickCount() - start, 2000u);
}

TEST_F(ServiceWaitTest, AChangedValueEndsTheWait) {
    CreateServiceKey();
    std::thread writer([] {
        ::Sleep(300);
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kServiceKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            const DWORD one = 1;
            ::RegSetValueExW(key, L"State", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
            ::RegCloseKey(key);
        }
    });
    const DWORD start = ::GetTickCount();
    WaitForManagerService(20000);
    const DWORD waited = ::GetTickCount() - start;
    writer.join();
    EXPECT_GE(waited, 200u);
    EXPECT_LT(waited, 10000u);
}

TEST_F(ServiceWaitTest, AQuietServiceIsWaitedForOnlyUntilTheTimeOut) {
    CreateServiceKey();
    const DWORD start = ::GetTickCount();
    WaitForManagerService(500);
    const DWORD waited = ::GetTickCount() - start;
    EXPECT_GE(waited, 400u);
    EXPECT_LT(waited, 5000u);
}

// The binding is made once per process, so one test walks its whole life:
// the stand-in library sits in "netmon" below the registered product folder.
TEST(WebIdentifyTest, BindsTheStandInOnceAndAsksIt) {
    std::wstring exeDir;
    ASSERT_TRUE(GetExeDir(exeDir));
    const std::wstring productDir = exeDir + L"webidentify-product\\";
    ::CreateDirectoryW(productDir.c_str(), nullptr);
    ::CreateDirectoryW((productDir + L"netmon").c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((exeDir + L"web_identify_double.dll").c_str(),
                            (productDir + L"netmon\\ZubWebIdentify.dll").c_str(), FALSE));
    const wchar_t* appPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, appPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(productDir.c_str()),
                     static_cast<DWORD>((productDir.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);

    ASSERT_EQ(SharedSettings::Instance().WebIdentify.load(), nullptr);
    BindWebIdentify();
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, appPath);

    WebIdentifyBinding* binding = SharedSettings::Instance().WebIdentify.load();
    ASSERT_NE(binding, nullptr);
    ASSERT_TRUE(binding->Bound());
    ::SetEnvironmentVariableW(L"WEB_IDENTIFY_STATE", L"3");
    EXPECT_EQ(binding->getState(), 3);
    EXPECT_TRUE(IsMonitorActive()) << "a busy web-identify state asks for quiet";
    ::SetEnvironmentVariableW(L"WEB_IDENTIFY_STATE", nullptr);
    EXPECT_EQ(binding->getState(), 0);
    EXPECT_FALSE(IsMonitorActive());

    BindWebIdentify();  // a second call keeps the first binding
    EXPECT_EQ(SharedSettings::Instance().WebIdentify.load(), binding);
}

}  // namespace
