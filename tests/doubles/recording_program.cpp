// Stand-in for a program that the companion starts (the settings program, the
// security product): appends its parameters as one line to "<its name>.calls"
// beside itself and ends with exit code 0.
#include <windows.h>

#include <cstdio>
#include <string>

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
    return 0;
}
