// Classes 41 (HTTP fetch) and 406 (completion). The fetch answers from a
// fixture folder or, with BEXTEST_HTTP set, by a real GET; the [fetch]
// section of the configuration chooses when and how it completes.
#include <windows.h>
#include <wininet.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"
#include "tests/support/text.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Reply {
    LONG status = 1;
    std::string body;
    bool found = false;
};

using testsupport::Narrow;
using testsupport::Widen;

// "http://host/a/b.xml?x=1" -> "a\b.xml"
std::wstring FixtureName(const std::wstring& url) {
    const size_t scheme = url.find(L"://");
    const size_t path = url.find(L'/', scheme == std::wstring::npos ? 0 : scheme + 3);
    if (path == std::wstring::npos) return std::wstring();
    std::wstring name = url.substr(path + 1);
    name = name.substr(0, name.find(L'?'));
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    return name;
}

Reply FromFixture(const std::wstring& url) {
    Reply reply;
    const std::wstring folder = Config(L"fetch", L"fixtures", L"");
    const std::wstring name = FixtureName(url);
    if (folder.empty() || name.empty()) return reply;
    std::ifstream in(Narrow(folder + L"\\" + name, CP_ACP), std::ios::binary);
    if (!in) return reply;
    reply.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (ConfigInt(L"fetch", L"raw", 0) == 0) reply.body = Narrow(Widen(reply.body), 936);
    reply.found = true;
    return reply;
}

Reply FromServer(const std::wstring& url) {
    Reply reply;
    const HINTERNET session = ::InternetOpenW(L"bextest", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session) return reply;
    const HINTERNET request = ::InternetOpenUrlW(
        session, url.c_str(), nullptr, 0,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
    if (request) {
        DWORD code = 0;
        DWORD size = sizeof(code);
        ::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr);
        char chunk[8192];
        DWORD read = 0;
        while (::InternetReadFile(request, chunk, sizeof(chunk), &read) && read > 0) reply.body.append(chunk, read);
        reply.found = code == 200;
        ::InternetCloseHandle(request);
    }
    ::InternetCloseHandle(session);
    return reply;
}

// Completes `result` as the configuration says.
void CompleteRequest(IBexAsyncResult* result, const std::wstring& url) {
    const Reply fetched = ::GetEnvironmentVariableW(L"BEXTEST_HTTP", nullptr, 0) ? FromServer(url) : FromFixture(url);
    LONG status = ConfigInt(L"fetch", L"status", 1);
    IBexPlugin* body = nullptr;
    if (!fetched.found) {
        status = 2;
    } else {
        const std::wstring kind = Config(L"fetch", L"reply", L"buffer");
        if (kind == L"string") body = MakeStringWith(Widen(fetched.body));
        else if (kind == L"empty") body = MakeByteBufferWith(std::string());
        else if (kind == L"nulldata") body = MakeByteBufferWith(std::string(), true);
        else body = MakeByteBufferWith(fetched.body);
    }
    result->Complete(status, body);
    if (body) body->Release();
    Log(L"complete " + std::to_wstring(status));
}

struct Pending {
    IBexAsyncResult* result;
    HANDLE thread;  // null: never completes
    std::wstring url;
    DWORD delay;
};

std::mutex g_pendingLock;
std::vector<Pending*> g_pending;

DWORD WINAPI LaterThread(void* arg) {
    auto* job = static_cast<Pending*>(arg);
    ::Sleep(job->delay);
    CompleteRequest(job->result, job->url);
    return 0;
}

struct Fetch : ServiceObject {};

int BEX_CALL FetchStart(k::HttpFetch*, const wchar_t* url, IBexAsyncResult* result) {
    const std::wstring address = url ? url : L"";
    Log(L"fetch " + address);
    const std::wstring mode = Config(L"fetch", L"mode", L"complete");
    if (mode == L"nostart" || !result) return 0;
    if (mode == L"complete") {
        CompleteRequest(result, address);
        return 1;
    }
    // The kernel holds the request until it completes.
    result->AddRef();
    auto* job = new Pending{result, nullptr, address, static_cast<DWORD>(ConfigInt(L"fetch", L"delay", 200))};
    if (mode == L"later") job->thread = ::CreateThread(nullptr, 0, &LaterThread, job, 0, nullptr);
    std::lock_guard<std::mutex> lock(g_pendingLock);
    g_pending.push_back(job);
    return 1;
}

struct Completion : ServiceObject {
    HANDLE event = nullptr;  // the creator's own handle, not a copy
    void* context = nullptr;
    volatile LONG status = 0;
    IBexPlugin* result = nullptr;
};

void DestroyCompletion(ServiceObject* self) {
    auto* c = static_cast<Completion*>(self);
    if (c->result) c->result->Release();
    delete c;
}
void* BEX_CALL CompletionContext(k::Completion* self) { return Self<Completion>(self)->context; }
LONG BEX_CALL CompletionComplete(k::Completion* self, LONG status, IBexPlugin* result) {
    Completion* c = Self<Completion>(self);
    c->status = status;
    if (result && result != c->result) {
        result->AddRef();
        if (c->result) c->result->Release();
        c->result = result;
    }
    if (c->event) ::SetEvent(c->event);
    return 0;
}
LONG BEX_CALL CompletionResult(k::Completion* self, IBexPlugin** out) {
    Completion* c = Self<Completion>(self);
    if (out) {
        *out = c->result;
        if (c->result) c->result->AddRef();
    }
    return c->status;
}
int BEX_CALL CompletionInit(k::Completion* self, HANDLE event, void* context) {
    Log(L"406.6");
    Self<Completion>(self)->event = event;
    Self<Completion>(self)->context = context;
    return 1;
}

}  // namespace

IBexPlugin* MakeHttpFetch() {
    static const SlotTable<k::http_fetch::Of> table = [] {
        SlotTable<k::http_fetch::Of> t;
        t.Set(k::http_fetch::kStart, &FetchStart);
        return t;
    }();
    auto* fetch = new Fetch;
    fetch->table = table.Get();
    fetch->classId = k::kHttpFetch;
    fetch->destroy = &DestroyAs<Fetch>;
    return HandOut(fetch);
}

IBexPlugin* MakeCompletion() {
    static const SlotTable<k::completion::Of> table = [] {
        SlotTable<k::completion::Of> t;
        t.Set(k::completion::kGetContext, &CompletionContext);
        t.Set(k::completion::kComplete, &CompletionComplete);
        t.Set(k::completion::kGetResult, &CompletionResult);
        t.Set(k::completion::kInit, &CompletionInit);
        return t;
    }();
    auto* completion = new Completion;
    completion->table = table.Get();
    completion->classId = k::kCompletion;
    completion->destroy = &DestroyCompletion;
    return HandOut(completion);
}

void EndPendingRequests() {
    std::vector<Pending*> pending;
    {
        std::lock_guard<std::mutex> lock(g_pendingLock);
        pending.swap(g_pending);
    }
    for (Pending* job : pending) {
        if (job->thread) {
            ::WaitForSingleObject(job->thread, 30000);
            ::CloseHandle(job->thread);
        }
        job->result->Release();
        delete job;
    }
}

bool GetFromServer(const std::wstring& url) { return FromServer(url).found; }

}  // namespace standin
