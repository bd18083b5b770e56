// The web-app cache's periphery for real in the prefix: folder removal with
// hostile paths, the counter shared between processes, the desktop
// product's profile and the taskbar dock's keys.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "plugins/setup/desktop_profile.h"
#include "plugins/setup/dock_button.h"
#include "plugins/setup/folder_tree.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/web_app_counter.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/prefix_state.h"
#include "base/handles.h"

using namespace setup;

namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Fresh(const wchar_t* name) {
    const std::wstring folder = setuptest::WorkPath(name);
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

void Touch(const std::wstring& path) { ASSERT_TRUE(setuptest::WriteBytes(path, {'x'})); }

// A junction from `link` to `target` (a mount point reparse point).
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!::CreateDirectoryW(link.c_str(), nullptr)) return false;
    base::FileHandle dir(::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!dir) return false;
    const std::wstring substitute = L"\\??\\" + target;
    std::vector<BYTE> buffer(sizeof(DWORD) + 2 * sizeof(WORD) + 4 * sizeof(WORD) +
                             (substitute.size() + target.size() + 2) * sizeof(wchar_t));
    auto* words = reinterpret_cast<WORD*>(buffer.data());
    *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
    words[2] = static_cast<WORD>(buffer.size() - 8);  // data length
    words[4] = 0;                                      // substitute offset
    words[5] = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    words[6] = static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t));  // print offset
    words[7] = static_cast<WORD>(target.size() * sizeof(wchar_t));
    auto* path = reinterpret_cast<wchar_t*>(words + 8);
    std::copy(substitute.begin(), substitute.end(), path);
    std::copy(target.begin(), target.end(), path + substitute.size() + 1);
    DWORD returned = 0;
    if (::DeviceIoControl(dir.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                          nullptr, 0, &returned, nullptr))
        return true;
    dir = base::FileHandle();
    ::RemoveDirectoryW(link.c_str());
    return false;
}

DWORD RunTool(const std::wstring& arguments, bool wait = true, HANDLE* process = nullptr) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring command = L"\"" + HostFolder() + L"\\web_app_counter_tool.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 0xFFFFFFFF;
    ::CloseHandle(info.hThread);
    if (!wait) {
        *process = info.hProcess;
        return 0;
    }
    ::WaitForSingleObject(info.hProcess, 30000);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);
    return code;
}

TEST(FolderTree, HostilePathsDeleteNothing) {
    const std::wstring work = Fresh(L"hostile");
    Touch(work + L"\\keep.txt");
    Fresh(L"hostile\\rel");
    Touch(work + L"\\rel\\f.txt");
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW(work.c_str()));
    const std::wstring tooLong = work + L"\\" + std::wstring(260, L'a');
    // The device namespace, spelled out or reached by resolving a name ("con").
    const std::wstring device = L"\\\\?\\" + work + L"\\rel", console = work + L"\\con";
    for (const wchar_t* path :
         {L"C:\\", L"C:", L"C:\\x\\..", L"C:\\windows\\..\\", L"", L"rel", L".\\rel", L"..\\hostile", tooLong.c_str(),
          L"\\\\?\\UNC\\server\\share", L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1",
          L"\\\\.\\GLOBALROOT\\Device\\HarddiskVolume1", L"\\\\.\\C:\\", L"\\\\?/C:/", device.c_str(), console.c_str()})
        EXPECT_FALSE(RemoveFolderTree(path, nullptr)) << testsupport::Narrow(path);
    EXPECT_FALSE(RemoveFolderTree(nullptr, nullptr));
    ::SetCurrentDirectoryW(current);
    EXPECT_TRUE(Exists(work + L"\\rel\\f.txt"));
    EXPECT_TRUE(Exists(work + L"\\keep.txt"));
    EXPECT_TRUE(Exists(L"C:\\windows\\system32"));
}

TEST(FolderTree, PathsTheCurrentFolderWouldCompleteDeleteNothing) {
    // Test programs start on another drive, where "C:" means C:'s root: the
    // current folder is put on C:, into a folder of canaries, first.
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    ASSERT_EQ(temp[0] | 0x20, L'c');
    const std::wstring canaries = temp + std::wstring(L"folder_tree_") + std::to_wstring(::GetCurrentProcessId());
    ::SHCreateDirectoryExW(nullptr, (canaries + L"\\name").c_str(), nullptr);
    Touch(canaries + L"\\keep.txt");
    Touch(canaries + L"\\name\\keep.txt");
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW(canaries.c_str()));
    const std::wstring onTheDrive = canaries.substr(2);  // "\users\...": the current drive's
    const std::wstring paths[] = {L"C:", L"C:.", L"c:name", L"C:name\\", onTheDrive, onTheDrive + L"\\name"};
    for (const std::wstring& path : paths)
        EXPECT_FALSE(RemoveFolderTree(path.c_str(), nullptr)) << testsupport::Narrow(path);
    ::SetCurrentDirectoryW(current);
    EXPECT_TRUE(Exists(canaries + L"\\keep.txt"));
    EXPECT_TRUE(Exists(canaries + L"\\name\\keep.txt"));
    RemoveFolderTree(canaries.c_str(), nullptr);
}

TEST(FolderTree, RemovesTheTreeButNotAJunctionsTarget) {
    const std::wstring outside = Fresh(L"outside");
    Touch(outside + L"\\precious.txt");
    const std::wstring tree = Fresh(L"tree\\sub\\deeper");
    Touch(tree + L"\\a.txt");
    Touch(setuptest::WorkPath(L"tree\\b.txt"));
    // Wine 8 makes no junctions (FSCTL_SET_REPARSE_POINT is not supported,
    // CreateSymbolicLinkW does nothing); where one can be made, its target
    // must survive.
    if (MakeJunction(setuptest::WorkPath(L"tree\\sub\\link"), outside))
        ASSERT_TRUE(Exists(setuptest::WorkPath(L"tree\\sub\\link\\precious.txt")));
    else
        std::cout << "note: no junction could be made here; only the tree itself is checked\n";
    EXPECT_TRUE(RemoveFolderTree(setuptest::WorkPath(L"tree\\sub\\..").c_str(), nullptr));
    EXPECT_FALSE(Exists(setuptest::WorkPath(L"tree")));
    EXPECT_TRUE(Exists(outside + L"\\precious.txt"));
}

TEST(FolderTree, LockedFileWaitsForTheRestartAndTheCounterGrows) {
    const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
    testsupport::RegValueBackup pending(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations");
    const std::wstring folder = Fresh(L"webapp_locked");
    const std::wstring locked = folder + L"\\held.dat";
    Touch(locked);
    Touch(folder + L"\\free.dat");
    base::FileHandle held(::CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                          nullptr));
    ASSERT_TRUE(held);
    const DWORD before = SharedWebAppCounter().Value();
    RemoveWebAppFolder(folder.c_str());
    EXPECT_EQ(SharedWebAppCounter().Value(), before + 1);
    EXPECT_FALSE(Exists(folder + L"\\free.dat"));

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::vector<wchar_t> names(32768, L'\0');
    DWORD bytes = static_cast<DWORD>(names.size() * sizeof(wchar_t) - 4);
    const LONG status = ::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(names.data()), &bytes);
    ::RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
    bool listed = false;
    for (const wchar_t* name = names.data(); *name; name += wcslen(name) + 1)
        listed = listed || std::wstring(name).find(locked) != std::wstring::npos;
    EXPECT_TRUE(listed);
}

TEST(WebAppCounter, SharedBetweenProcesses) {
    FCGlobalShareMemory& counter = SharedWebAppCounter();
    const DWORD start = counter.Value();
    for (int i = 0; i < 3; ++i) IncrementWebAppCounter();
    EXPECT_EQ(RunTool(L"read"), start + 3);

    HANDLE first = nullptr;
    HANDLE second = nullptr;
    RunTool(L"inc 1000", false, &first);
    RunTool(L"inc 1000", false, &second);
    ASSERT_TRUE(first && second);
    const HANDLE both[] = {first, second};
    EXPECT_EQ(::WaitForMultipleObjects(2, both, TRUE, 60000), WAIT_OBJECT_0);
    ::CloseHandle(first);
    ::CloseHandle(second);
    EXPECT_EQ(counter.Value(), start + 3 + 2000);
}

TEST(DesktopProfile, MakesTheDataFolderAndIsOneObject) {
    const std::wstring data = JoinPath(ShellFolder(CSIDL_APPDATA), L"ZubDesktop");
    SHFILEOPSTRUCTW op = {};
    std::wstring from = data + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    if (Exists(data)) ::SHFileOperationW(&op);
    Touch(data);

    const CProfile profile;
    const DWORD attributes = ::GetFileAttributesW(data.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(profile.GetWebAppRunnerPath(), HostFolder() + L"\\Zubwapp.exe");
    EXPECT_EQ(profile.GetWebAppPathIni(), data + L"\\WebAppPath.ini");

    const CProfile* seen[2] = {};
    std::thread a([&] { seen[0] = &GetProfile(); });
    std::thread b([&] { seen[1] = &GetProfile(); });
    a.join();
    b.join();
    EXPECT_EQ(seen[0], seen[1]);
    ::RemoveDirectoryW(data.c_str());
}

// Dock keys under a key of the test's own: which ones the selection deletes.
TEST(DockButton, DeletesEveryMatchingKeyAndNothingElse) {
    const wchar_t kDock[] = L"Software\\LumvexTest\\Dock";
    struct Case {
        std::vector<std::pair<const wchar_t*, const wchar_t*>> keys;  // name, class
        std::vector<const wchar_t*> left;
    };
    const Case cases[] = {
        {{{L"3", L"QZubTaskBtn"}, {L"5", L"Other"}, {L"7", L"QZubTaskBtn"}}, {L"5"}},
        {{{L"3", L"QZubTaskBtn"}, {L"7", L"QZubTaskBtn"}, {L"8", L"QZubTaskBtn"}}, {}},
        {{{L"4", L"Other"}, {L"5", L"qzubtaskbtn"}, {L"x", L"QZubTaskBtnX"}}, {L"4", L"5", L"x"}},
    };
    for (const Case& c : cases) {
        ::SHDeleteKeyW(HKEY_CURRENT_USER, kDock);
        for (const auto& key : c.keys) {
            HKEY sub = nullptr;
            ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kDock) + L"\\" + key.first + L"\\child").c_str(),
                                        0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
                      ERROR_SUCCESS);
            ::RegCloseKey(sub);
            ::RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kDock) + L"\\" + key.first).c_str(), L"ButtonClassName",
                              REG_SZ, key.second, static_cast<DWORD>((wcslen(key.second) + 1) * sizeof(wchar_t)));
        }
        RemoveDockButton(HKEY_CURRENT_USER, kDock);
        std::vector<std::wstring> left;
        HKEY dock = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kDock, 0, KEY_READ, &dock), ERROR_SUCCESS);
        wchar_t name[MAX_PATH];
        for (DWORD i = 0; ::RegEnumKeyW(dock, i, name, MAX_PATH) == ERROR_SUCCESS; ++i) left.emplace_back(name);
        ::RegCloseKey(dock);
        EXPECT_EQ(left, std::vector<std::wstring>(c.left.begin(), c.left.end()));
    }
    ::SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\LumvexTest");
}

}  // namespace
