// Stand-ins log what they were asked to a file named by an environment
// variable, one UTF-8 line per call, so a test can read it back.
#pragma once

#include <windows.h>

#include <cstdio>

inline void AppendLogLine(const wchar_t* variable, const wchar_t* line) {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(variable, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return;
    FILE* f = ::_wfopen(path, L"ab");
    if (!f) return;
    char utf8[4096] = {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line ? line : L"", -1, utf8, sizeof(utf8) - 1, nullptr,
                                            nullptr);
    if (bytes > 0) std::fwrite(utf8, 1, static_cast<size_t>(bytes - 1), f);
    std::fputc('\n', f);
    std::fclose(f);
}
