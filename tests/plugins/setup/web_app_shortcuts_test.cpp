// The default browser through the stand-in kernel's classes 21 and 22, and
// the web apps' desktop shortcuts found through the app centre's stand-in
// library (copied beside this program as "NessaryData.dll").
#include <shlobj.h>
#include <shlwapi.h>

#include "plugins/common/kernel_binding.h"
#include "plugins/setup/default_browser.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/uninstall_shortcut.h"
#include "plugins/setup/web_app_shortcuts.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/prefix_state.h"

using namespace setup;
using testsupport::Narrow;

namespace {

constexpr wchar_t kUserChoice[] = L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
constexpr wchar_t kTestClass[] = L"Software\\Classes\\TestHTML";

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    ASSERT_EQ(::RegSetKeyValueW(root, key.c_str(), name, REG_SZ, text.c_str(),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

class WebApps : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
        SetText(HKEY_CURRENT_USER, kUserChoice, L"Progid", L"TestHTML");
        SetText(HKEY_CURRENT_USER, std::wstring(kTestClass) + L"\\shell\\open\\command", nullptr,
                L"\"C:\\B\\b.exe\" -- \"%1\"");
        host_ = HostFolder() + L"\\";
        desktop_ = DesktopFolder() + L"\\";
        appsFile_ = WorkDir() + L"apps.txt";
        appLog_ = WorkDir() + L"app_centre.log";
        ::DeleteFileW(appLog_.c_str());
        ::SetEnvironmentVariableW(L"APP_CENTRE_APPS", appsFile_.c_str());
        ::SetEnvironmentVariableW(L"APP_CENTRE_LOG", appLog_.c_str());
    }
    void TearDown() override {
        for (const std::wstring& link : links_) ::DeleteFileW(link.c_str());
        ::DeleteFileW((host_ + L"NessaryData.dll").c_str());
        ::SHDeleteKeyW(HKEY_CURRENT_USER, kTestClass);
        ::SetEnvironmentVariableW(L"APP_CENTRE_APPS", nullptr);
        ::SetEnvironmentVariableW(L"APP_CENTRE_LOG", nullptr);
        BexKernelTest::TearDown();
    }

    std::wstring Link(const std::wstring& name, const std::wstring& target, const std::wstring& arguments) {
        const std::wstring path = desktop_ + name + L".lnk";
        links_.push_back(path);
        EXPECT_TRUE(SaveShortcut(path, ShortcutSpec{target, arguments, L"C:\\", L""}));
        return path;
    }
    static bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void Apps(const std::string& lines) {
        ASSERT_TRUE(setuptest::WriteBytes(appsFile_, std::vector<uint8_t>(lines.begin(), lines.end())));
    }

    testsupport::RegValueBackup choice_{HKEY_CURRENT_USER, kUserChoice, L"Progid"};
    std::wstring host_;
    std::wstring desktop_;
    std::wstring appsFile_;
    std::wstring appLog_;
    std::vector<std::wstring> links_;
};

TEST_F(WebApps, DefaultBrowserFromTheUsersChoice) {
    EXPECT_EQ(GetDefaultBrowserPath(), L"C:\\B\\b.exe");
    // A command without quotes gives no program; without a command neither.
    SetText(HKEY_CURRENT_USER, std::wstring(kTestClass) + L"\\shell\\open\\command", nullptr, L"C:\\B\\b.exe %1");
    EXPECT_EQ(GetDefaultBrowserPath(), L"");
    ::SHDeleteKeyW(HKEY_CURRENT_USER, kTestClass);
    EXPECT_EQ(GetDefaultBrowserPath(), L"");
    EXPECT_EQ(CountLines("21.6 \"C:\\B\\b.exe\" -- \"%1\""), 1);
}

TEST_F(WebApps, ShortcutsOfEachKindGoAndOthersStay) {
    ASSERT_TRUE(::CopyFileW((ExeDir() + L"app_centre_double.dll").c_str(), (host_ + L"NessaryData.dll").c_str(), FALSE));
    const std::wstring runner = host_ + L"Zubwapp.exe";
    const std::wstring f = WorkDir() + L"wa12";
    const std::wstring g = WorkDir() + L"wa30";
    ::SHCreateDirectoryExW(nullptr, g.c_str(), nullptr);
    ::WritePrivateProfileStringW(L"info", L"exec", L"run.exe", (g + L"\\config.ini").c_str());
    ::WritePrivateProfileStringW(L"info", L"params", L" -a ", (g + L"\\config.ini").c_str());
    Apps("12\t2\t" + Narrow(f) + "\t-\n20\t4\tC:\\x\thttp://x/\n30\t3\t" + Narrow(g) +
         "\t-\n40\t2\tC:\\n\t-\nnull\t40\n50\t2\t\t-\n60\t9\tC:\\y\t-\n");
    const std::wstring gone[] = {
        Link(L"wa_plain", runner, L"/w 12 /t 0 /d \"" + f + L"\""),
        Link(L"wa_case", runner, L"/W 12 /T 0 /D \"" + f + L"\"   "),
        Link(L"wa_second", runner, L"/w 12 /C 5 /t -1 /d \"" + f + L"\\\""),
        Link(L"wa_browser", L"C:\\B\\b.exe", L"\"http://x/\""),
        Link(L"wa_own", g + L"\\run.exe", L"-a"),
    };
    const std::wstring kept[] = {
        Link(L"wa_other_args", runner, L"/w 12 /t 1 /d \"" + f + L"\""),
        Link(L"wa_other_program", L"C:\\windows\\notepad.exe", L"/w 12 /t 0 /d \"" + f + L"\""),
        Link(L"wa_empty_folder", runner, L"/w 50 /t 0 /d \"\""),
    };
    RemoveWebAppShortcuts();
    for (const std::wstring& link : gone) EXPECT_FALSE(Exists(link)) << Narrow(link);
    for (const std::wstring& link : kept) EXPECT_TRUE(Exists(link)) << Narrow(link);

    // The library was let go: a second call loads it again and still works.
    const std::wstring again = Link(L"wa_again", runner, L"/w 12 /t 0 /d \"" + f + L"\"");
    RemoveWebAppShortcuts();
    EXPECT_FALSE(Exists(again));
    int ipc = 0;
    int ends = 0;
    std::vector<uint8_t> bytes = setuptest::ReadBytes(appLog_);
    std::string log(bytes.begin(), bytes.end());
    for (size_t at = 0; (at = log.find("ipc\n", at)) != std::string::npos; ++at) ++ipc;
    for (size_t at = 0; (at = log.find("end\n", at)) != std::string::npos; ++at) ++ends;
    EXPECT_EQ(ipc, 2);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(log.find("UNEXPECTED"), std::string::npos);
}

TEST_F(WebApps, RefusedCountsAskForNoIds) {
    ASSERT_TRUE(::CopyFileW((ExeDir() + L"app_centre_double.dll").c_str(), (host_ + L"NessaryData.dll").c_str(), FALSE));
    for (const char* count : {"count\t-1\n", "count\t100001\n"}) {
        ::DeleteFileW(appLog_.c_str());
        Apps(count);
        RemoveWebAppShortcuts();
        std::vector<uint8_t> bytes = setuptest::ReadBytes(appLog_);
        const std::string log(bytes.begin(), bytes.end());
        EXPECT_EQ(log.find("ids"), std::string::npos) << count;
        EXPECT_NE(log.find("end"), std::string::npos) << count;
    }
}

}  // namespace
