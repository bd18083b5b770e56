#include "plugins/setup/setup_job.h"

#include <shlwapi.h>

#include <cstring>
#include <ctime>

#include "base/exception_barrier.h"
#include "base/handles.h"
#include "base/module_exports.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/control_panel_applet.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace {

const wchar_t kPellorKey[] = L"SOFTWARE\\Tarvisk\\pellor";

void SetNumber(const wchar_t* name, DWORD value) {
    ::SHSetValueW(HKEY_LOCAL_MACHINE, kPellorKey, name, REG_DWORD, &value, sizeof(value));
}

}  // namespace

CSetupJob::CSetupJob() : managerFolder_(ManagerFolder()) {}

BOOL CSetupJob::CallExtensionEntry(const char* entry) const {
    // Only a full path is loaded: a relative name would be searched for, and
    // whatever library the search found would run its entry.
    const std::wstring path = JoinPath(managerFolder_, L"ZubPellorS.dll");
    if (path.empty()) return FALSE;
    const base::Library library(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) {
        LogFailure(path.c_str(), L"LoadLibraryExW");
        return FALSE;
    }
    using EntryFn = HRESULT(STDAPICALLTYPE*)();
    const auto call = base::Export<EntryFn>(library.Get(), entry);
    if (!call) {
        LogFailureLine(path.c_str(), L"no entry " + std::wstring(entry, entry + std::strlen(entry)));
        return FALSE;
    }
    const HRESULT hr = call();
    if (FAILED(hr)) LogFailure(path.c_str(), L"the registration entry", static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

BOOL BEX_CALL CSetupJob::RegisterShellExtension() {
    return base::CallGuarded(L"CSetupJob::RegisterShellExtension", FALSE,
                             [this] { return CallExtensionEntry("DllRegisterServer"); });
}

BOOL BEX_CALL CSetupJob::UnregisterShellExtension() {
    return base::CallGuarded(L"CSetupJob::UnregisterShellExtension", FALSE,
                             [this] { return CallExtensionEntry("DllUnregisterServer"); });
}

BOOL BEX_CALL CSetupJob::AfterInstall() {
    // Done, whatever came of the steps.
    return base::CallGuarded(L"CSetupJob::AfterInstall", TRUE, [] {
        SetNumber(L"installtime", static_cast<DWORD>(::_time64(nullptr) & 0xFFFFFFFFu));
        SetNumber(L"UpdateTipCycle", 1);
        // Without the options store the applet is left as it is; an
        // unreadable option counts as 0.
        protocol::PluginRef<protocol::kernel::Options> options;
        if (FAILED(plugin::CreateKernelObject(options))) return TRUE;
        const DWORD show = protocol::OptionNumber(options.Get(), L"Options\\ShowControlPanelShortcut").value_or(0);
        ApplyControlPanelApplet(show != 0);
        return TRUE;
    });
}

BOOL BEX_CALL CSetupJob::Uninstall() noexcept {
    ::SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZubPellor");
    ::SHDeleteValueW(HKEY_CURRENT_USER, kDontLoadKey, kAppletName);
    return 1;
}

}  // namespace setup
