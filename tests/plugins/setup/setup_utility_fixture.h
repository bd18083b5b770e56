// The world of the setup utility's tests in the prefix: an App Paths folder
// "sec\" under the test's work folder with the manager in "sec\Pellor\",
// the registration stand-in there under each library name, the shared
// ordered log, and every registry value and file the jobs touch put back
// or removed at the end.
#pragma once

#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "plugins/setup/lumvex_interfaces.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/prefix_state.h"

constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";
constexpr wchar_t kUninstallLinkName[] = L"强力卸载电脑上的软件.lnk";

class SetupUtilityTest : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(LoadPlugin(L"Lumvex.dll"), S_OK);
        security_ = WorkDir() + L"sec\\";
        manager_ = security_ + L"Pellor\\";
        ::SHCreateDirectoryExW(nullptr, manager_.c_str(), nullptr);
        SetSecurityFolder(security_);
        for (const wchar_t* name : {L"PellorExt.dll", L"PellorWebProxy.dll", L"ZubPellorS.dll"})
            ASSERT_TRUE(::CopyFileW((ExeDir() + L"registration_double.dll").c_str(), (manager_ + name).c_str(), FALSE));
        orderLog_ = WorkDir() + L"order.log";
        ::DeleteFileW(orderLog_.c_str());
        ::SetEnvironmentVariableW(L"OUTSIDE_ORDER_LOG", orderLog_.c_str());
        // The folder the plug-in's logs live in, spelled as the logger does:
        // the prefix's file system tells letter case apart, and the lite
        // folder's copy would otherwise make a second spelling of it.
        ::SHCreateDirectoryExW(nullptr, (Special(CSIDL_APPDATA) + L"\\Tarvisk").c_str(), nullptr);
        ClearMachineState();
    }
    void TearDown() override {
        BexKernelTest::TearDown();
        ::SetEnvironmentVariableW(L"OUTSIDE_ORDER_LOG", nullptr);
        ClearMachineState();
    }

    static void ClearMachineState() {
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"pellorandzub");
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"lnkfile\\shell\\强力卸载此软件");
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"lnkfile\\shellex\\ContextMenuHandlers\\PellorExt");
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zubpellor");
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L".setuptestpin");
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"setuptestpinfile");
        ::DeleteFileW((Special(CSIDL_COMMON_PROGRAMS) + L"\\" + kUninstallLinkName).c_str());
        ::DeleteFileW(GameCentreLink().c_str());
        RemoveTree(Special(CSIDL_APPDATA) + L"\\tarvisk\\ZubPellorLite");
        RemoveTree(TempDir() + L"ZubPellorLite");
    }

    void SetSecurityFolder(const std::wstring& folder) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        if (folder.empty()) {
            ::RegDeleteValueW(key, L"Path");
        } else {
            ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                             static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        }
        ::RegCloseKey(key);
    }

    std::string World(const std::string& more = "") const {
        return "[environment]\nmanagerFolder=" + testsupport::Narrow(manager_) +
               "\n[downloads]\nfolder=C:\\Dl\\\n" + more;
    }

    // The shared ordered log's lines.
    std::vector<std::string> OrderLog() const {
        const std::vector<uint8_t> bytes = setuptest::ReadBytes(orderLog_);
        std::vector<std::string> lines;
        std::string line;
        for (uint8_t b : bytes) {
            if (b == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(b);
            }
        }
        return lines;
    }
    // The stand-in's lines that start with `prefix`.
    std::vector<std::string> LinesStarting(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& line : LogLines())
            if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
        return out;
    }

    // An option as the stand-in's store holds it; "-" when absent.
    static std::wstring Option(const wchar_t* key) {
        wchar_t value[512] = {};
        ::GetPrivateProfileStringW(L"options", key, L"-", value, 512, Env(L"BEXTEST_CONFIG").c_str());
        return value;
    }
    static std::wstring Profile(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
        wchar_t value[64] = {};
        ::GetPrivateProfileStringW(section, key, L"-", value, 64, file.c_str());
        return value;
    }

    static std::wstring Special(int csidl) {
        wchar_t path[MAX_PATH] = {};
        ::SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
        return path;
    }
    static std::wstring TempDir() {
        wchar_t path[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, path);
        return path;
    }
    static std::wstring GameCentreLink() { return Special(CSIDL_DESKTOPDIRECTORY) + L"\\Zub游戏中心.lnk"; }
    static void RemoveTree(const std::wstring& folder) {
        std::vector<wchar_t> from(folder.begin(), folder.end());
        from.push_back(0);
        from.push_back(0);
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.data();
        op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        if (::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) ::SHFileOperationW(&op);
    }

    testsupport::RegValueBackup appPath_{HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path"};
    testsupport::RegValueBackup installTime_{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvisk\\pellor", L"installtime"};
    testsupport::RegValueBackup tipCycle_{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvisk\\pellor", L"UpdateTipCycle"};
    testsupport::RegValueBackup applet_{HKEY_CURRENT_USER, L"Control Panel\\don't load", L"ZubPellor.cpl"};
    std::wstring security_;
    std::wstring manager_;
    std::wstring orderLog_;
};
