// Process-wide state of the stand-in kernel: one recursive lock (a plug-in's
// factory calls back into the kernel while it makes an object), the event
// log, the configuration and the balance counters.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace standin {

// Held around every change of the kernel's maps and counters.
class KernelLock {
public:
    KernelLock();
    ~KernelLock();
    KernelLock(const KernelLock&) = delete;
    KernelLock& operator=(const KernelLock&) = delete;
};

void Log(const std::wstring& line);
std::wstring Hex(uint32_t value);  // 0x%08X

// From the ini named by BEXTEST_CONFIG; `fallback` when unset.
std::wstring Config(const wchar_t* section, const wchar_t* key, const wchar_t* fallback);
int ConfigInt(const wchar_t* section, const wchar_t* key, int fallback);

void CountNotice(int code, uint32_t classId);
void CountServiceAlive(int delta);
LONG ServicesAlive();
int ReportImbalances(std::wstring& text);  // resets the counters

// Logs "UNEXPECTED class C slot N" and ends the process.
[[noreturn]] void Unexpected(uint32_t classId, int slot);

}  // namespace standin
