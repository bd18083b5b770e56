// Figures of this test process that stress tests check at their end.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstddef>

// Threads of this process alive now.
inline int CountThreads() {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int n = 0;
    for (BOOL ok = ::Thread32First(snapshot, &entry); ok; ok = ::Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    ::CloseHandle(snapshot);
    return n;
}

// Private bytes (PagefileUsage: Wine leaves PrivateUsage at 0).
inline size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)) ? counters.PagefileUsage : 0;
}

// How much the private bytes grew since `before`; 0 when they shrank (the
// heap gives pages back while other threads of the test end).
inline size_t PrivateBytesGrownSince(size_t before) {
    const size_t now = PrivateBytes();
    return now > before ? now - before : 0;
}
