// Classes 10 (system), 40 (environment) and 43 (details), as the catalogue
// uses them. Configuration:
//   [system]       code=<n> (default 10)  text=<text> (default WIN7)
//   [environment]  managerFolder=<text> (default C:\manager\)
//                  tail=<text> (absent: slot 6 gives none)
//                  number=<n> (default 0)  query=<n> (slot 12, default 1)
//   [details]      mode=complete (default; from a thread of its own) | never
//                  <name>=<rating text>|<details text>|<short text>
// Log lines:
//   system.6 <kind>
//   env.<slot>
//   details.start <kind> [<name>,<name>...]
//   details.find <name> 1|0
#include <windows.h>

#include <mutex>
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

int BEX_CALL SystemDescribe(k::System*, int kind, k::String** text) {
    Log(L"system.6 " + std::to_wstring(kind));
    if (text) *text = MakeStringWith(Config(L"system", L"text", L"WIN7"));
    return ConfigInt(L"system", L"code", 10) & 0xFFFF;
}

int BEX_CALL EnvFolder(k::Environment*, k::String** folder) {
    Log(L"env.4");
    if (!folder) return 0;
    *folder = MakeStringWith(Config(L"environment", L"managerFolder", L"C:\\manager\\"));
    return 1;
}
int BEX_CALL EnvTail(k::Environment*, k::String** tail) {
    Log(L"env.6");
    if (!tail) return 0;
    *tail = nullptr;
    const std::wstring text = Config(L"environment", L"tail", L"\x1");
    if (text == L"\x1") return 0;
    *tail = MakeStringWith(text);
    return 1;
}
int BEX_CALL EnvNumber(k::Environment*) {
    Log(L"env.7");
    return ConfigInt(L"environment", L"number", 0);
}
int BEX_CALL EnvMayQuery(k::Environment*) {
    Log(L"env.12");
    return ConfigInt(L"environment", L"query", 1);
}

struct Item : ServiceObject {
    std::wstring texts[3];
};
const wchar_t* BEX_CALL ItemRating(k::details::Item* self) { return Self<Item>(self)->texts[0].c_str(); }
const wchar_t* BEX_CALL ItemDetails(k::details::Item* self) { return Self<Item>(self)->texts[1].c_str(); }
const wchar_t* BEX_CALL ItemShort(k::details::Item* self) { return Self<Item>(self)->texts[2].c_str(); }

struct DetailsJob {
    IBexAsyncResult* result;
    HANDLE thread;  // null: never completes
};
std::mutex g_jobsLock;
std::vector<DetailsJob> g_jobs;

DWORD WINAPI CompleteLater(void* arg) {
    auto* result = static_cast<IBexAsyncResult*>(arg);
    result->Complete(1, nullptr);
    return 0;
}

int BEX_CALL DetailsStart(k::Details*, k::ObjectList* names, const wchar_t* kind, IBexAsyncResult* result) {
    std::wstring joined;
    const int count = names ? protocol::Call(k::object_list::kCount, names) : 0;
    for (int i = 0; i < count; ++i) {
        IBexPlugin* name = nullptr;
        if (protocol::Call(k::object_list::kItem, names, i, &name) < 0 || !name) continue;
        if (!joined.empty()) joined += L",";
        joined += protocol::Call(k::string::kText, k::As<k::String>(name));
        name->Release();
    }
    Log(L"details.start " + std::wstring(kind ? kind : L"") + L" [" + joined + L"]");
    if (!result) return 0;
    result->AddRef();
    DetailsJob job{result, nullptr};
    if (Config(L"details", L"mode", L"complete") != L"never")
        job.thread = ::CreateThread(nullptr, 0, &CompleteLater, result, 0, nullptr);
    std::lock_guard<std::mutex> lock(g_jobsLock);
    g_jobs.push_back(job);
    return 1;
}

int BEX_CALL DetailsFind(k::Details*, const wchar_t* name, k::details::Item** out) {
    const std::wstring key = name ? name : L"";
    const std::wstring entry = key.empty() ? L"" : Config(L"details", key.c_str(), L"");
    Log(L"details.find " + key + (entry.empty() ? L" 0" : L" 1"));
    if (!out) return 0;
    *out = nullptr;
    if (entry.empty()) return 0;
    static const SlotTable<k::details::Item> table = [] {
        SlotTable<k::details::Item> t;
        t.Set(k::details::kItemText1, &ItemRating);
        t.Set(k::details::kItemText2, &ItemDetails);
        t.Set(k::details::kItemText3, &ItemShort);
        return t;
    }();
    Item* item = NewServiceObject<Item>(table, k::kDetails);
    size_t from = 0;
    for (std::wstring& text : item->texts) {
        const size_t bar = entry.find(L'|', from);
        text = entry.substr(from, bar == std::wstring::npos ? std::wstring::npos : bar - from);
        from = bar == std::wstring::npos ? entry.size() : bar + 1;
    }
    *out = HandOut<k::details::Item>(item);
    return 1;
}

}  // namespace

IBexPlugin* MakeSystem() {
    static const SlotTable<k::system_info::Of> table = [] {
        SlotTable<k::system_info::Of> t;
        t.Set(k::system_info::kDescribe, &SystemDescribe);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kSystem));
}

IBexPlugin* MakeEnvironment() {
    static const SlotTable<k::environment::Of> table = [] {
        SlotTable<k::environment::Of> t;
        t.Set(k::environment::kManagerFolder, &EnvFolder);
        t.Set(k::environment::kQueryTail, &EnvTail);
        t.Set(k::environment::kNumber, &EnvNumber);
        t.Set(k::environment::kMayQuery, &EnvMayQuery);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kEnvironment));
}

IBexPlugin* MakeDetails() {
    static const SlotTable<k::details::Of> table = [] {
        SlotTable<k::details::Of> t;
        t.Set(k::details::kStart, &DetailsStart);
        t.Set(k::details::kFind, &DetailsFind);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kDetails));
}

void EndDetailsRequests() {
    std::vector<DetailsJob> jobs;
    {
        std::lock_guard<std::mutex> lock(g_jobsLock);
        jobs.swap(g_jobs);
    }
    for (DetailsJob& job : jobs) {
        if (job.thread) {
            ::WaitForSingleObject(job.thread, 30000);
            ::CloseHandle(job.thread);
        }
        job.result->Release();
    }
}

}  // namespace standin
