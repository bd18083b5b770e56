// Class 91 through the stand-in kernel: the registry steps for real in the
// prefix (values saved and put back), the shell-extension entries through
// the registration stand-in copied as ZubPellorS.dll.
#include <shlwapi.h>

#include <ctime>

#include "plugins/setup/lumvex_interfaces.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/prefix_state.h"

using namespace setup;
using testsupport::Narrow;

namespace {

const wchar_t kPellorKey[] = L"SOFTWARE\\Tarvisk\\pellor";
const wchar_t kDontLoad[] = L"Control Panel\\don't load";

std::optional<DWORD> ReadNumber(const wchar_t* name) {
    DWORD type = 0, value = 0, size = sizeof(value);
    if (::SHGetValueW(HKEY_LOCAL_MACHINE, kPellorKey, name, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

// The applet value's type and raw bytes; type 0 when absent.
std::pair<DWORD, std::vector<uint8_t>> ReadApplet() {
    HKEY key = nullptr;
    std::pair<DWORD, std::vector<uint8_t>> out{0, {}};
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kDontLoad, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    BYTE data[64] = {};
    DWORD size = sizeof(data);
    if (::RegQueryValueExW(key, L"ZubPellor.cpl", nullptr, &out.first, data, &size) == ERROR_SUCCESS)
        out.second.assign(data, data + size);
    ::RegCloseKey(key);
    return out;
}

class SetupJob : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(LoadPlugin(L"Lumvex.dll"), S_OK);
        manager_ = WorkDir() + L"setupjob_manager\\";
        ::CreateDirectoryW(manager_.c_str(), nullptr);
        registrationLog_ = WorkDir() + L"setupjob_registration.log";
        ::DeleteFileW(registrationLog_.c_str());
        ::SetEnvironmentVariableW(L"REGISTRATION_LOG", registrationLog_.c_str());
        ::SetEnvironmentVariableW(L"REGISTRATION_RESULT_ZubPellorS.dll", nullptr);
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"REGISTRATION_LOG", nullptr);
        BexKernelTest::TearDown();
    }
    // A job made with the given stand-in configuration.
    ISetupjob* Job(const std::string& ini) {
        Configure(ini);
        IBexPlugin* job = nullptr;
        EXPECT_EQ(Create(91, &job), S_OK);
        return static_cast<ISetupjob*>(job);
    }
    std::string ManagerIni() const { return "[environment]\nmanagerFolder=" + Narrow(manager_) + "\n"; }
    void PlaceExtension(const std::wstring& folder) {
        ASSERT_TRUE(::CopyFileW((ExeDir() + L"registration_double.dll").c_str(),
                                (folder + L"ZubPellorS.dll").c_str(), FALSE));
    }
    std::string RegistrationLog() const {
        const std::vector<uint8_t> bytes = setuptest::ReadBytes(registrationLog_);
        return std::string(bytes.begin(), bytes.end());
    }

    testsupport::RegValueBackup installTime_{HKEY_LOCAL_MACHINE, kPellorKey, L"installtime"};
    testsupport::RegValueBackup tipCycle_{HKEY_LOCAL_MACHINE, kPellorKey, L"UpdateTipCycle"};
    testsupport::RegValueBackup applet_{HKEY_CURRENT_USER, kDontLoad, L"ZubPellor.cpl"};
    std::wstring manager_;
    std::wstring registrationLog_;
};

TEST_F(SetupJob, AfterInstallStampsTheTimeAndAppliesTheAppletOption) {
    struct Case {
        const char* options;  // the stand-in's [options] section
        DWORD appletType;     // 0: no value
    } cases[] = {
        {"Options\\ShowControlPanelShortcut=0\n", REG_SZ},
        {"Options\\ShowControlPanelShortcut=1\n", 0},
        {"", REG_SZ},  // unreadable counts as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ::SHSetValueW(HKEY_CURRENT_USER, kDontLoad, L"ZubPellor.cpl", REG_SZ, L"X", 4);
        ISetupjob* job = Job(ManagerIni() + "[options]\n" + c.options);
        const DWORD before = static_cast<DWORD>(::_time64(nullptr));
        EXPECT_EQ(job->AfterInstall(), 1);
        const DWORD after = static_cast<DWORD>(::_time64(nullptr));
        const std::optional<DWORD> stamp = ReadNumber(L"installtime");
        ASSERT_TRUE(stamp);
        EXPECT_GE(*stamp, before);
        EXPECT_LE(*stamp, after);
        EXPECT_EQ(ReadNumber(L"UpdateTipCycle"), std::optional<DWORD>(1));
        const auto applet = ReadApplet();
        EXPECT_EQ(applet.first, c.appletType);
        if (c.appletType == REG_SZ) {
            EXPECT_EQ(applet.second, (std::vector<uint8_t>{'N', 0, 'O', 0}));
        }
        job->Release();
    }
}

TEST_F(SetupJob, AfterInstallWithoutOptionsStoreWritesOnlyTheMachineValues) {
    ::SHDeleteValueW(HKEY_CURRENT_USER, kDontLoad, L"ZubPellor.cpl");
    ::SHDeleteValueW(HKEY_LOCAL_MACHINE, kPellorKey, L"UpdateTipCycle");
    ISetupjob* job = Job(ManagerIni() + "[classes]\n47=refuse\n");
    EXPECT_EQ(job->AfterInstall(), 1);
    EXPECT_TRUE(ReadNumber(L"installtime"));
    EXPECT_EQ(ReadNumber(L"UpdateTipCycle"), std::optional<DWORD>(1));
    EXPECT_EQ(ReadApplet().first, 0u);
    EXPECT_EQ(job->Nothing4(), 1);
    EXPECT_EQ(job->Nothing6(), 1);
    EXPECT_EQ(job->Nothing7(), 1);
    job->Release();
}

TEST_F(SetupJob, ShellExtensionEntriesReportTheLibrarysAnswer) {
    PlaceExtension(manager_);
    const std::wstring ordered = WorkDir() + L"setupjob_order.log";
    ::DeleteFileW(ordered.c_str());
    ::SetEnvironmentVariableW(L"OUTSIDE_ORDER_LOG", ordered.c_str());
    ISetupjob* job = Job(ManagerIni());
    EXPECT_EQ(job->RegisterShellExtension(), 1);
    EXPECT_EQ(job->UnregisterShellExtension(), 1);
    ::SetEnvironmentVariableW(L"OUTSIDE_ORDER_LOG", nullptr);
    EXPECT_EQ(RegistrationLog(), "ZubPellorS.dll register\nZubPellorS.dll unregister\n");
    const std::vector<uint8_t> order = setuptest::ReadBytes(ordered);
    EXPECT_EQ(std::string(order.begin(), order.end()), RegistrationLog()) << "the shared log has the same lines";

    ::SetEnvironmentVariableW(L"REGISTRATION_RESULT_ZubPellorS.dll", L"0x80004005");
    EXPECT_EQ(job->RegisterShellExtension(), 0);
    EXPECT_EQ(job->UnregisterShellExtension(), 0);

    ::SetEnvironmentVariableW(L"REGISTRATION_RESULT_ZubPellorS.dll", nullptr);
    job->Release();
    // The folder without its trailing backslash names the same library.
    job = Job("[environment]\nmanagerFolder=" + Narrow(manager_.substr(0, manager_.size() - 1)) + "\n");
    EXPECT_EQ(job->RegisterShellExtension(), 1);

    ASSERT_TRUE(::DeleteFileW((manager_ + L"ZubPellorS.dll").c_str()));
    EXPECT_EQ(job->RegisterShellExtension(), 0);
    job->Release();
}

TEST_F(SetupJob, EmptyManagerFolderLoadsNoLibraryFromTheSearchPath) {
    // A planted library in the start folder and on the path.
    const std::wstring planted = WorkDir() + L"setupjob_planted\\";
    ::CreateDirectoryW(planted.c_str(), nullptr);
    PlaceExtension(planted);
    wchar_t oldDir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, oldDir);
    const std::wstring oldPath = Env(L"PATH");
    ::SetCurrentDirectoryW(planted.c_str());
    ::SetEnvironmentVariableW(L"PATH", (planted + L";" + oldPath).c_str());

    // "X:" alone is the current folder of drive X, here the planted one.
    const std::string drive = Narrow(planted.substr(0, 2));
    for (const std::string& ini : {std::string("[environment]\nmanagerFolder=\n"), std::string("[classes]\n40=refuse\n"),
                                   "[environment]\nmanagerFolder=" + drive + "\n"}) {
        SCOPED_TRACE(ini);
        ISetupjob* job = Job(ini);
        EXPECT_EQ(job->RegisterShellExtension(), 0);
        EXPECT_EQ(job->UnregisterShellExtension(), 0);
        job->Release();
    }
    ::SetCurrentDirectoryW(oldDir);
    ::SetEnvironmentVariableW(L"PATH", oldPath.c_str());
    EXPECT_EQ(RegistrationLog(), "");
}

TEST_F(SetupJob, UninstallRemovesTheUsersKeyAndTheAppletValue) {
    ISetupjob* job = Job(ManagerIni());
    ::SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZubPellor");
    ::SHDeleteValueW(HKEY_CURRENT_USER, kDontLoad, L"ZubPellor.cpl");
    EXPECT_EQ(job->Uninstall(), 1) << "nothing to remove";

    ::SHSetValueW(HKEY_CURRENT_USER, L"Software\\ZubPellor\\x", L"v", REG_SZ, L"1", 4);
    ::SHSetValueW(HKEY_CURRENT_USER, kDontLoad, L"ZubPellor.cpl", REG_SZ, L"NO", 4);
    EXPECT_EQ(job->Uninstall(), 1);
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\ZubPellor", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(ReadApplet().first, 0u);
    job->Release();
}

}  // namespace
