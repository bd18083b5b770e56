// Stand-in for a program that the companion starts (the settings program, the
// security product, the player): appends its parameters as one line to
// "<its name>.calls" beside itself, stays alive for RECORDING_PROGRAM_WAIT_MS
// milliseconds when that is set (so a test can find and end it), and ends
// with exit code 0. With OUTSIDE_ORDER_LOG set it also writes "<its file
// name> <parameters>" to that shared log.
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
    wchar_t wait[16] = {};
    if (::GetEnvironmentVariableW(L"RECORDING_PROGRAM_WAIT_MS", wait, 16)) ::Sleep(std::wcstoul(wait, nullptr, 10));
    return 0;
}
