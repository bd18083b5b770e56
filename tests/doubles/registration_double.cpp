// A shell-extension library's registration entries. Tests copy this one
// library under each name the setup steps load; per copy:
//   REGISTRATION_RESULT_<its file name>=<HRESULT>  what both entries return
//                                                  (default S_OK);
//   REGISTRATION_LOG        "<its file name> register" / "unregister" lines;
//   OUTSIDE_ORDER_LOG       the same lines in the shared ordered log.
#include <windows.h>

#include <cwchar>
#include <string>

#include "tests/doubles/outside_log.h"

namespace {

std::wstring OwnFileName() {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&OwnFileName), &self);
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetModuleFileNameW(self, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return L"?";
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

HRESULT Answer(const wchar_t* what) {
    const std::wstring name = OwnFileName();
    const std::wstring line = name + L" " + what;
    AppendLogLine(L"REGISTRATION_LOG", line.c_str());
    AppendOrderedLine(kOrderedLogVariable, line.c_str());
    wchar_t value[32] = {};
    const DWORD len = ::GetEnvironmentVariableW((L"REGISTRATION_RESULT_" + name).c_str(), value, 32);
    if (len == 0 || len >= 32) return S_OK;
    return static_cast<HRESULT>(std::wcstoul(value, nullptr, 0));
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() { return Answer(L"register"); }
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return Answer(L"unregister"); }
