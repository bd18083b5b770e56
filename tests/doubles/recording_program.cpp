// Stand-in for a program that the companion starts (the settings program, the
// security product, the player): appends its parameters as one line to
// "<its name>.calls" beside itself, stays alive for RECORDING_PROGRAM_WAIT_MS
// milliseconds when that is set (so a test can find and end it), and ends
// with exit code 0. With OUTSIDE_ORDER_LOG set it also writes "<its file
// name> <parameters>" to that shared log. With
// RECORDING_PROGRAM_DELETE_KEY_<its file name without extension> =
// "HKLM\<key>" (or HKCU) it
// deletes that key about 200 ms after its start and then writes "<its file
// name> deleted <key>" to the shared log (an uninstaller taking its entry
// away).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/doubles/outside_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR parameters, int) {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return 2;
    std::wstring log(path, len);
    log += L".calls";
    FILE* f = ::_wfopen(log.c_str(), L"a");
    if (!f) return 2;
    std::fprintf(f, "%ls\n", parameters ? parameters : L"");
    std::fclose(f);
    const wchar_t* name = ::wcsrchr(path, L'\\');
    const std::wstring line = std::wstring(name ? name + 1 : path) + L" " + (parameters ? parameters : L"");
    AppendOrderedLine(kOrderedLogVariable, line.c_str());
    const std::wstring ownName = name ? name + 1 : path;
    const std::wstring stem = ownName.substr(0, ownName.rfind(L'.'));
    wchar_t key[MAX_PATH] = {};
    const DWORD keyLen = ::GetEnvironmentVariableW((L"RECORDING_PROGRAM_DELETE_KEY_" + stem).c_str(), key, MAX_PATH);
    if (keyLen > 5 && keyLen < MAX_PATH) {
        ::Sleep(200);
        const HKEY root = std::wcsncmp(key, L"HKCU\\", 5) == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        ::RegDeleteTreeW(root, key + 5);
        ::RegDeleteKeyW(root, key + 5);
        AppendOrderedLine(kOrderedLogVariable, (ownName + L" deleted " + (key + 5)).c_str());
    }
    wchar_t wait[16] = {};
    if (::GetEnvironmentVariableW(L"RECORDING_PROGRAM_WAIT_MS", wait, 16)) ::Sleep(std::wcstoul(wait, nullptr, 10));
    return 0;
}
