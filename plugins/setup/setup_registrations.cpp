#include "plugins/setup/setup_registrations.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "base/module_exports.h"
#include "base/registry_values.h"
#include "plugins/setup/x_logger.h"
#include "protocol/kernel_calls.h"
#include "plugins/setup/setup_folders.h"
#include "base/handles.h"

namespace setup {

namespace {

constexpr size_t kMaxCommand = 520;

bool CallRegistrationEntry(const wchar_t* libraryName, bool doRegister) {
    // Only a full path is loaded: a bare name would be searched for.
    const std::wstring path = JoinPath(ManagerFolder(), libraryName);
    if (path.empty()) return false;
    const base::Library library(::LoadLibraryW(path.c_str()));
    if (!library) {
        LogFailure(path.c_str(), L"LoadLibraryW");
        return false;
    }
    using EntryFn = HRESULT(STDAPICALLTYPE*)();
    const auto entry =
        base::Export<EntryFn>(library.Get(), doRegister ? "DllRegisterServer" : "DllUnregisterServer");
    if (!entry) {
        LogFailureLine(path.c_str(), L"no registration entry");
        return false;
    }
    const HRESULT hr = entry();
    if (FAILED(hr)) LogFailure(path.c_str(), L"the registration entry", static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

bool SetSubkeyDefault(HKEY parent, const wchar_t* subkey, const std::wstring& text) {
    base::RegKey key;
    const LONG created = ::RegCreateKeyW(parent, subkey, key.Put());
    if (created != ERROR_SUCCESS) {
        LogFailure(subkey, L"RegCreateKeyW", static_cast<DWORD>(created));
        return false;
    }
    if (base::WriteRegText(key.Get(), nullptr, text)) return true;
    LogFailureLine(subkey, L"the value was refused");
    return false;
}

}  // namespace

bool RegisterContextMenuHandler(bool doRegister) { return CallRegistrationEntry(L"PellorExt.dll", doRegister); }

bool RegisterWebProxyDll(bool doRegister) { return CallRegistrationEntry(L"PellorWebProxy.dll", doRegister); }

bool RegisterUrlProtocol(const wchar_t* programPath) {
    if (!programPath) return false;
    const std::wstring program(programPath);
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    // A cut command line would start something else: refuse instead.
    if (command.size() > kMaxCommand) return false;

    static const wchar_t kWhere[] = L"URL protocol pellorandzub";
    base::RegKey key;
    const LONG created = ::RegCreateKeyW(HKEY_CLASSES_ROOT, L"pellorandzub", key.Put());
    if (created != ERROR_SUCCESS) {
        LogFailure(kWhere, L"RegCreateKeyW", static_cast<DWORD>(created));
        return false;
    }
    if (!base::WriteRegText(key.Get(), nullptr, std::wstring())) {
        LogFailureLine(kWhere, L"the value was refused");
        return false;
    }
    // Written without its terminator, as the protocol has always been. The
    // registry adds one when the character after the counted text is NUL,
    // so the copy carries another character there.
    std::vector<wchar_t> raw(program.begin(), program.end());
    raw.push_back(L'.');
    const LONG set = ::RegSetValueExW(key.Get(), L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw.data()),
                                      static_cast<DWORD>(program.size() * sizeof(wchar_t)));
    if (set != ERROR_SUCCESS) {
        LogFailure(kWhere, L"RegSetValueExW", static_cast<DWORD>(set));
        return false;
    }
    if (!SetSubkeyDefault(key.Get(), L"DefaultIcon", program)) return false;
    return SetSubkeyDefault(key.Get(), L"Shell\\Open\\Command", command);
}

bool RegisterProxyProtocol() {
    const std::wstring proxy = ProxyProgram();
    return !proxy.empty() && RegisterUrlProtocol(proxy.c_str());
}

void DeleteOldUninstallVerb() {
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"lnkfile\\shell\\强力卸载此软件\\command");
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"lnkfile\\shell\\强力卸载此软件");
}

void ApplyContextMenuOption(protocol::kernel::Options* options) {
    static const wchar_t kKey[] = L"Options\\ShowLnkFileRightMenuItem";
    if (!options) return;
    const std::optional<DWORD> show = protocol::OptionNumber(options, kKey);
    if (!show) {
        RegisterContextMenuHandler(true);
        protocol::SetOptionNumber(options, kKey, 1);
        return;
    }
    if (*show != 1) return;
    base::RegKey handler;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"lnkfile\\shellex\\ContextMenuHandlers\\PellorExt", 0, KEY_READ,
                        handler.Put()) != ERROR_SUCCESS)
        RegisterContextMenuHandler(true);
}

}  // namespace setup
