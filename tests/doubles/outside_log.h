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

// The second writer: one log shared by several processes (the setup
// programs and the libraries they load), whose lines keep the order in
// which they were written. Each line goes out in one append-only write.
inline void AppendOrderedLine(const wchar_t* variable, const wchar_t* line) {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(variable, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return;
    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char utf8[4096] = {};
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line ? line : L"", -1, utf8, sizeof(utf8) - 1, nullptr, nullptr);
    if (bytes <= 0) bytes = 1;
    utf8[bytes - 1] = '\n';
    DWORD written = 0;
    ::WriteFile(file, utf8, static_cast<DWORD>(bytes), &written, nullptr);
    ::CloseHandle(file);
}

// The variable naming the shared ordered log.
constexpr wchar_t kOrderedLogVariable[] = L"OUTSIDE_ORDER_LOG";
