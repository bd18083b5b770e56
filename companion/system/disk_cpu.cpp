#include "companion/system/disk_cpu.h"

#include <windows.h>

#include "base/handles.h"
#include "base/module_exports.h"

namespace companion {

namespace {

constexpr uint64_t kOneGiB = 0x40000000ull;
constexpr uint64_t kFourGiB = 4 * kOneGiB;
constexpr wchar_t kEnoughSpace[] = L"系统盘剩余空间充足.";
constexpr wchar_t kSpaceUnknown[] = L"错误:获取系统盘空间信息失败.";
constexpr wchar_t kBelowOneGiB[] = L"检测到您的系统盘可用空间小于1GB，为了系统安全稳定，建议您立即优化.";
constexpr wchar_t kBelowMemory[] = L"检测到您的系统盘可用空间不足，为了系统安全稳定，建议您立即优化.";

uint64_t ToU64(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

DiskDecision DecideDiskReminder(uint64_t freeBytes, uint64_t totalBytes, uint64_t physicalMemory,
                                bool memoryKnown) {
    if (totalBytes == 0) return {0, kSpaceUnknown};
    if (freeBytes >= kFourGiB) return {0, kEnoughSpace};
    if (freeBytes < kOneGiB) return {1, kBelowOneGiB};
    if (!memoryKnown) return {0, kEnoughSpace};
    if (freeBytes * 100 / totalBytes >= 10) return {0, kEnoughSpace};
    if (freeBytes < physicalMemory) return {1, kBelowMemory};
    return {0, kEnoughSpace};
}

int CheckSystemDiskSpace(uint64_t& freeBytes, std::wstring& message) {
    freeBytes = 0;
    wchar_t windows[MAX_PATH] = {};
    const UINT len = ::GetWindowsDirectoryW(windows, MAX_PATH);
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (len == 0 || len >= MAX_PATH || !::GetDiskFreeSpaceExW(windows, &available, &total, &totalFree)) {
        message = kSpaceUnknown;
        return 0;
    }
    freeBytes = totalFree.QuadPart;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof(memory);
    const bool memoryKnown = ::GlobalMemoryStatusEx(&memory) != FALSE;
    DiskDecision decision = DecideDiskReminder(freeBytes, total.QuadPart, memory.ullTotalPhys, memoryKnown);
    message = std::move(decision.message);
    return decision.remind;
}

int IdlePercent(uint64_t idleDelta, uint64_t kernelDelta, uint64_t userDelta) {
    const uint64_t busy = kernelDelta + userDelta;  // kernel time includes idle time
    if (busy == 0) return 100;
    const uint64_t percent = idleDelta * 100 / busy;
    return percent > 100 ? 100 : static_cast<int>(percent);
}

int GetCpuIdlePercent() {
    using GetSystemTimesFn = BOOL(WINAPI*)(FILETIME*, FILETIME*, FILETIME*);
    const auto getTimes = base::Export<GetSystemTimesFn>(::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimes");
    if (!getTimes) return 100;
    FILETIME idle1, kernel1, user1, idle2, kernel2, user2;
    if (!getTimes(&idle1, &kernel1, &user1)) return 100;
    ::Sleep(1000);
    if (!getTimes(&idle2, &kernel2, &user2)) return 100;
    return IdlePercent(ToU64(idle2) - ToU64(idle1), ToU64(kernel2) - ToU64(kernel1), ToU64(user2) - ToU64(user1));
}

}  // namespace companion
