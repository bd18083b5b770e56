#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "companion/app/startup.h"
#include "companion/system/paths.h"
#include "companion/system/screen.h"
#include "companion/system/shared_settings.h"
#include "companion/system/web_identify.h"
#include "tests/companion/prefix_state.h"

using namespace companion;

namespace {

constexpr wchar_t kServiceKey[] = L"Software\\ZubPellor\\ZubPellorService";

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
