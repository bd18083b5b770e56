#include "companion/system/startup_timeline.h"

#include <windows.h>
#include <psapi.h>

#include <cwchar>
#include <string>

#include "base/log.h"

namespace companion {

namespace {

struct Timeline {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER first{};
    // The process's age at the first step: its creation time is known only
    // as a system time, so the rest is measured from here with the counter.
    double firstMs = 0;
    double lastMs = 0;
};

double ProcessAgeMs() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG from = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    const ULONGLONG to = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return to > from ? static_cast<double>(to - from) / 10000.0 : 0;
}

Timeline& TheTimeline() {
    static Timeline timeline = [] {
        Timeline t;
        ::QueryPerformanceFrequency(&t.frequency);
        ::QueryPerformanceCounter(&t.first);
        t.firstMs = ProcessAgeMs();
        t.lastMs = t.firstMs;
        return t;
    }();
    return timeline;
}

}  // namespace

void MarkStartupStep(const wchar_t* step) {
    Timeline& t = TheTimeline();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    const double ms = t.frequency.QuadPart > 0
                          ? t.firstMs + static_cast<double>(now.QuadPart - t.first.QuadPart) * 1000.0 /
                                            static_cast<double>(t.frequency.QuadPart)
                          : t.firstMs;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    const SIZE_T privateBytes =
        ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)) ? counters.PagefileUsage : 0;
    wchar_t detail[96] = {};
    std::swprintf(detail, 96, L"%.1f ms (+%.1f), private %lu KB", ms, ms - t.lastMs,
                  static_cast<unsigned long>(privateBytes / 1024));
    t.lastMs = ms;
    base::LogLine(std::wstring(L"start-up: ") + (step ? step : L"?"), detail);
}

}  // namespace companion
