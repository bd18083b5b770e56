// Class 88's after-install job and the shared operations it is made of, for
// real in the prefix.
#include "plugins/common/kernel_binding.h"
#include "plugins/setup/desktop_shortcuts.h"
#include "plugins/setup/game_centre.h"
#include "plugins/setup/lite_folder.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_registrations.h"
#include "plugins/setup/taskbar_unpin.h"
#include "plugins/setup/uninstall_shortcut.h"
#include "tests/plugins/setup/setup_utility_fixture.h"
#include "base/handles.h"

using namespace setup;
using testsupport::Narrow;

namespace {

using Lines = std::vector<std::string>;

const wchar_t kOldVerb[] = L"lnkfile\\shell\\强力卸载此软件";
const wchar_t kHandlerKey[] = L"lnkfile\\shellex\\ContextMenuHandlers\\PellorExt";

std::vector<uint8_t> RawValue(HKEY root, const wchar_t* subkey, const wchar_t* name) {
    HKEY key = nullptr;
    std::vector<uint8_t> out;
    if (::RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    BYTE data[2048] = {};
    DWORD size = sizeof(data);
    if (::RegQueryValueExW(key, name, nullptr, nullptr, data, &size) == ERROR_SUCCESS) out.assign(data, data + size);
    ::RegCloseKey(key);
    return out;
}

bool KeyExists(HKEY root, const wchar_t* subkey) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// A link's arguments, read back with the shell-link object.
std::wstring LinkArguments(const std::wstring& path) {
    base::ComScope com;
    IShellLinkW* link = nullptr;
    std::wstring out;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return out;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t args[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)) && SUCCEEDED(link->GetArguments(args, MAX_PATH)))
            out = args;
        file->Release();
    }
    link->Release();
    return out;
}

// A link file naming its target only by its local path (the shell-link
// object here will not save a target of 260 characters or more).
bool WriteLocalPathLink(const std::wstring& linkPath, const std::string& target) {
    std::vector<uint8_t> bytes(76, 0);
    const uint8_t header[20] = {0x4C, 0, 0, 0, 0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::copy(header, header + 20, bytes.begin());
    bytes[20] = 0x02;  // a location follows
    bytes[60] = 1;     // shown normally
    auto put = [&bytes](uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const uint32_t volume = 0x1C, path = volume + 0x11, suffix = path + static_cast<uint32_t>(target.size()) + 1;
    for (uint32_t value : {suffix + 1, 0x1Cu, 1u, volume, path, 0u, suffix, 0x11u, 3u, 0u, 0x10u}) put(value);
    bytes.push_back(0);  // the volume's label
    bytes.insert(bytes.end(), target.begin(), target.end());
    bytes.insert(bytes.end(), {0, 0, 0, 0, 0, 0});  // ends of the path and the suffix, no extra data
    return setuptest::WriteBytes(linkPath, bytes);
}

class SetupUtility : public SetupUtilityTest {
protected:
    void RunAfterInstall() {
        IBexPlugin* object = nullptr;
        ASSERT_EQ(Create(88, &object), S_OK);
        EXPECT_EQ(static_cast<IBexSetupUtil*>(object)->ConfigureAfterInstall(), 0);
        object->Release();
    }
    std::wstring LiveIni() const { return manager_ + L"LiveInst.ini"; }
};

TEST_F(SetupUtility, AfterInstallOnAFreshMachine) {
    Configure(World());
    ::SHSetValueW(HKEY_CLASSES_ROOT, (std::wstring(kOldVerb) + L"\\command").c_str(), nullptr, REG_SZ, L"x", 4);
    const std::wstring kept = TempDir() + L"ZubPellorLite\\";
    ::SHCreateDirectoryExW(nullptr, kept.c_str(), nullptr);
    ASSERT_TRUE(setuptest::WriteBytes(kept + L"a.txt", {'l', 'i', 't', 'e'}));

    RunAfterInstall();

    EXPECT_EQ(Option(L"Options\\ShowRecycle"), L"0");
    EXPECT_EQ(Option(L"Options\\ShowLnkFileRightMenuItem"), L"1");
    EXPECT_EQ(Option(L"Options\\DefaultDownloadFolder"), L"C:\\Dl\\");
    EXPECT_EQ(Option(L"Options\\ShowStartMenuShortcut"), L"1");
    EXPECT_EQ(OrderLog(), (Lines{"ZubPellorS.dll register", "PellorExt.dll register", "PellorWebProxy.dll register"}));
    EXPECT_EQ(CountLines("47.7"), 1);

    const std::wstring proxy = ExeDir() + L"PellorandProxy.exe";
    const auto* raw = reinterpret_cast<const uint8_t*>(proxy.c_str());
    EXPECT_EQ(RawValue(HKEY_CLASSES_ROOT, L"pellorandzub", L"URL Protocol"),
              std::vector<uint8_t>(raw, raw + proxy.size() * 2))
        << "written without its terminator";
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CLASSES_ROOT, L"pellorandzub", nullptr), std::wstring());
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CLASSES_ROOT, L"pellorandzub\\DefaultIcon", nullptr), proxy);
    EXPECT_EQ(testsupport::ReadRegText(HKEY_CLASSES_ROOT, L"pellorandzub\\shell\\open\\command", nullptr),
              L"\"" + proxy + L"\" \"%1\"");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kOldVerb));

    EXPECT_EQ(Profile(LiveIni(), L"ZubPellor", L"GameCenter"), L"1");
    EXPECT_EQ(setuptest::ReadBytes(Special(CSIDL_APPDATA) + L"\\tarvisk\\ZubPellorLite\\a.txt"),
              (std::vector<uint8_t>{'l', 'i', 't', 'e'}));
}

TEST_F(SetupUtility, AfterInstallKeepsWhatIsStored) {
    struct Case {
        const char* options;
        bool handlerKey;
        Lines order;
    } cases[] = {
        {"Options\\ShowRecycle=1\nOptions\\ShowLnkFileRightMenuItem=0\n", false,
         {"ZubPellorS.dll register", "PellorWebProxy.dll register"}},
        {"Options\\ShowRecycle=1\nOptions\\ShowLnkFileRightMenuItem=1\n", true,
         {"ZubPellorS.dll register", "PellorWebProxy.dll register"}},
        {"Options\\ShowRecycle=1\nOptions\\ShowLnkFileRightMenuItem=1\n", false,
         {"ZubPellorS.dll register", "PellorExt.dll register", "PellorWebProxy.dll register"}},
    };
    // CleanLI set: the live-install file goes. A restored folder already
    // there keeps its content.
    ASSERT_TRUE(setuptest::WriteBytes(manager_ + L"LiveInstConf.ini", {'[', 's', 'e', 't', 't', 'i', 'n', 'g', 's',
                                                                      ']', '\n', 'C', 'l', 'e', 'a', 'n', 'L', 'I',
                                                                      '=', '2', '\n'}));
    const std::wstring restored = Special(CSIDL_APPDATA) + L"\\tarvisk\\ZubPellorLite\\";
    ::SHCreateDirectoryExW(nullptr, restored.c_str(), nullptr);
    ::SHCreateDirectoryExW(nullptr, (TempDir() + L"ZubPellorLite").c_str(), nullptr);
    ASSERT_TRUE(setuptest::WriteBytes(TempDir() + L"ZubPellorLite\\a.txt", {'n', 'e', 'w'}));
    ASSERT_TRUE(setuptest::WriteBytes(restored + L"a.txt", {'o', 'l', 'd'}));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ASSERT_TRUE(setuptest::WriteBytes(LiveIni(), {'x'}));
        ::DeleteFileW(orderLog_.c_str());
        if (c.handlerKey) ::SHSetValueW(HKEY_CLASSES_ROOT, kHandlerKey, nullptr, REG_SZ, L"{x}", 8);
        Configure(World("[options]\n" + std::string(c.options)));
        RunAfterInstall();
        EXPECT_EQ(Option(L"Options\\ShowRecycle"), L"1");
        EXPECT_EQ(OrderLog(), c.order);
        EXPECT_FALSE(testsupport::FileExists(LiveIni()));
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, kHandlerKey);
    }
    EXPECT_EQ(setuptest::ReadBytes(restored + L"a.txt"), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(SetupUtility, GameCentreIsRenewedOnlyForTheVersionsItReplaces) {
    struct Case {
        const wchar_t* program;  // versioned_<v>.dll
        const wchar_t* data;     // null: no NessaryData.dll
        bool link;
        bool renewed;
    } cases[] = {
        {L"1_0_0_1040", L"2_1_2_1105", true, false}, {L"1_0_0_1040", L"2_1_2_1104", true, true},
        {L"1_0_0_1040", nullptr, true, true},         {L"1_0_0_1020", L"2_0_2_1086", true, false},
        {L"1_0_0_1050", nullptr, true, false},        {L"1_0_0_1040", nullptr, false, true},
    };
    const std::wstring program = manager_ + L"Tolvane.exe";
    const std::wstring data = manager_ + L"NessaryData.dll";
    const std::wstring pellorand = manager_ + L"Pellorand.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(std::wstring(c.program) + L" " + (c.data ? c.data : L"-")));
        ASSERT_TRUE(::CopyFileW((ExeDir() + L"versioned_" + c.program + L".dll").c_str(), program.c_str(), FALSE));
        ::DeleteFileW(data.c_str());
        if (c.data) {
            ASSERT_TRUE(::CopyFileW((ExeDir() + L"versioned_" + c.data + L".dll").c_str(), data.c_str(), FALSE));
        }
        ::DeleteFileW(GameCentreLink().c_str());
        if (c.link) {
            ASSERT_TRUE(SaveShortcut(GameCentreLink(), ShortcutSpec{L"C:\\Games\\old.exe", L"", L"C:\\Games", L""}));
        }

        UpgradeGameCentre();

        EXPECT_EQ(testsupport::FileExists(program), !c.renewed);
        EXPECT_EQ(testsupport::FileExists(GameCentreLink()), c.link);
        if (c.link) {
            EXPECT_EQ(ResolveShortcutTarget(GameCentreLink().c_str()), c.renewed ? pellorand : L"C:\\Games\\old.exe");
            EXPECT_EQ(LinkArguments(GameCentreLink()), c.renewed ? L"page=14" : L"");
        }
    }
}

TEST_F(SetupUtility, TheGameCentreLinkIsReplacedOnlyByOneSaved) {
    ASSERT_TRUE(::CopyFileW((ExeDir() + L"versioned_1_0_0_1040.dll").c_str(), (manager_ + L"Tolvane.exe").c_str(),
                            FALSE));
    ASSERT_TRUE(SaveShortcut(GameCentreLink(), ShortcutSpec{L"C:\\Games\\old.exe", L"", L"C:\\Games", L""}));
    {
        // Open to a reader that lets it be deleted: nothing new can be
        // written under its name until the reader lets go.
        base::FileHandle reader(::CreateFileW(GameCentreLink().c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                                nullptr));
        ASSERT_TRUE(reader);
        UpgradeGameCentre();
    }
    EXPECT_EQ(ResolveShortcutTarget(GameCentreLink().c_str()), L"C:\\Games\\old.exe");
}

TEST_F(SetupUtility, TheTaskbarIconIsUnpinnedOnlyAtAFullPath) {
    // The shell's "taskbarunpin" verb, given to one file type, starts a
    // recording program. Both pinned files lie in the current folder.
    ASSERT_TRUE(::CopyFileW((ExeDir() + L"recording_program.exe").c_str(), (manager_ + L"Unpin.exe").c_str(), FALSE));
    const std::wstring command = L"\"" + manager_ + L"Unpin.exe\" \"%1\"";
    const std::wstring full = setuptest::WorkPath(L"F.setuptestpin"), relative = setuptest::WorkPath(L"R.setuptestpin");
    ::SHSetValueW(HKEY_CLASSES_ROOT, L".setuptestpin", nullptr, REG_SZ, L"setuptestpinfile", 34);
    ::SHSetValueW(HKEY_CLASSES_ROOT, L"setuptestpinfile\\shell\\taskbarunpin\\command", nullptr, REG_SZ,
                  command.c_str(), static_cast<DWORD>(command.size() * 2 + 2));
    ASSERT_TRUE(setuptest::WriteBytes(full, {'x'}) && setuptest::WriteBytes(relative, {'x'}));
    ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
    base::ComScope com;  // as the uninstall job holds it
    for (const std::wstring& recorded : {std::wstring(L"R.setuptestpin"), std::wstring(L".\\R.setuptestpin"), full}) {
        Configure(World("[options]\nOptions\\PinWin7TaskBarIcon=" + Narrow(recorded) + "\n"));
        UnpinTaskbarIcon();
    }
    // The relative ones, had they started, started first.
    const std::string expected = "\"" + Narrow(full) + "\"\r\n";
    std::string started;
    for (int i = 0; i < 200 && started.find(expected) == std::string::npos; ++i, ::Sleep(50)) {
        const std::vector<uint8_t> bytes = setuptest::ReadBytes(manager_ + L"Unpin.exe.calls");
        started.assign(bytes.begin(), bytes.end());
    }
    EXPECT_EQ(started, expected);
}

TEST_F(SetupUtility, WithoutTheFoldersNothingIsLoadedOrWrittenElsewhere) {
    const std::wstring planted = WorkDir() + L"planted\\";
    ::CreateDirectoryW(planted.c_str(), nullptr);
    for (const wchar_t* name : {L"PellorExt.dll", L"PellorWebProxy.dll", L"ZubPellorS.dll"})
        ASSERT_TRUE(::CopyFileW((ExeDir() + L"registration_double.dll").c_str(), (planted + name).c_str(), FALSE));
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring stray = std::wstring(windows) + L"\\Pellor\\LiveInst.ini";
    wchar_t oldDir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, oldDir);
    const std::wstring oldPath = Env(L"PATH");
    ::SetCurrentDirectoryW(planted.c_str());
    ::SetEnvironmentVariableW(L"PATH", (planted + L";" + oldPath).c_str());
    SetSecurityFolder(L"");

    Configure("[environment]\nmanagerFolder=\n");
    RunAfterInstall();
    EXPECT_TRUE(ManagerFile(L"LiveInst.ini").empty());
    EXPECT_FALSE(RegisterContextMenuHandler(false));

    ::SetCurrentDirectoryW(oldDir);
    ::SetEnvironmentVariableW(L"PATH", oldPath.c_str());
    EXPECT_EQ(OrderLog(), Lines{});
    EXPECT_FALSE(testsupport::FileExists(stray));
    EXPECT_FALSE(testsupport::FileExists(planted + L"LiveInst.ini"));
}

TEST_F(SetupUtility, BadValuesCountAsMissing) {
    // "Path" without a terminator, and one too long for its buffer.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const wchar_t unterminated[] = {L'C', L':', L'\\', L'S', L'x'};
    ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated), 8);
    EXPECT_EQ(SecurityFolder(), L"");
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'a');
    ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(tooLong.c_str()),
                     static_cast<DWORD>((tooLong.size() + 1) * 2));
    EXPECT_EQ(SecurityFolder(), L"");
    // A folder with variables is taken expanded, as every reader takes it.
    const std::wstring expandable = L"%SystemDrive%\\Sx\\";
    ::RegSetValueExW(key, L"Path", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expandable.c_str()),
                     static_cast<DWORD>((expandable.size() + 1) * 2));
    EXPECT_EQ(SecurityFolder(), L"C:\\Sx\\");
    ::RegCloseKey(key);

    // A command line that would not fit is not written at all.
    const std::wstring longProgram = L"C:\\" + std::wstring(516, L'p');
    EXPECT_FALSE(RegisterUrlProtocol(longProgram.c_str()));
    EXPECT_FALSE(RegisterUrlProtocol(nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"pellorandzub"));

    EXPECT_EQ(GetFileVersionText((ExeDir() + L"registration_double.dll").c_str()), L"") << "no version resource";
    EXPECT_EQ(GetFileVersionText((WorkDir() + L"missing.dll").c_str()), L"");
    EXPECT_EQ(GetFileVersionText((ExeDir() + L"versioned_2_1_2_1104.dll").c_str()), L"2.1.2.1104");
}

TEST_F(SetupUtility, DesktopLinksToAProgramGoAndTheLiteFolderIsSaved) {
    const std::wstring desktop = Special(CSIDL_DESKTOPDIRECTORY) + L"\\";
    const std::wstring ours = desktop + L"setuptest ours.lnk";
    const std::wstring other = desktop + L"setuptest other.lnk";
    const std::wstring broken = desktop + L"setuptest broken.lnk";
    ASSERT_TRUE(SaveShortcut(ours, ShortcutSpec{L"C:\\Games\\Run.exe", L"", L"C:\\Games", L""}));
    ASSERT_TRUE(SaveShortcut(other, ShortcutSpec{L"C:\\Games\\Other.exe", L"", L"C:\\Games", L""}));
    ASSERT_TRUE(setuptest::WriteBytes(broken, {'n', 'o', 't'}));
    DeleteDesktopShortcutsTo(L"  c:\\games\\RUN.EXE\t");
    EXPECT_FALSE(testsupport::FileExists(ours));
    EXPECT_TRUE(testsupport::FileExists(other));
    EXPECT_TRUE(testsupport::FileExists(broken)) << "a link that can't be loaded is skipped";
    DeleteDesktopShortcutsTo(L"");
    // A target too long to be read whole is not taken for its beginning.
    const std::string longTarget = "C:\\Games\\" + std::string(280, 'r') + ".exe";
    const std::wstring longLink = desktop + L"setuptest long.lnk";
    ASSERT_TRUE(WriteLocalPathLink(longLink, longTarget));
    DeleteDesktopShortcutsTo(std::wstring(longTarget.begin(), longTarget.begin() + MAX_PATH - 1).c_str());
    EXPECT_TRUE(testsupport::FileExists(longLink));
    ::DeleteFileW(longLink.c_str());
    for (const std::wstring& path : {other, broken}) ::DeleteFileW(path.c_str());

    const std::wstring lite = Special(CSIDL_APPDATA) + L"\\tarvisk\\ZubPellorLite\\";
    ::SHCreateDirectoryExW(nullptr, lite.c_str(), nullptr);
    ASSERT_TRUE(setuptest::WriteBytes(lite + L"b.txt", {'b'}));
    SaveLiteFolder();
    EXPECT_EQ(setuptest::ReadBytes(TempDir() + L"ZubPellorLite\\b.txt"), std::vector<uint8_t>{'b'});
}

}  // namespace
