// Class 90's pinning for real in the prefix: links written and read back
// with the shell-link object, the machine registry values, the Start menu
// and Quick Launch folders. The shell's pin verbs come from a recording
// fake (this system's Shell object offers none).
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "plugins/common/kernel_binding.h"
#include "plugins/setup/pin_to_start_menu.h"
#include "plugins/setup/uninstall_shortcut.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/plugins/setup/fake_shell_verbs.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/prefix_state.h"

using namespace setup;
using testsupport::Narrow;

namespace {

const wchar_t kPinKey[] = L"SOFTWARE\\Zubpellor\\pellors";
const std::wstring kLink = kUninstallLinkName;

std::wstring Special(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
    return path;
}

struct LinkFields {
    std::wstring target, arguments, workingFolder, icon;
    int iconIndex = -1;
};

LinkFields ReadLink(const std::wstring& path) {
    LinkFields out;
    ::CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
                wchar_t text[MAX_PATH] = {};
                link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
                out.target = text;
                link->GetArguments(text, MAX_PATH);
                out.arguments = text;
                link->GetWorkingDirectory(text, MAX_PATH);
                out.workingFolder = text;
                link->GetIconLocation(text, MAX_PATH, &out.iconIndex);
                out.icon = text;
            }
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return out;
}

std::optional<DWORD> ReadPinned() {
    DWORD type = 0, value = 0, size = sizeof(value);
    if (::SHGetValueW(HKEY_LOCAL_MACHINE, kPinKey, L"AlReadyPin", &type, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPinKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}

class PinToStartMenu : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
        manager_ = WorkDir() + L"pin_manager\\";
        ::CreateDirectoryW(manager_.c_str(), nullptr);
        ::DeleteFileW((manager_ + kLink).c_str());
        startMenuLink_ = Special(CSIDL_COMMON_PROGRAMS) + L"\\" + kLink;
        quickLaunch_ = Special(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\";
        pinned_ = quickLaunch_ + L"User Pinned\\StartMenu\\";
        ::SHCreateDirectoryExW(nullptr, pinned_.c_str(), nullptr);
        Clean();
    }
    void TearDown() override {
        Clean();
        BexKernelTest::TearDown();
    }
    void Clean() {
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zubpellor");
        ::DeleteFileW(startMenuLink_.c_str());
    }
    // An object as the kernel's factory makes it, with the fake's verbs.
    CPinToStartMenu* Make(int systemCode, const std::string& extra = "") {
        Configure("[environment]\nmanagerFolder=" + Narrow(manager_) + "\n[system]\ncode=" +
                  std::to_string(systemCode) + "\n" + extra);
        plugin::NotifyCreated(90);
        return new CPinToStartMenu(verbs_);
    }
    bool Invoked(const std::wstring& folder, const std::wstring& file, const std::wstring& verb) const {
        for (const std::wstring& entry : verbs_.invoked)
            if (entry == folder + L"|" + file + L"|" + verb) return true;
        return false;
    }
    static bool Exists(const std::wstring& path) {
        return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static void MakeLink(const std::wstring& path, const std::wstring& target) {
        ASSERT_TRUE(SaveShortcut(path, {target, L"", L"", L""}));
    }

    FakeShellVerbs verbs_{{L"&Open", L"&Pin to Start Menu", L"Unpin from Start Menu"}};
    std::wstring manager_, startMenuLink_, quickLaunch_, pinned_;
};

TEST_F(PinToStartMenu, OldSystemsAndAnEmptyManagerFolderChangeNothing) {
    CPinToStartMenu* old = Make(8);
    EXPECT_EQ(old->Pin(), 0);
    EXPECT_EQ(old->Unpin(), 0);
    old->Release();
    CPinToStartMenu* unknown = Make(0, "[classes]\n10=refuse\n");
    EXPECT_EQ(unknown->Pin(), 0);
    unknown->Release();
    EXPECT_FALSE(Exists(manager_ + kLink));
    EXPECT_FALSE(Exists(startMenuLink_));
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zubpellor", 0, KEY_READ, &key), ERROR_SUCCESS);

    Configure("[environment]\nmanagerFolder=\n");
    plugin::NotifyCreated(90);
    CPinToStartMenu* empty = new CPinToStartMenu(verbs_);
    EXPECT_EQ(empty->Pin(), 0);
    EXPECT_EQ(empty->Unpin(), 0);
    EXPECT_EQ(empty->InvokePinVerb(TRUE), 0);
    EXPECT_EQ(empty->RunSetupUtility(TRUE), 0);
    EXPECT_EQ(empty->ScanPinnedStartMenu(), 0);
    empty->Release();
    EXPECT_TRUE(verbs_.invoked.empty());
}

TEST_F(PinToStartMenu, TheManagerFolderIsFullyQualifiedAndJoinedWithOneSeparator) {
    auto make = [this](const std::wstring& folder) {
        Configure("[environment]\nmanagerFolder=" + Narrow(folder) + "\n[system]\ncode=10\n");
        plugin::NotifyCreated(90);
        return new CPinToStartMenu(verbs_);
    };
    // Relative to the current folder, or to the current folder of its drive,
    // the links would land here.
    const std::wstring here = setuptest::WorkPath(L"pin_relative\\");
    ::CreateDirectoryW(here.c_str(), nullptr);
    for (const std::wstring& folder : {std::wstring(L"pin_relative\\"), here.substr(0, 2) + L"pin_relative\\"}) {
        SCOPED_TRACE(Narrow(folder));
        CPinToStartMenu* relative = make(folder);
        EXPECT_EQ(relative->Pin(), 0);
        EXPECT_EQ(relative->RunSetupUtility(TRUE), 0);
        relative->Release();
    }
    EXPECT_FALSE(Exists(here + kLink));
    EXPECT_FALSE(Exists(startMenuLink_));

    // Without its trailing backslash the folder names the same files.
    CPinToStartMenu* bare = make(manager_.substr(0, manager_.size() - 1));
    EXPECT_EQ(bare->Pin(), 1);
    EXPECT_EQ(ReadLink(manager_ + kLink).target, manager_ + L"RidireNotify.exe");
    bare->Release();
}

TEST_F(PinToStartMenu, PinWritesBothShortcutsAndRecordsThePinThenUnpinTakesItBack) {
    CPinToStartMenu* menu = Make(10);
    EXPECT_EQ(menu->Pin(), 1);
    EXPECT_EQ(menu->Pin(), 1);
    for (const std::wstring& path : {manager_ + kLink, startMenuLink_}) {
        SCOPED_TRACE(Narrow(path));
        const LinkFields link = ReadLink(path);
        EXPECT_EQ(link.target, manager_ + L"RidireNotify.exe");
        EXPECT_EQ(link.arguments, L"/RUNPELLOR");
        EXPECT_EQ(link.workingFolder, manager_);
        EXPECT_EQ(link.icon, manager_ + L"SetupUtility.ico");
        EXPECT_EQ(link.iconIndex, 0);
    }
    EXPECT_EQ(ReadPinned(), std::optional<DWORD>(1));
    EXPECT_EQ(testsupport::ReadRegText(HKEY_LOCAL_MACHINE, kPinKey, L"PinLink"), manager_ + kLink);
    const std::wstring pin = manager_ + L"|" + kLink + L"|&Pin to Start Menu";
    EXPECT_EQ(std::count(verbs_.invoked.begin(), verbs_.invoked.end(), pin), 2) << "one pin per Pin";
    EXPECT_TRUE(Invoked(manager_, kLink, L"Unpin from Start Menu")) << "the recorded link unpinned first";

    verbs_.invoked.clear();
    EXPECT_EQ(menu->Unpin(), 1);
    EXPECT_FALSE(Exists(startMenuLink_));
    EXPECT_TRUE(Exists(manager_ + kLink));
    EXPECT_EQ(ReadPinned(), std::optional<DWORD>(0));
    EXPECT_TRUE(Invoked(manager_, kLink, L"Unpin from Start Menu"));

    verbs_.invoked.clear();
    EXPECT_EQ(menu->InvokePinVerb(TRUE), 1);
    EXPECT_EQ(verbs_.invoked, std::vector<std::wstring>{pin});
    menu->Release();
}

TEST_F(PinToStartMenu, TheRecordedLinkIsUnpinnedWhereItLies) {
    const std::wstring elsewhere = WorkDir() + L"pin_elsewhere\\";
    ::CreateDirectoryW(elsewhere.c_str(), nullptr);
    setuptest::WriteBytes(elsewhere + L"file.lnk", {1});
    const std::wstring longText(400, L'a');
    const std::wstring unterminated = elsewhere.substr(0, elsewhere.size() - 1);
    struct Case {
        const char* what;
        DWORD type;
        std::wstring text;
        DWORD bytes;          // 0: with its terminator
        std::wstring folder;  // where the unpin goes; empty: none
    } cases[] = {
        {"folder", REG_SZ, elsewhere, 0, elsewhere},
        {"file", REG_SZ, elsewhere + L"file.lnk", 0, elsewhere},
        {"unterminated", REG_SZ, unterminated, static_cast<DWORD>(unterminated.size() * 2), elsewhere},
        {"nothing there", REG_SZ, elsewhere + L"gone\\", 0, L""},
        {"too long", REG_SZ, longText, 0, L""},
        {"not a text", REG_DWORD, L"\x0001\x0000", 4, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetRaw(L"PinLink", c.type, c.text.c_str(),
               c.bytes ? c.bytes : static_cast<DWORD>((c.text.size() + 1) * sizeof(wchar_t)));
        CPinToStartMenu* menu = Make(10);
        verbs_.invoked.clear();
        EXPECT_EQ(menu->Unpin(), 1);
        std::vector<std::wstring> expected;
        if (!c.folder.empty()) expected.push_back(c.folder + L"|" + kLink + L"|Unpin from Start Menu");
        EXPECT_EQ(verbs_.invoked, expected);
        menu->Release();
    }
}

TEST_F(PinToStartMenu, ApplyPinStateStartsTheSetupUtilityHidden) {
    ASSERT_TRUE(::CopyFileW((ExeDir() + L"recording_program.exe").c_str(), (manager_ + L"SetupUtility.exe").c_str(),
                            FALSE));
    const std::wstring calls = manager_ + L"SetupUtility.exe.calls";
    ::DeleteFileW(calls.c_str());
    const DWORD one = 1;
    struct Case {
        const char* what;
        DWORD type;  // 0: no value
        const void* data;
        DWORD size;
        const char* expected;
    } cases[] = {
        {"pinned", REG_DWORD, &one, 4, "/SETMENU\r\n"},
        {"unpinned", REG_DWORD, "\0\0\0\0", 4, "/REMOVEMENU\r\n"},
        {"missing", 0, nullptr, 0, "/REMOVEMENU\r\n"},
        {"a text", REG_SZ, L"1", 4, "/REMOVEMENU\r\n"},
    };
    std::string expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zubpellor");
        if (c.type) SetRaw(L"AlReadyPin", c.type, c.data, c.size);
        CPinToStartMenu* menu = Make(10);
        EXPECT_EQ(menu->ApplyPinState(), 1);
        menu->Release();
        expected += c.expected;
        std::string got;
        for (int i = 0; i < 200 && got != expected; ++i) {
            const std::vector<uint8_t> bytes = setuptest::ReadBytes(calls);
            got.assign(bytes.begin(), bytes.end());
            if (got != expected) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_EQ(got, expected);
    }
}

TEST_F(PinToStartMenu, StalePinsOfAnotherFolderAreUnpinnedAndDeleted) {
    const std::wstring stale = pinned_ + kLink;
    const std::wstring ours = pinned_ + L"强力卸载电脑上的软件 (2).lnk";
    const std::wstring unresolved = pinned_ + L"强力卸载电脑上的软件 (3).lnk";
    MakeLink(stale, L"C:\\Other\\RidireNotify.exe");
    MakeLink(ours, manager_ + L"RidireNotify.exe");
    setuptest::WriteBytes(unresolved, {0});  // class 23 cannot read it

    CPinToStartMenu* menu = Make(12);
    EXPECT_EQ(menu->Pin(), 1);
    menu->Release();
    EXPECT_FALSE(Exists(stale));
    EXPECT_TRUE(Exists(ours));
    EXPECT_TRUE(Exists(unresolved));
    EXPECT_TRUE(Invoked(pinned_, kLink, L"Unpin from Start Menu"));
    EXPECT_EQ(CountLines("23.5 " + testsupport::Narrow(ours)), 1);
    ::DeleteFileW(ours.c_str());
    ::DeleteFileW(unresolved.c_str());

    MakeLink(stale, L"C:\\Other\\RidireNotify.exe");
    CPinToStartMenu* ten = Make(10);
    EXPECT_EQ(ten->Pin(), 1);
    ten->Release();
    EXPECT_TRUE(Exists(stale)) << "looked for only at system code 12";
    ::DeleteFileW(stale.c_str());
}

TEST_F(PinToStartMenu, ScanDeletesTheQuickLaunchLinkIntoTheManagerFolderOnly) {
    const std::wstring other = quickLaunch_ + L"pin_scan_a.lnk";
    const std::wstring below = quickLaunch_ + L"pin_scan_c.lnk";
    const std::wstring ours = quickLaunch_ + L"pin_scan_b.lnk";
    MakeLink(other, L"C:\\Other\\x.exe");
    MakeLink(below, manager_ + L"sub\\x.exe");
    MakeLink(ours, manager_ + L"x.exe");
    CPinToStartMenu* menu = Make(10, "[shortcut]\nfail=0\n");
    EXPECT_EQ(menu->ScanPinnedStartMenu(), 1);
    EXPECT_TRUE(Exists(other));
    EXPECT_TRUE(Exists(below)) << "a sub-folder is not the manager's folder";
    EXPECT_FALSE(Exists(ours));
    EXPECT_EQ(menu->ScanPinnedStartMenu(), 0);

    MakeLink(ours, manager_ + L"x.exe");
    Configure("[environment]\nmanagerFolder=" + Narrow(manager_) + "\n[shortcut]\nfail=1\n");
    EXPECT_EQ(menu->ScanPinnedStartMenu(), 0) << "links that can't be resolved are skipped";
    EXPECT_TRUE(Exists(ours));
    menu->Release();
    for (const std::wstring& path : {other, below, ours}) ::DeleteFileW(path.c_str());
}

// The shell failing by throwing: each slot answers its failure value and
// the exception stays in the plug-in.
TEST_F(PinToStartMenu, AThrowingShellGivesEachSlotItsFailure) {
    struct ThrowingVerbs final : IShellVerbSource {
        void Visit(const std::wstring&, const std::wstring&, const std::function<bool(IShellVerb&)>&) override {
            throw std::runtime_error("no shell");
        }
    } throwing;
    Configure("[environment]\nmanagerFolder=" + Narrow(manager_) + "\n[system]\ncode=10\n");
    plugin::NotifyCreated(90);
    CPinToStartMenu* menu = new CPinToStartMenu(throwing);
    EXPECT_EQ(menu->Pin(), 0);
    EXPECT_EQ(menu->Unpin(), 0);
    EXPECT_EQ(menu->InvokePinVerb(TRUE), 0);
    menu->Release();
}

}  // namespace
