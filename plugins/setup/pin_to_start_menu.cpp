#include "plugins/setup/pin_to_start_menu.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "base/exception_barrier.h"
#include "base/registry_values.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/badge_images.h"
#include "plugins/setup/notify_thread.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/uninstall_shortcut.h"
#include "base/handles.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace k = protocol::kernel;
using base::CallGuarded;

const wchar_t kUninstallLinkName[] = L"强力卸载电脑上的软件.lnk";

namespace {

const wchar_t kPinKey[] = L"SOFTWARE\\Zubpellor\\pellors";
const wchar_t kPinnedValue[] = L"AlReadyPin";
const wchar_t kPinLinkValue[] = L"PinLink";
const wchar_t kQuickLaunch[] = L"\\Microsoft\\Internet Explorer\\Quick Launch\\";

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// "AlReadyPin" counts only as a REG_DWORD of 1.
bool ReadPinned() {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    return ::SHGetValueW(HKEY_LOCAL_MACHINE, kPinKey, kPinnedValue, &type, &value, &size) == ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof(value) && value == 1;
}

void WritePinned(DWORD value) {
    ::SHSetValueW(HKEY_LOCAL_MACHINE, kPinKey, kPinnedValue, REG_DWORD, &value, sizeof(value));
}

// "PinLink" as a REG_SZ shorter than MAX_PATH; anything else reads as empty.
// Read raw: SHGetValueW would expand or patch what it finds.
std::wstring ReadPinLink() {
    base::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPinKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return std::wstring();
    std::wstring link;
    const bool read =
        base::ReadRegTextBounded(key.Get(), kPinLinkValue, MAX_PATH, link, base::RegTextTypes::PlainOnly);
    return read ? link : std::wstring();
}

void WritePinLink(const std::wstring& link) {
    ::SHSetValueW(HKEY_LOCAL_MACHINE, kPinKey, kPinLinkValue, REG_SZ, link.c_str(),
                  static_cast<DWORD>((link.size() + 1) * sizeof(wchar_t)));
}

// A link's target path; empty when it can't be resolved.
std::wstring ShortcutTarget(const std::wstring& linkPath) {
    protocol::PluginRef<k::Shortcut> shortcut;
    if (FAILED(plugin::CreateKernelObject(shortcut))) return std::wstring();
    return protocol::ShortcutTarget(shortcut.Get(), linkPath.c_str()).value_or(std::wstring());
}

// The plain files of a folder (no sub-folders).
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    base::FindHandle find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) return names;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        names.emplace_back(found.cFileName);
    } while (::FindNextFileW(find.Get(), &found));
    return names;
}

bool EndsWithLnk(const std::wstring& name) {
    return name.size() >= 4 && ::_wcsicmp(name.c_str() + name.size() - 4, L".lnk") == 0;
}

}  // namespace

CPinToStartMenu::CPinToStartMenu(IShellVerbSource& verbs) : verbs_(verbs), managerFolder_(ManagerFolder()) {
    // Compared with the folders of link targets, which end in "\".
    if (!managerFolder_.empty() && managerFolder_.back() != L'\\') managerFolder_ += L'\\';
    notifyProgram_ = JoinPath(managerFolder_, L"RidireNotify.exe");
    iconPath_ = JoinPath(managerFolder_, L"SetupUtility.ico");
    folderShortcut_ = JoinPath(managerFolder_, kUninstallLinkName);
    // Without the Start menu's folder the name alone would land wherever the
    // current folder is: no Start-menu link then.
    startMenuShortcut_ = JoinPath(ShellFolder(CSIDL_COMMON_PROGRAMS), kUninstallLinkName);
    if (SUCCEEDED(plugin::CreateKernelObject(system_)))
        systemVersion_ = protocol::SystemCode(system_.Get());
}

bool CPinToStartMenu::CreateUninstallShortcut(const std::wstring& linkPath) const {
    return SaveShortcut(linkPath, {notifyProgram_, L"/RUNPELLOR", managerFolder_, iconPath_});
}

bool CPinToStartMenu::InManagerFolder(const std::wstring& target) const {
    // Equality of the whole folder: a prefix would take in every sub-folder.
    return ::_wcsicmp(FolderOf(target).c_str(), managerFolder_.c_str()) == 0;
}

void CPinToStartMenu::RemoveStalePins() {
    if (systemVersion_ != kStalePinSystem) return;
    const std::wstring appData = ShellFolder(CSIDL_APPDATA);
    if (appData.empty()) return;
    const std::wstring folder = appData + kQuickLaunch + L"User Pinned\\StartMenu\\";
    std::vector<std::wstring> stale;
    for (const std::wstring& name : FilesIn(folder)) {
        if (::_wcsicmp(name.c_str(), L"desktop.ini") == 0) continue;
        if (name.find(L".lnk") == std::wstring::npos || name.find(L"强力卸载电脑上的软件") == std::wstring::npos)
            continue;
        const std::wstring target = ShortcutTarget(folder + name);
        if (target.empty()) continue;  // not resolved: left alone
        if (!InManagerFolder(target)) stale.push_back(name);
    }
    for (const std::wstring& name : stale) {
        InvokeShellVerb(verbs_, folder, name, false);
        if (!::DeleteFileW((folder + name).c_str())) LogFailure((folder + name).c_str(), L"DeleteFileW");
    }
}

void CPinToStartMenu::UnpinRecordedLink() {
    const std::wstring link = ReadPinLink();
    if (link.empty()) return;
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    std::wstring folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? link : FolderOf(link);
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    if (!folder.empty()) InvokeShellVerb(verbs_, folder, kUninstallLinkName, false);
}

LONG BEX_CALL CPinToStartMenu::Pin() {
    return CallGuarded(L"CPinToStartMenu::Pin", 0L, [&]() -> LONG {
        if (systemVersion_ <= kLastUnpinnableSystem || !HasManagerFolder()) return 0;
        RemoveStalePins();
        UnpinRecordedLink();
        CreateUninstallShortcut(folderShortcut_);
        if (!startMenuShortcut_.empty()) CreateUninstallShortcut(startMenuShortcut_);
        if (Exists(folderShortcut_)) InvokeShellVerb(verbs_, managerFolder_, kUninstallLinkName, true);
        WritePinLink(folderShortcut_);
        WritePinned(1);
        return 1;
    });
}

LONG BEX_CALL CPinToStartMenu::Unpin() {
    return CallGuarded(L"CPinToStartMenu::Unpin", 0L, [&]() -> LONG {
        if (systemVersion_ <= kLastUnpinnableSystem || !HasManagerFolder()) return 0;
        UnpinRecordedLink();
        if (Exists(folderShortcut_)) InvokeShellVerb(verbs_, managerFolder_, kUninstallLinkName, false);
        if (!startMenuShortcut_.empty()) ::DeleteFileW(startMenuShortcut_.c_str());
        WritePinned(0);
        return 1;
    });
}

LONG BEX_CALL CPinToStartMenu::ApplyPinState() {
    return CallGuarded(L"CPinToStartMenu::ApplyPinState", 0L,
                       [&] { return RunSetupUtility(ReadPinned() ? FALSE : TRUE); });
}

LONG BEX_CALL CPinToStartMenu::InvokePinVerb(BOOL pin) {
    return CallGuarded(L"CPinToStartMenu::InvokePinVerb", 0L, [&]() -> LONG {
        if (!HasManagerFolder() || !Exists(folderShortcut_)) return 0;
        return InvokeShellVerb(verbs_, managerFolder_, kUninstallLinkName, pin != FALSE) ? 1 : 0;
    });
}

LONG BEX_CALL CPinToStartMenu::RunSetupUtility(BOOL remove) {
    return CallGuarded(L"CPinToStartMenu::RunSetupUtility", 0L, [&]() -> LONG {
        const std::wstring program = JoinPath(managerFolder_, L"SetupUtility.exe");
        if (program.empty()) return 0;
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        info.lpFile = program.c_str();
        info.lpParameters = remove ? L"/REMOVEMENU" : L"/SETMENU";
        info.nShow = SW_HIDE;
        if (!::ShellExecuteExW(&info)) {
            LogFailure(program.c_str(), L"ShellExecuteExW");
            return 0;
        }
        // Not waited for.
        const base::Process started(info.hProcess);
        return 1;
    });
}

LONG BEX_CALL CPinToStartMenu::ScanPinnedStartMenu() {
    return CallGuarded(L"CPinToStartMenu::ScanPinnedStartMenu", 0L, [&]() -> LONG {
        if (!HasManagerFolder()) return 0;
        const std::wstring appData = ShellFolder(CSIDL_APPDATA);
        if (appData.empty()) return 0;
        const std::wstring folder = appData + kQuickLaunch;
        for (const std::wstring& name : FilesIn(folder)) {
            if (!EndsWithLnk(name)) continue;
            const std::wstring target = ShortcutTarget(folder + name);
            if (target.empty() || !InManagerFolder(target)) continue;
            if (::DeleteFileW((folder + name).c_str())) return 1;
            LogFailure((folder + name).c_str(), L"DeleteFileW");
            return 0;
        }
        return 0;
    });
}

LONG BEX_CALL CPinToStartMenu::UpdateCountBadge(LONG count, const wchar_t* referencePath) {
    return CallGuarded(L"CPinToStartMenu::UpdateCountBadge", 0L,
                       [&] { return setup::UpdateCountBadge(managerFolder_, count, referencePath); });
}

LONG BEX_CALL CPinToStartMenu::ShowNotify(void* data, const wchar_t* pngPath, HWND window, UINT message,
                                          WPARAM wParam, LPARAM lParam) {
    return CallGuarded(L"CPinToStartMenu::ShowNotify", 0L, [&] {
        return setup::ShowNotify(static_cast<const wchar_t*>(data), pngPath, window, message, wParam, lParam);
    });
}

LONG BEX_CALL CPinToStartMenu::StartNotifyThread(const wchar_t* text1, const wchar_t* text2, HWND window,
                                                 UINT message, WPARAM wParam, LPARAM lParam) {
    return CallGuarded(L"CPinToStartMenu::StartNotifyThread", 0L,
                       [&] { return setup::StartNotifyThread({text1, text2, window, message, wParam, lParam}); });
}

LONG BEX_CALL CPinToStartMenu::StopNotifyThread() noexcept { return setup::StopNotifyThread(); }

}  // namespace setup
