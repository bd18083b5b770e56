#include "plugins/setup/web_app_shortcuts.h"

#include <windows.h>

#include <cwchar>
#include <mutex>
#include <vector>

#include "base/module_exports.h"
#include "plugins/setup/default_browser.h"
#include "plugins/setup/desktop_profile.h"
#include "plugins/setup/desktop_shortcuts.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_text.h"
#include "plugins/setup/x_logger.h"
#include "protocol/outside_exports.h"
#include "base/handles.h"

namespace setup {

namespace ac = protocol::outside::app_centre;

namespace {

constexpr int kMaxWebApps = 100000;
constexpr DWORD kMaxText = MAX_PATH;

// A text of the record, empty when null or not ending within 260 characters.
template <typename S>
std::wstring RecordText(ac::Record* record, S slot) {
    const wchar_t* text = protocol::Call(slot, record);
    if (!text) return std::wstring();
    const size_t length = wcsnlen(text, kMaxText);
    return length < kMaxText ? std::wstring(text, length) : std::wstring();
}

std::wstring ConfigText(const std::wstring& ini, const wchar_t* key) {
    wchar_t text[kMaxText + 1] = {};
    ::GetPrivateProfileStringW(L"info", key, L"", text, kMaxText + 1, ini.c_str());
    return text;
}

std::wstring CommandLine(const std::wstring& program, const std::wstring& arguments) {
    return UpperCase(TrimSpace(program + L" " + arguments));
}

// The library, its two objects and nothing else; cleared together when the
// library is let go, so no pointer into a freed library survives.
struct AppCentre {
    std::mutex lock;
    base::Library module;
    ac::Data* data = nullptr;
    ac::IpcManager* ipc = nullptr;
};

AppCentre& Library() {
    // Never destroyed: a library still held when the process ends (a removal
    // that failed half-way) is not freed under the loader's lock.
    static AppCentre& library = *new AppCentre;
    return library;
}

void Load(AppCentre& library) {
    if (library.module) return;
    const std::wstring path = JoinPath(HostFolder(), protocol::outside::kNessaryDataLibrary);
    if (path.empty()) return;
    library.module.Reset(::LoadLibraryW(path.c_str()));
    if (!library.module) {
        LogFailure(path.c_str(), L"LoadLibraryW");
        return;
    }
    const auto createData = base::Export<protocol::outside::CreateNessaryDataInterfaceFn>(
        library.module.Get(), protocol::outside::kCreateNessaryDataInterfaceName);
    const auto createIpc = base::Export<protocol::outside::CreateNessaryIpcMgrFn>(
        library.module.Get(), protocol::outside::kCreateNessaryIpcMgrName);
    if (!createData || !createIpc) LogFailureLine(path.c_str(), L"an entry is missing");
    if (createData) library.data = createData();
    if (createIpc) library.ipc = createIpc();
}

void Free(AppCentre& library) {
    library.module.Reset();
    library.data = nullptr;
    library.ipc = nullptr;
}

}  // namespace

WebAppLaunch GetWebAppLaunch(ac::Record* record, uint32_t id) {
    if (!record) return WebAppLaunch();
    // Without its folder a web app's files would be looked for in the
    // Windows folder.
    const std::wstring folder = RecordText(record, ac::kRecordFolder);
    if (TrimSpace(folder).empty()) return WebAppLaunch();
    std::wstring program;
    std::wstring arguments;
    switch (protocol::Call(ac::kRecordKind, record)) {
    case 2:
        program = GetProfile().GetWebAppRunnerPath();
        arguments = L"/w " + std::to_wstring(id) + L" /t 0 /d \"" + folder + L"\"";
        break;
    case 3: {
        const std::wstring ini = folder + L"\\config.ini";
        if (ini.size() >= kMaxText) return WebAppLaunch();
        program = folder + L"\\" + ConfigText(ini, L"exec");
        arguments = TrimSpace(ConfigText(ini, L"params"));
        break;
    }
    case 4:
        program = GetDefaultBrowserPath();
        if (program.empty()) program = GetInternetExplorerPath();
        arguments = L"\"" + RecordText(record, ac::kRecordAddress) + L"\"";
        break;
    default:
        return WebAppLaunch();
    }
    if (TrimSpace(program).empty()) return WebAppLaunch();
    const std::wstring second = L"/w " + std::to_wstring(id) + L" /C 5 /t -1 /d \"" + folder + L"\\\"";
    return WebAppLaunch{CommandLine(program, arguments), CommandLine(program, second)};
}

void DeleteWebAppShortcuts(ac::Data* dataInterface, uint32_t id) {
    if (!dataInterface) return;
    ac::Record* record = protocol::Call(ac::kWebAppRecord, dataInterface, id);
    const WebAppLaunch launch = GetWebAppLaunch(record, id);
    if (launch.launch.empty()) return;
    base::ComScope com;
    const std::wstring desktop = DesktopFolder();
    for (const std::wstring& name : DesktopLinks(desktop)) {
        const std::wstring path = JoinPath(desktop, name.c_str());
        std::wstring target;
        std::wstring arguments;
        if (path.empty() || !ReadShortcut(path.c_str(), &target, &arguments)) continue;
        const std::wstring line = CommandLine(target, arguments);
        if (line == launch.launch || line == launch.second) ::DeleteFileW(path.c_str());
    }
}

void RemoveWebAppShortcuts() {
    AppCentre& library = Library();
    std::lock_guard<std::mutex> guard(library.lock);
    Load(library);
    if (library.data) {
        ac::Data* data = library.data;
        const int count = protocol::Call(ac::kWebAppCount, data);
        if (count > 0 && count <= kMaxWebApps) {
            std::vector<uint32_t> ids(static_cast<size_t>(count));
            int filled = protocol::Call(ac::kWebAppIds, data, ids.data(), count);
            if (filled > count) filled = count;
            for (int i = 0; i < filled; ++i) DeleteWebAppShortcuts(data, ids[static_cast<size_t>(i)]);
        }
        protocol::Call(ac::kEndUse, data);
    }
    Free(library);
}

}  // namespace setup
