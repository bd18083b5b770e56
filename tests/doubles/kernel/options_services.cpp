// Classes 47 (options), 51 (statistics) and 96 (downloads) as the setup
// plug-in asks them.
//
// The options live in the [options] section of the configuration, as text:
// a number is a text of digits only (anything else is of the wrong type),
// a string any text that is not empty. Writes go to the same section, so a
// test presets the store and reads it back. Watches keep (key, callback,
// context) under a cookie; BexTest_SetOption changes a value and runs the
// key's callbacks on a thread of the stand-in's own, the way the store
// reports a change.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};
struct Downloads : ServiceObject {
    std::wstring folder;
};

struct WatchEntry {
    uint32_t cookie;
    std::wstring key;
    k::options::WatchCallback callback;
    void* context;
};
std::vector<WatchEntry> g_watches;  // under KernelLock
uint32_t g_lastCookie = 0;

std::wstring KeyText(const wchar_t* key) { return key ? key : L"(null)"; }

bool StoreWrite(const wchar_t* key, const std::wstring& value) {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(L"BEXTEST_CONFIG", path, MAX_PATH);
    if (!key || len == 0 || len >= MAX_PATH) return false;
    return ::WritePrivateProfileStringW(L"options", key, value.c_str(), path) != 0;
}

bool ParseNumber(const std::wstring& text, DWORD* value) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    *value = static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10));
    return true;
}

int BEX_CALL OptionsGetNumber(k::Options*, const wchar_t* key, DWORD* value) {
    Log(L"47.3 " + KeyText(key));
    if (!key || !value) return 0;
    return ParseNumber(Config(L"options", key, L""), value) ? 1 : 0;
}

int BEX_CALL OptionsSetNumber(k::Options*, const wchar_t* key, DWORD value) {
    Log(L"47.4 " + KeyText(key) + L" " + std::to_wstring(value));
    return StoreWrite(key, std::to_wstring(value)) ? 1 : 0;
}

int BEX_CALL OptionsGetText(k::Options*, const wchar_t* key, k::String** text) {
    Log(L"47.5 " + KeyText(key));
    if (text) *text = nullptr;
    if (!key || !text) return 0;
    const std::wstring value = Config(L"options", key, L"");
    if (value.empty()) return 0;
    *text = MakeStringWith(value);
    return 1;
}

int BEX_CALL OptionsSetText(k::Options*, const wchar_t* key, const wchar_t* text) {
    Log(L"47.6 " + KeyText(key) + L" " + (text ? text : L"(null)"));
    return text && StoreWrite(key, text) ? 1 : 0;
}

int BEX_CALL OptionsSave(k::Options*) {
    Log(L"47.7");
    return 1;
}

// [options-store] watch=fail refuses every watch.
int BEX_CALL OptionsWatch(k::Options*, const wchar_t* key, k::options::WatchCallback callback, void* context,
                          uint32_t* cookie) {
    if (cookie) *cookie = 0;
    if (!key || !callback || !cookie || Config(L"options-store", L"watch", L"") == L"fail") {
        Log(L"47.8 " + KeyText(key) + L" refused");
        return 0;
    }
    KernelLock lock;
    *cookie = ++g_lastCookie;
    g_watches.push_back(WatchEntry{*cookie, key, callback, context});
    Log(L"47.8 " + KeyText(key) + L" " + std::to_wstring(*cookie));
    return 1;
}

int BEX_CALL OptionsUnwatch(k::Options*, uint32_t cookie) {
    Log(L"47.9 " + std::to_wstring(cookie));
    KernelLock lock;
    for (auto it = g_watches.begin(); it != g_watches.end(); ++it) {
        if (it->cookie == cookie) {
            g_watches.erase(it);
            return 1;
        }
    }
    return 0;
}

// The final text of a request, logged.
int __cdecl StatisticsSend(k::Statistics*, const wchar_t* format, ...) {
    if (!format) {
        Log(L"51.5 (null)");
        return 0;
    }
    std::vector<wchar_t> text(1024);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = ::_vsnwprintf(text.data(), text.size() - 1, format, args);
        va_end(args);
        if (written >= 0 && static_cast<size_t>(written) < text.size() - 1) break;
        if (text.size() >= (1u << 20)) break;
        text.assign(text.size() * 4, L'\0');
    }
    text.back() = L'\0';
    Log(std::wstring(L"51.5 ") + text.data());
    // With BEXTEST_HTTP set the request goes to the test server as well.
    if (::GetEnvironmentVariableW(L"BEXTEST_HTTP", nullptr, 0)) GetFromServer(text.data());
    return 1;
}

// [downloads] folder=<path> (default C:\Downloads\).
const wchar_t* BEX_CALL DownloadsFolder(k::Downloads* self) {
    Log(L"96.16");
    return Self<Downloads>(self)->folder.c_str();
}

struct Firing {
    std::vector<WatchEntry> watches;
};

DWORD WINAPI FireWatches(void* param) {
    auto* firing = static_cast<Firing*>(param);
    for (const WatchEntry& watch : firing->watches) watch.callback(watch.context);
    return 0;
}

}  // namespace

IBexPlugin* MakeOptions() {
    static const SlotTable<k::options::Of> table = [] {
        SlotTable<k::options::Of> t;
        t.Set(k::options::kGetNumber, &OptionsGetNumber);
        t.Set(k::options::kSetNumber, &OptionsSetNumber);
        t.Set(k::options::kGetText, &OptionsGetText);
        t.Set(k::options::kSetText, &OptionsSetText);
        t.Set(k::options::kSave, &OptionsSave);
        t.Set(k::options::kWatch, &OptionsWatch);
        t.Set(k::options::kUnwatch, &OptionsUnwatch);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kOptions));
}

IBexPlugin* MakeStatistics() {
    static const SlotTable<k::statistics::Of> table = [] {
        SlotTable<k::statistics::Of> t;
        t.Set(k::statistics::kSend, &StatisticsSend);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kStatistics));
}

IBexPlugin* MakeDownloads() {
    static const SlotTable<k::downloads::Of> table = [] {
        SlotTable<k::downloads::Of> t;
        t.Set(k::downloads::kFolder, &DownloadsFolder);
        return t;
    }();
    Downloads* downloads = NewServiceObject<Downloads>(table, k::kDownloads);
    downloads->folder = Config(L"downloads", L"folder", L"C:\\Downloads\\");
    return HandOut(downloads);
}

}  // namespace standin

// Writes `value` (a number as its digits) under `key` and runs the key's
// watch callbacks on a new thread, returning when they are done. The number
// of callbacks run; -1 when the thread could not start.
extern "C" __declspec(dllexport) int __stdcall BexTest_SetOption(const wchar_t* key, const wchar_t* value) {
    try {
        if (!key || !value) return -1;
        standin::Log(std::wstring(L"set ") + key + L" " + value);
        standin::StoreWrite(key, value);
        standin::Firing firing;
        {
            standin::KernelLock lock;
            for (const standin::WatchEntry& watch : standin::g_watches)
                if (watch.key == key) firing.watches.push_back(watch);
        }
        HANDLE thread = ::CreateThread(nullptr, 0, &standin::FireWatches, &firing, 0, nullptr);
        if (!thread) return -1;
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
        return static_cast<int>(firing.watches.size());
    } catch (...) {
        return -1;
    }
}
