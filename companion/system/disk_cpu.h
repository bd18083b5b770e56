// The system-disk and processor checks of the maintenance reminders.
#pragma once

#include <cstdint>
#include <string>

namespace companion {

struct DiskDecision {
    int remind;  // 1: tell the user
    std::wstring message;
};

// The rule itself, apart from the system: free and total bytes of the system
// disk, installed memory (`memoryKnown` false when it could not be read).
DiskDecision DecideDiskReminder(uint64_t freeBytes, uint64_t totalBytes, uint64_t physicalMemory,
                                bool memoryKnown);

// 1 when the user should be reminded to clean the system disk, else 0.
int CheckSystemDiskSpace(uint64_t& freeBytes, std::wstring& message);

// Idle share of a second of processor time, 0..100 (100 when unknown).
int GetCpuIdlePercent();
int IdlePercent(uint64_t idleDelta, uint64_t kernelDelta, uint64_t userDelta);

}  // namespace companion
