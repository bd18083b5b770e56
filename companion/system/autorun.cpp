#include "companion/system/autorun.h"

#include <windows.h>

#include <string>

#include "base/log.h"
#include "base/module_path.h"
#include "companion/system/registry_values.h"
#include "protocol/program_names.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr const wchar_t* kRunKey = protocol::kRunKey;
constexpr const wchar_t* kRunValue = protocol::kRunValueName;

}  // namespace

void EnsureAutorun() {
    base::RegKey run;
    const LSTATUS opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, run.Put());
    if (opened != ERROR_SUCCESS) {
        base::LogFailedCall(L"Run value", L"RegOpenKeyExW", static_cast<DWORD>(opened));
        return;
    }
    if (::RegQueryValueExW(run.Get(), kRunValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) return;
    const std::wstring exe = base::ModuleFilePath();
    if (exe.empty()) {
        base::LogLine(L"Run value", L"the program's own path is unknown; not written");
        return;
    }
    const std::wstring quoted = L"\"" + exe + L"\"";
    WriteUserRegString(kRunValue, kRunKey, quoted.c_str());
}

void RemoveAutorun() {
    base::RegKey run;
    if (::RegOpenKeyW(HKEY_CURRENT_USER, kRunKey, run.Put()) != ERROR_SUCCESS) return;
    const LSTATUS removed = ::RegDeleteValueW(run.Get(), kRunValue);
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND)
        base::LogFailedCall(L"Run value", L"RegDeleteValueW", static_cast<DWORD>(removed));
}

}  // namespace companion
