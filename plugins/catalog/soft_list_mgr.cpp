#include "plugins/catalog/soft_list_mgr.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/exception_barrier.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/list_answers.h"
#include "plugins/catalog/locked.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = bex::kernel;

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kStopWaitMs = 2000;
constexpr int kCatalogKinds = 4;
constexpr int kCountType = 9;
constexpr int kEntryType = 8;
constexpr int kListType = 7;
constexpr int kRecordSetType = 6;
constexpr uint32_t kRecordSetVersion = 1;
constexpr size_t kMaxStoredRecords = 0xFFFF;  // the extra value's 16 bits of count
constexpr uint32_t kMaxStoredEntries = 1000;
constexpr wchar_t kScoreKind[] = L"softlist";

volatile LONG g_terminations = 0;

// The live managers, newest first, linked through their own field so that
// making one allocates nothing. Nothing but pointers is looked at under
// this lock.
SRWLOCK g_liveLock = SRWLOCK_INIT;
CSoftListMgr* g_live = nullptr;

LPARAM ListParam(int index, int page) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(index), static_cast<WORD>(page)));
}

}  // namespace

// ---- PendingCompletion ----

PendingCompletion::~PendingCompletion() { Close(); }

PendingCompletion::PendingCompletion(PendingCompletion&& other) noexcept
    : result_(std::move(other.result_)),
      event_(std::exchange(other.event_, nullptr)),
      kernelMade_(other.kernelMade_),
      signalled_(other.signalled_) {}

PendingCompletion& PendingCompletion::operator=(PendingCompletion&& other) noexcept {
    if (this != &other) {
        Close();
        result_ = std::move(other.result_);
        event_ = std::exchange(other.event_, nullptr);
        kernelMade_ = other.kernelMade_;
        signalled_ = other.signalled_;
    }
    return *this;
}

void PendingCompletion::Close() noexcept {
    result_.Reset();
    // The kernel's own completion object keeps this very handle: leave it
    // open unless it was signalled.
    if (event_ && (signalled_ || !kernelMade_)) ::CloseHandle(event_);
    event_ = nullptr;
}

PendingCompletion PendingCompletion::StartDetails(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind) {
    PendingCompletion pending;
    if (!details || !names) return pending;
    winlib::Event event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return pending;
    bool kernelMade = false;
    bex::PluginRef<IBexAsyncResult> result(CreateAsyncResult(event.Get(), event.Get(), &kernelMade));
    if (!result || !plugin::DetailsStart(details, names, kind, result.Get())) return pending;
    pending.result_ = std::move(result);
    pending.event_ = event.Detach();
    pending.kernelMade_ = kernelMade;
    return pending;
}

LONG PendingCompletion::Poll(DWORD waitMs) {
    if (!result_) return 0;
    if (::WaitForSingleObject(event_, waitMs) != WAIT_OBJECT_0) return -1;
    signalled_ = true;
    return result_->GetResult(nullptr);
}

// ---- CSoftListMgr: life ----

CSoftListMgr::CSoftListMgr() noexcept {
    ::InitializeCriticalSection(&lock_);
    appIds_.reset(new (std::nothrow) CBexStore());
    ::AcquireSRWLockExclusive(&g_liveLock);
    nextLive_ = g_live;
    g_live = this;
    ::ReleaseSRWLockExclusive(&g_liveLock);
}

CSoftListMgr::~CSoftListMgr() {
    ::AcquireSRWLockExclusive(&g_liveLock);
    for (CSoftListMgr** link = &g_live; *link; link = &(*link)->nextLive_) {
        if (*link == this) {
            *link = nextLive_;
            break;
        }
    }
    ::ReleaseSRWLockExclusive(&g_liveLock);
    Stop();
    std::deque<SoftListRequest> left;
    {
        Locked lock(lock_);
        left.swap(queue_);
        ClearMaps();
    }
    left.clear();
    appIds_.reset();
    queryTailObject_.Reset();
    systemNameObject_.Reset();
    software_.Reset();
    keyword_.Reset();
    details_.Reset();
    store_.Reset();
    fetch_.Reset();
    query_.Reset();
    ::DeleteCriticalSection(&lock_);
}

LONG CSoftListMgr::Terminations() { return g_terminations; }

CSoftListMgr* CSoftListMgr::FromPlugin(IBexPlugin* object) noexcept {
    CSoftListMgr* found = nullptr;
    ::AcquireSRWLockShared(&g_liveLock);
    for (CSoftListMgr* live = g_live; live && !found; live = live->nextLive_)
        if (static_cast<IBexPlugin*>(live) == object) found = live;
    ::ReleaseSRWLockShared(&g_liveLock);
    return found;
}

LONG BEX_CALL CSoftListMgr::AddRef() noexcept {
    const LONG now = ::InterlockedIncrement(&count_);
    if (now == 1) {
        // A client is back: the worker sleeps between passes again.
        Locked lock(lock_);
        if (wake_) ::ResetEvent(wake_.Get());
    }
    return now;
}

void CSoftListMgr::OnLastClientGone() noexcept {
    Locked lock(lock_);
    if (wake_) ::SetEvent(wake_.Get());
}

LONG BEX_CALL CSoftListMgr::Start() {
    return base::CallGuarded(L"CSoftListMgr::Start", 0L, [&]() -> LONG {
        Locked lock(lock_);
        if (started_) return 1;
        if (FAILED(plugin::CreateKernelObject(k::kSoftware, software_)) ||
            !bex::Call(k::software::kBegin, software_.Get()))
            return 0;
        if (FAILED(plugin::CreateKernelObject(k::kKeyword, keyword_)) ||
            FAILED(plugin::CreateKernelObject(k::kDetails, details_)) ||
            FAILED(plugin::CreateKernelObject(k::kValueStore, store_)) ||
            FAILED(plugin::CreateKernelObject(k::kHttpFetch, fetch_)) ||
            FAILED(plugin::CreateKernelObject(k::kSoftwareQuery, query_)))
            return 0;
        bex::PluginRef<> bitness;
        bitness_ = SUCCEEDED(plugin::CreateKernelObject(k::kBitness, bitness)) &&
                           bex::Call(k::bitness::kIs64Bit, bitness.Get())
                       ? L"64"
                       : L"32";
        bex::PluginRef<> system;
        if (SUCCEEDED(plugin::CreateKernelObject(k::kSystem, system)))
            bex::Call(k::system_info::kDescribe, system.Get(), k::system_info::kDescribeKind,
                                  systemNameObject_.PutPlugin());
        systemText_ = bex::TextOf(systemNameObject_);
        bex::PluginRef<> environment;
        if (FAILED(plugin::CreateKernelObject(k::kEnvironment, environment))) return 0;
        bex::Call(k::environment::kQueryTail, environment.Get(), queryTailObject_.PutPlugin());
        queryTail_ = bex::TextOf(queryTailObject_);

        winlib::Event wake(::CreateEventW(nullptr, TRUE, count_ == 0 ? TRUE : FALSE, nullptr));
        winlib::Event stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!wake || !stop) return 0;
        ::InterlockedExchange(&started_, 1);
        LoadCatalogCache();
        wake_ = std::move(wake);
        stop_ = std::move(stop);
        worker_.Reset(::CreateThread(nullptr, 0, &SoftListThread, this, 0, nullptr));
        if (!worker_) {
            ::InterlockedExchange(&started_, 0);
            ClearMaps();
            return 0;
        }
        return 1;
    });
}

LONG BEX_CALL CSoftListMgr::Stop() {
    return base::CallGuarded(L"CSoftListMgr::Stop", 1L, [&]() -> LONG {
        {
            Locked lock(lock_);
            if (!started_) return 1;
        }
        SaveCache();
        winlib::Thread worker;
        {
            Locked lock(lock_);
            ::InterlockedExchange(&started_, 0);
            if (stop_) ::SetEvent(stop_.Get());
            worker = std::move(worker_);
        }
        // Outside the lock: the worker may be waiting for it.
        if (worker && ::WaitForSingleObject(worker.Get(), kStopWaitMs) == WAIT_TIMEOUT) {
            ::SuspendThread(worker.Get());
            ::TerminateThread(worker.Get(), 0);
            ::InterlockedIncrement(&g_terminations);
        }
        std::deque<SoftListRequest> left;
        {
            Locked lock(lock_);
            wake_.Reset();
            stop_.Reset();
            left.swap(queue_);
            ClearMaps();
        }
        return 1;
    });
}

void CSoftListMgr::ClearMaps() {
    for (auto& [key, set] : recordSets_)
        for (auto& [id, record] : set)
            if (record) record->Release();
    recordSets_.clear();
    for (auto& [kind, entries] : catalogs_)
        for (CSoftCatalogData* entry : entries) entry->Release();
    catalogs_.clear();
    lists_.clear();
    ForgetSearchItems();
}

// ---- listeners and events ----

LONG BEX_CALL CSoftListMgr::AddListener(HWND window, UINT message) {
    return base::CallGuarded(L"CSoftListMgr::AddListener", 1L, [&]() -> LONG {
        Locked lock(lock_);
        listeners_[window] = message;
        return 1;
    });
}

LONG BEX_CALL CSoftListMgr::RemoveListener(HWND window) {
    return base::CallGuarded(L"CSoftListMgr::RemoveListener", 1L, [&]() -> LONG {
        Locked lock(lock_);
        listeners_.erase(window);
        return 1;
    });
}

void CSoftListMgr::NotifyListeners(int code, int kind, LPARAM lParam) {
    Locked lock(lock_);
    const WPARAM wParam = static_cast<WPARAM>(MAKELONG(static_cast<WORD>(code), static_cast<WORD>(kind)));
    for (const auto& [window, message] : listeners_) ::PostMessageW(window, message, wParam, lParam);
}

// ---- catalogues ----

std::vector<CSoftCatalogData*>& CSoftListMgr::Entries(int kind) { return catalogs_[kind]; }

const CSoftCatalogData* CSoftListMgr::FindEntry(int kind, const std::wstring& name) {
    for (CSoftCatalogData* entry : Entries(kind))
        if (::lstrcmpiW(entry->Data().name, name.c_str()) == 0) return entry;
    return nullptr;
}

LONG BEX_CALL CSoftListMgr::GetCatalogCount(int kind) {
    return base::CallGuarded(L"CSoftListMgr::GetCatalogCount", 0L, [&]() -> LONG {
        Locked lock(lock_);
        return static_cast<LONG>(Entries(kind).size());
    });
}

LONG BEX_CALL CSoftListMgr::RequestCatalog(int kind) {
    return base::CallGuarded(L"CSoftListMgr::RequestCatalog", 0L, [&]() -> LONG {
        SoftListRequest request;
        request.kind = kCatalogFetch;
        request.arg1 = kind;
        Queue(std::move(request));
        return GetCatalogCount(kind);
    });
}

BOOL BEX_CALL CSoftListMgr::GetCatalog(int kind, int index, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetCatalog", BOOL{FALSE}, [&]() -> BOOL {
        if (!out || index < 0) return FALSE;
        Locked lock(lock_);
        std::vector<CSoftCatalogData*>& entries = Entries(kind);
        CSoftCatalogData* entry = nullptr;
        if (static_cast<size_t>(index) < entries.size()) {
            entry = entries[static_cast<size_t>(index)];
            entry->AddRef();
        } else {
            entry = LoadCatalogRecord(kind, index);  // a reference of its own
        }
        if (!entry) return FALSE;
        *out = entry;
        return TRUE;
    });
}

// ---- lists ----

std::wstring CSoftListMgr::ListKey(int kind, const std::wstring& name, int page) {
    return UpperCase(std::to_wstring(kind) + L"-" + name + L"-" + std::to_wstring(page));
}

std::wstring CSoftListMgr::RecordSetKey(int kind, const std::wstring& name) {
    return kind == 1 ? std::to_wstring(kind) + L"-Quarn" : std::to_wstring(kind) + L"-" + name;
}

CSoftListMgr::ListState* CSoftListMgr::FindListState(const std::wstring& key) {
    const auto it = lists_.find(key);
    if (it != lists_.end()) return &it->second;
    ListState stored;
    if (!LoadListState(key, stored)) return nullptr;
    return &(lists_[key] = std::move(stored));
}

CSoftListData* CSoftListMgr::FindListRecord(int kind, const std::wstring& name, uint32_t softId) {
    const std::wstring setKey = RecordSetKey(kind, name);
    const auto set = recordSets_.find(setKey);
    if (set != recordSets_.end()) {
        const auto it = set->second.find(softId);
        if (it != set->second.end()) return it->second;
    }
    return LoadListRecord(setKey, softId);
}

BOOL BEX_CALL CSoftListMgr::GetListIds(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListIds", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        Locked lock(lock_);
        const ListState* state = FindListState(ListKey(kind, name ? name : L"", page));
        if (!state || state->ids.empty()) return FALSE;
        bex::PluginRef<> buffer = NewIdBuffer(state->ids);
        if (!buffer) return FALSE;
        *out = buffer.Detach();
        return TRUE;
    });
}

BOOL BEX_CALL CSoftListMgr::GetListIdsAt(int kind, int index, int page, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListIdsAt", BOOL{FALSE}, [&]() -> BOOL {
        std::wstring name;
        {
            Locked lock(lock_);
            const std::vector<CSoftCatalogData*>& entries = Entries(kind);
            if (index >= 0 && static_cast<size_t>(index) < entries.size())
                name = entries[static_cast<size_t>(index)]->Data().name;
        }
        return GetListIds(kind, name.c_str(), page, out);
    });
}

LONG BEX_CALL CSoftListMgr::RequestListByName(int kind, const wchar_t* name, int page) {
    return base::CallGuarded(L"CSoftListMgr::RequestListByName", 1L, [&]() -> LONG {
        int index = -1;
        {
            Locked lock(lock_);
            const std::vector<CSoftCatalogData*>& entries = Entries(kind);
            for (size_t i = 0; i < entries.size() && index < 0; ++i)
                if (::lstrcmpiW(entries[i]->Data().name, name ? name : L"") == 0) index = static_cast<int>(i);
        }
        if (index >= 0) RequestList(kind, index, page);
        return 1;
    });
}

LONG BEX_CALL CSoftListMgr::RequestList(int kind, int index, int page) {
    return base::CallGuarded(L"CSoftListMgr::RequestList", 1L, [&]() -> LONG {
        Locked lock(lock_);
        const std::vector<CSoftCatalogData*>& entries = Entries(kind);
        if (index < 0 || static_cast<size_t>(index) >= entries.size()) return 1;
        const std::wstring name = entries[static_cast<size_t>(index)]->Data().name;
        ListState& state = lists_[ListKey(kind, name, page)];
        if (state.state == kLoading || state.state == kLoaded) {
            NotifyListeners(state.state == kLoading ? 2 : 3, kind, ListParam(index, page));
            return 1;
        }
        NotifyListeners(2, kind, ListParam(index, page));
        state.state = kLoading;
        SoftListRequest request;
        request.kind = kListFetch;
        request.arg1 = kind;
        request.text = name;
        request.page = page;
        request.index = index;
        Queue(std::move(request));
        return 0;
    });
}

BOOL BEX_CALL CSoftListMgr::GetListItem(int kind, const wchar_t* name, uint32_t softId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListItem", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        bex::PluginRef<CSoftListData> record;
        bex::PluginRef<> query;
        {
            Locked lock(lock_);
            if (!started_) return FALSE;
            record = bex::PluginRef<CSoftListData>::AddRefed(FindListRecord(kind, name ? name : L"", softId));
            query = bex::PluginRef<>::AddRefed(query_.Get());
        }
        return TellAndHandOut(std::move(record), std::move(query), softId, out);
    });
}

BOOL CSoftListMgr::TellAndHandOut(bex::PluginRef<CSoftListData> record, bex::PluginRef<> query,
                                  uint32_t softId, IBexPlugin** out) {
    if (!record) return FALSE;
    // Outside the lock, with our own references: a concurrent Stop
    // releases the maps' ones.
    if (query && bex::Call(k::software_query::kReady, query.Get(), 0, 0)) {
        const tagSoftListData& r = record->Data();
        bex::Call(k::software_query::kTell, query.Get(), softId, r.vname, r.durls, r.uurls, r.dname, r.args,
                  r.hint2, r.pname, r.os, r.ver, r.sizeText, r.shell, 0);
    }
    *out = record.Detach();
    return TRUE;
}

BOOL BEX_CALL CSoftListMgr::GetListItemAt(int kind, int index, uint32_t softId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListItemAt", BOOL{FALSE}, [&]() -> BOOL {
        std::wstring name;
        {
            Locked lock(lock_);
            const std::vector<CSoftCatalogData*>& entries = Entries(kind);
            if (index >= 0 && static_cast<size_t>(index) < entries.size())
                name = entries[static_cast<size_t>(index)]->Data().name;
        }
        if (name.empty()) return FALSE;
        return GetListItem(kind, name.c_str(), softId, out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetListTitle(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListTitle", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        Locked lock(lock_);
        const ListState* state = FindListState(ListKey(kind, name ? name : L"", page));
        if (!state) return FALSE;
        bex::PluginRef<> text;
        *out = plugin::RenewKernelString(text, state->title.c_str()) ? text.Detach() : nullptr;
        return TRUE;
    });
}

// ---- the worker ----

void CSoftListMgr::Queue(SoftListRequest&& request) {
    Locked lock(lock_);
    queue_.push_back(std::move(request));
}

DWORD WINAPI CSoftListMgr::SoftListThread(void* self) {
    return base::CallGuarded(L"CSoftListMgr worker", DWORD{0}, [self] {
        winlib::ComScope com;
        static_cast<CSoftListMgr*>(self)->WorkerLoop();
        return DWORD{0};
    });
}

void CSoftListMgr::WorkerLoop() {
    HANDLE stop = nullptr;
    HANDLE wake = nullptr;
    {
        Locked lock(lock_);
        stop = stop_.Get();
        wake = wake_.Get();
    }
    while (started_) {
        SoftListRequest request;
        bool taken = false;
        {
            Locked lock(lock_);
            if (!queue_.empty()) {
                request = std::move(queue_.front());
                queue_.pop_front();
                taken = true;
            }
        }
        if (taken) {
            // A request that failed on the way is dropped; the worker goes on.
            base::CallGuarded(L"CSoftListMgr::Handle", false, [&] {
                Handle(request);
                return true;
            });
        }
        bool more = false;
        {
            Locked lock(lock_);
            more = !queue_.empty();
        }
        // With no client left, queued work drains at once; an empty queue
        // always waits its pass.
        const bool drain = more && ::WaitForSingleObject(wake, 0) == WAIT_OBJECT_0;
        if (!drain) ::WaitForSingleObject(stop, kPollMs);
    }
}

void CSoftListMgr::Handle(SoftListRequest& request) {
    switch (request.kind) {
    case kCatalogFetch:
        return ChooseCatalogUrl(request.arg1);
    case kListFetch:
        return FetchListPage(request);
    case kCatalogAnswer:
        return ParseCatalogXml(request);
    case kListAnswer:
        return ParseSoftListXml(request);
    case kListScores:
        return AttachListScores(request);
    case kSearchFetch:
        return SearchSoftList(request);
    case kSearchAnswer:
        return ParseSearchXml(request);
    case kSearchScores:
        return AttachSearchScores(request);
    case kCoopFetch:
        return SearchSoftListByCoop(request);
    case kCoopAnswer:
        return ParseCoopSearchXml(request);
    default:
        return;  // dropped
    }
}

void CSoftListMgr::ChooseCatalogUrl(int kind) {
    if (kind < 0 || kind >= kCatalogKinds) return;
    int number = 0;
    if (kind == 0) {
        bex::PluginRef<> environment;
        if (SUCCEEDED(plugin::CreateKernelObject(k::kEnvironment, environment)))
            number = bex::Call(k::environment::kNumber, environment.Get());
    }
    const std::wstring url = CatalogUrl(kind, number, ::GetTickCount(), queryTail_);
    if (url.empty()) return;
    SoftListRequest answer;
    answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started()) return;
    answer.kind = kCatalogAnswer;
    answer.arg1 = kind;
    Queue(std::move(answer));
}

void CSoftListMgr::ParseCatalogXml(SoftListRequest& request) {
    const int kind = request.arg1;
    std::vector<AnswerSoft> softs;
    PendingFetch::State state = PendingFetch::State::Failed;
    if (started_ && request.fetch.Started()) {
        state = request.fetch.Poll([&softs](const BYTE* data, size_t size) {
            return ReadSoftAnswer(data, size, nullptr, nullptr, softs);
        }, kPollMs);
    }
    if (state == PendingFetch::State::Pending) return Queue(std::move(request));
    Locked lock(lock_);
    if (state == PendingFetch::State::Succeeded && started_) {
        std::vector<CSoftCatalogData*>& entries = Entries(kind);
        for (CSoftCatalogData* entry : entries) entry->Release();
        entries.clear();
        for (const AnswerSoft& soft : softs) {
            CSoftCatalogData* entry = NewSoftCatalogData();
            if (!entry) break;
            FillCatalogRecord(entry->Data(), soft.fields, kind);
            entries.push_back(entry);
        }
    }
    NotifyListeners(0, kind, 0);
}

void CSoftListMgr::ListFailed(int kind, const std::wstring& name, int index, int page) {
    Locked lock(lock_);
    if (started_) lists_[ListKey(kind, name, page)].state = kFailed;
    NotifyListeners(1, kind, ListParam(index, page));
    NotifyListeners(3, kind, ListParam(index, page));
}

void CSoftListMgr::FetchListPage(SoftListRequest& request) {
    std::wstring url;
    {
        Locked lock(lock_);
        const CSoftCatalogData* entry = FindEntry(request.arg1, request.text);
        if (entry && !request.text.empty()) {
            const std::wstring start = ListStart(request.page, entry->Data().pageSize);
            if (!start.empty()) url = FillListUrl(entry->Data().urlFormat, start, queryTail_);
        }
    }
    SoftListRequest answer;
    if (!url.empty()) answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started())
        return ListFailed(request.arg1, request.text, request.index, request.page);
    answer.kind = kListAnswer;
    answer.arg1 = request.arg1;
    answer.text = request.text;
    answer.index = request.index;
    answer.page = request.page;
    Queue(std::move(answer));
}

void CSoftListMgr::ParseSoftListXml(SoftListRequest& request) {
    const int kind = request.arg1;
    const std::wstring key = ListKey(kind, request.text, request.page);
    std::vector<AnswerSoft> softs;
    std::wstring title;
    PendingFetch::State state = PendingFetch::State::Failed;
    if (started_ && request.fetch.Started()) {
        state = request.fetch.Poll([&softs, &title](const BYTE* data, size_t size) {
            return ReadSoftAnswer(data, size, nullptr, &title, softs);
        }, kPollMs);
    }
    if (state == PendingFetch::State::Pending) return Queue(std::move(request));
    if (state != PendingFetch::State::Succeeded)
        return ListFailed(kind, request.text, request.index, request.page);

    const bool scoreRanked = IsScoreRanked(request.text);
    bex::PluginRef<> names;
    if (FAILED(plugin::CreateKernelObject(k::kObjectList, names)))
        return ListFailed(kind, request.text, request.index, request.page);
    {
        Locked lock(lock_);
        if (!started_) return ListFailed(kind, request.text, request.index, request.page);
        ListState& list = lists_[key];
        if (!title.empty()) list.title = title;
        list.ids.clear();
        ListContext context;
        context.scoreRanked = scoreRanked;
        context.systemText = systemText_;
        context.bitness = bitness_;
        const std::wstring setKey = RecordSetKey(kind, request.text);
        for (const AnswerSoft& soft : softs) {
            if (soft.id == 0) continue;
            list.ids.push_back(soft.id);
            CSoftListData* record = FindListRecord(kind, request.text, soft.id);
            if (!record) {
                record = NewSoftListData();
                if (!record) continue;
                recordSets_[setKey][soft.id] = record;
            }
            record->Data().softId = soft.id;
            FillListRecord(record->Data(), soft.fields, context);
            bex::PluginRef<> name;
            if (plugin::RenewKernelString(name, record->Data().bname)) bex::ListAppend(names.Get(), name.Get());
        }
    }
    if (bex::ListCount(names.Get()) == 0) return ListFailed(kind, request.text, request.index, request.page);
    const LPARAM lParam = ListParam(request.index, request.page);
    NotifyListeners(1, kind, lParam);
    NotifyListeners(3, kind, lParam);
    if (scoreRanked) {
        Locked lock(lock_);
        if (started_) lists_[key].state = kLoaded;
        NotifyListeners(1, kind, lParam);
        NotifyListeners(7, kind, lParam);
        NotifyListeners(3, kind, lParam);
        return;
    }
    SoftListRequest scores;
    scores.details = PendingCompletion::StartDetails(details_.Get(), names.Get(), kScoreKind);
    if (!scores.details.Started()) return ListFailed(kind, request.text, request.index, request.page);
    scores.kind = kListScores;
    scores.arg1 = kind;
    scores.text = request.text;
    scores.index = request.index;
    scores.page = request.page;
    Queue(std::move(scores));
}

void CSoftListMgr::AttachScores(tagSoftListData& r) {
    if (!r.bname[0]) return;
    const bex::PluginRef<> item = plugin::DetailsFind(details_.Get(), r.bname);
    if (!item) return;
    const wchar_t* score = bex::Call(k::details::kItemText1, item.Get());
    if (score && *score) {
        std::wstring display;
        ScoreFromText(score, r.score, display);
        SetField(r.scoreText, display.c_str());
    }
    const wchar_t* comment = bex::Call(k::details::kItemText2, item.Get());
    const wchar_t* votes = bex::Call(k::details::kItemText3, item.Get());
    SetField(r.scoreComment, comment ? comment : L"");
    SetField(r.pollnum, votes ? votes : L"");
}

void CSoftListMgr::AttachListScores(SoftListRequest& request) {
    const int kind = request.arg1;
    const LONG status = started_ ? request.details.Poll(kPollMs) : 0;
    if (status == -1) return Queue(std::move(request));
    if (status != 1) return ListFailed(kind, request.text, request.index, request.page);
    Locked lock(lock_);
    if (!started_) return ListFailed(kind, request.text, request.index, request.page);
    const auto set = recordSets_.find(RecordSetKey(kind, request.text));
    if (set != recordSets_.end()) {
        for (auto& [id, record] : set->second) AttachScores(record->Data());
    }
    lists_[ListKey(kind, request.text, request.page)].state = kLoaded;
    const LPARAM lParam = ListParam(request.index, request.page);
    NotifyListeners(1, kind, lParam);
    NotifyListeners(7, kind, lParam);
    NotifyListeners(3, kind, lParam);
}

// ---- the cache in the value store ----

std::optional<bex::ByteView> CSoftListMgr::StoreGet(int type, const std::wstring& name, bex::PluginRef<>& buffer,
                                                    uint32_t* extra) {
    if (!store_ || FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return std::nullopt;
    return bex::ValueGet(store_.Get(), type, name.c_str(), buffer.Get(), extra);
}

void CSoftListMgr::LoadCatalogCache() {
    if (!store_) return;
    for (int kind = 0; kind < kCatalogKinds; ++kind) {
        bex::PluginRef<> buffer;
        if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return;
        const auto bytes = bex::ValueGetByNumber(store_.Get(), kCountType, static_cast<uint32_t>(kind), buffer.Get());
        if (!bytes || bytes->size != sizeof(uint32_t)) continue;
        uint32_t count = 0;
        std::memcpy(&count, bytes->data, sizeof(count));
        count = std::min(count, kMaxStoredEntries);
        std::vector<CSoftCatalogData*>& entries = Entries(kind);
        // Entries are stored one after the other: a gap ends them (a count
        // beyond what is stored costs one read, not one per number).
        for (uint32_t i = 0; i < count; ++i) {
            CSoftCatalogData* entry = LoadCatalogRecord(kind, static_cast<int>(i));
            if (!entry) break;
            entries.push_back(entry);
        }
    }
}

CSoftCatalogData* CSoftListMgr::LoadCatalogRecord(int kind, int index) {
    bex::PluginRef<> buffer;
    const auto bytes = StoreGet(kEntryType, std::to_wstring(kind) + L"-" + std::to_wstring(index), buffer, nullptr);
    if (!bytes || bytes->size != sizeof(tagSoftCatalogData)) return nullptr;
    CSoftCatalogData* entry = NewSoftCatalogData();
    if (!entry) return nullptr;
    std::memcpy(&entry->Data(), bytes->data, sizeof(tagSoftCatalogData));
    TerminateTexts(entry->Data());
    return entry;
}

bool CSoftListMgr::LoadListState(const std::wstring& key, ListState& state) {
    bool found = false;
    bex::PluginRef<> text;
    if (const auto bytes = StoreGet(kListType, L"text" + key, text, nullptr)) {
        state.title.assign(bytes->size / sizeof(wchar_t), L'\0');
        if (!state.title.empty()) std::memcpy(&state.title[0], bytes->data, state.title.size() * sizeof(wchar_t));
        state.title = state.title.c_str();  // up to an embedded NUL
        found = true;
    }
    bex::PluginRef<> data;
    if (const auto bytes = StoreGet(kListType, L"data" + key, data, nullptr)) {
        state.ids = ReadIds(*bytes);
        found = true;
    }
    state.state = kUnasked;
    return found;
}

CSoftListData* CSoftListMgr::LoadListRecord(const std::wstring& setKey, uint32_t softId) {
    bex::PluginRef<> buffer;
    uint32_t extra = 0;
    const auto bytes = StoreGet(kRecordSetType, setKey, buffer, &extra);
    if (!bytes) return nullptr;
    const size_t count = std::min<size_t>(extra >> 16, bytes->size / sizeof(tagSoftListData));
    for (size_t i = 0; i < count; ++i) {
        tagSoftListData stored;
        std::memcpy(&stored, bytes->data + i * sizeof(tagSoftListData), sizeof(stored));
        if (stored.softId != softId) continue;
        CSoftListData* record = NewSoftListData();
        if (!record) return nullptr;
        CopyStoredListRecord(record->Data(), stored);
        CSoftListData*& slot = recordSets_[setKey][softId];
        if (slot) slot->Release();
        slot = record;
        return record;
    }
    return nullptr;
}

void CSoftListMgr::SaveCache() {
    Locked lock(lock_);
    if (!store_) return;
    for (int kind = 0; kind < kCatalogKinds; ++kind) {
        const std::vector<CSoftCatalogData*>& entries = Entries(kind);
        const uint32_t count = static_cast<uint32_t>(entries.size());
        bex::ValueSetByNumber(store_.Get(), kCountType, static_cast<uint32_t>(kind), &count, sizeof(count));
        for (uint32_t i = 0; i < count; ++i) {
            const std::wstring name = std::to_wstring(kind) + L"-" + std::to_wstring(i);
            bex::ValueSet(store_.Get(), kEntryType, name.c_str(), &entries[i]->Data(), sizeof(tagSoftCatalogData),
                          false, 0);
        }
    }
    for (const auto& [key, list] : lists_) {
        if (!list.title.empty()) {
            const std::wstring name = L"text" + key;
            bex::ValueSet(store_.Get(), kListType, name.c_str(), list.title.data(),
                          list.title.size() * sizeof(wchar_t), false, 0);
        }
        if (!list.ids.empty()) {
            const std::wstring name = L"data" + key;
            bex::ValueSet(store_.Get(), kListType, name.c_str(), list.ids.data(), list.ids.size() * sizeof(uint32_t),
                          false, 0);
        }
    }
    for (const auto& [key, set] : recordSets_) {
        std::vector<BYTE> data;
        size_t count = 0;
        for (const auto& [id, record] : set) {
            if (!record || count == kMaxStoredRecords) continue;
            const BYTE* bytes = reinterpret_cast<const BYTE*>(&record->Data());
            data.insert(data.end(), bytes, bytes + sizeof(tagSoftListData));
            ++count;
        }
        // Records are read back one by one as they are asked for: the ones
        // this run never asked for stay stored as they were.
        bex::PluginRef<> stored;
        uint32_t storedExtra = 0;
        if (const auto bytes = StoreGet(kRecordSetType, key, stored, &storedExtra)) {
            const size_t n = std::min<size_t>(storedExtra >> 16, bytes->size / sizeof(tagSoftListData));
            for (size_t i = 0; i < n && count < kMaxStoredRecords; ++i) {
                const BYTE* record = bytes->data + i * sizeof(tagSoftListData);
                uint32_t id = 0;
                std::memcpy(&id, record, sizeof(id));
                if (set.count(id)) continue;
                data.insert(data.end(), record, record + sizeof(tagSoftListData));
                ++count;
            }
        }
        if (count == 0) continue;
        const uint32_t extra = static_cast<uint32_t>(count) << 16 | kRecordSetVersion;
        bex::ValueSet(store_.Get(), kRecordSetType, key.c_str(), data.data(), data.size(), true, extra);
    }
}

HRESULT BEX_CALL CreateSoftListMgr(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListMgr>(out); }

}  // namespace catalog
