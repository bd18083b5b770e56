#include "tests/doubles/kernel/kernel_state.h"

#include <cwchar>
#include <map>

#include "tests/doubles/kernel/bex_test_api.h"
#include "tests/doubles/outside_log.h"

namespace standin {

namespace {

CRITICAL_SECTION& Lock() {
    // Made on first use (the first use is never concurrent: DllMain's attach
    // logs first), never destroyed: no work at detach.
    static CRITICAL_SECTION* lock = [] {
        auto* cs = new CRITICAL_SECTION;
        ::InitializeCriticalSection(cs);
        return cs;
    }();
    return *lock;
}

struct Notices {
    int created = 0;
    int destroyed = 0;
};
std::map<uint32_t, Notices>& Counters() {
    static auto* counters = new std::map<uint32_t, Notices>;
    return *counters;
}
LONG g_servicesAlive = 0;

}  // namespace

KernelLock::KernelLock() { ::EnterCriticalSection(&Lock()); }
KernelLock::~KernelLock() { ::LeaveCriticalSection(&Lock()); }

void Log(const std::wstring& line) {
    {
        KernelLock lock;
        AppendLogLine(L"BEXTEST_LOG", line.c_str());
    }
    // A slow kernel, for tests of what may wait on it: the call that logs
    // such a line takes that much longer, without the kernel's lock.
    wchar_t slow[256] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"BEXTEST_SLOW", slow, 256);
    if (length == 0 || length >= 256) return;
    wchar_t* prefix = nullptr;
    const long ms = std::wcstol(slow, &prefix, 10);
    if (*prefix == L' ' && line.compare(0, std::wcslen(prefix + 1), prefix + 1) == 0) ::Sleep(static_cast<DWORD>(ms));
}

std::wstring Hex(uint32_t value) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"0x%08X", value);
    return text;
}

std::wstring Config(const wchar_t* section, const wchar_t* key, const wchar_t* fallback) {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(L"BEXTEST_CONFIG", path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return fallback;
    wchar_t value[1024] = {};
    ::GetPrivateProfileStringW(section, key, fallback, value, 1024, path);
    return value;
}

int ConfigInt(const wchar_t* section, const wchar_t* key, int fallback) {
    const std::wstring value = Config(section, key, L"");
    if (value.empty()) return fallback;
    return static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
}

void CountNotice(int code, uint32_t classId) {
    KernelLock lock;
    Notices& n = Counters()[classId];
    if (code == -3) ++n.created;
    else ++n.destroyed;
}

void CountServiceAlive(int delta) { ::InterlockedExchangeAdd(&g_servicesAlive, delta); }
LONG ServicesAlive() { return ::InterlockedCompareExchange(&g_servicesAlive, 0, 0); }

int ReportImbalances(std::wstring& text) {
    KernelLock lock;
    int imbalances = 0;
    for (const auto& [id, n] : Counters()) {
        if (n.created == n.destroyed) continue;
        ++imbalances;
        text += L"class " + std::to_wstring(id) + L": " + std::to_wstring(n.created) + L" created, " +
                std::to_wstring(n.destroyed) + L" destroyed\n";
    }
    const LONG alive = ::InterlockedExchange(&g_servicesAlive, 0);
    if (alive != 0) {
        ++imbalances;
        text += L"service objects alive: " + std::to_wstring(alive) + L"\n";
    }
    Counters().clear();
    return imbalances;
}

void Unexpected(uint32_t classId, int slot) {
    Log(L"UNEXPECTED class " + std::to_wstring(classId) + L" slot " + std::to_wstring(slot));
    ::ExitProcess(bextest::kUnexpectedExitCode);
}

}  // namespace standin
