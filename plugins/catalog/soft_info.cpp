#include "plugins/catalog/soft_info.h"

#include <algorithm>
#include <cstring>

#include "base/exception_barrier.h"
#include "base/log.h"
#include "base/service_addresses.h"
#include "plugins/catalog/async_result.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/locked.h"
#include "plugins/catalog/store_types.h"
#include "plugins/catalog/thread_end.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr DWORD kIdleMs = 100;
constexpr DWORD kStopWaitMs = 2000;
constexpr wchar_t kCacheName[] = L"data";
constexpr uint32_t kCacheVersion = 1;
constexpr size_t kRecordSize = sizeof(tagSoftInfoData);
static_assert(CSoftInfo::kMaxRecords <= 0xFFFF, "the cache value counts its records in 16 bits");

volatile LONG g_terminations = 0;

template <typename S>
const wchar_t* ItemText(k::details::Item* item, S slot) {
    const wchar_t* text = protocol::Call(slot, item);
    return text ? text : L"";
}

}  // namespace

CSoftInfo::CSoftInfo() noexcept : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    // Made here, not in Start: Query and GetInfo may come before Start and
    // after Stop.
    ::InitializeCriticalSection(&queryLock_);
    ::InitializeCriticalSection(&cacheLock_);
}

CSoftInfo::~CSoftInfo() {
    Stop();
    // Clients still waiting for a queued query must not wait for ever.
    std::deque<QueuedQuery> left;
    {
        Locked lock(queryLock_);
        left.swap(queue_);
    }
    for (QueuedQuery& query : left)
        if (query.result) query.result->Complete(2, nullptr);
    left.clear();
    std::vector<SoftInfoRef> records;
    cache_.Clear(records);
    records.clear();
    details_.Reset();
    environment_.Reset();
    store_.Reset();
    systemTextObject_.Reset();
    queryTailObject_.Reset();
    ::DeleteCriticalSection(&cacheLock_);
    ::DeleteCriticalSection(&queryLock_);
}

LONG CSoftInfo::Terminations() { return g_terminations; }

bool CSoftInfo::OnOwnThread() const noexcept {
    const DWORD self = ::GetCurrentThreadId();
    return self == queryThreadId_ || self == cacheThreadId_;
}

void CSoftInfo::DestroySelf() noexcept {
    if (!OnOwnThread()) {
        delete this;
        return;
    }
    destroyBy_ = ::GetCurrentThreadId();
    ::InterlockedExchange(&running_, 0);
    if (stop_) ::SetEvent(stop_.Get());
}

void CSoftInfo::ThreadEnds() noexcept {
    // Written by this very thread, in DestroySelf.
    if (destroyBy_ == ::GetCurrentThreadId()) delete this;
}

LONG BEX_CALL CSoftInfo::Start() {
    return base::CallGuarded(L"CSoftInfo::Start", 0L, [&]() -> LONG {
        // Ours alone until Finish: no other Start or Stop, and no threads.
        StartStopGate::Transition turn = gate_.Begin(true);
        if (turn.Result() != StartStopGate::Outcome::kYours)
            return turn.Result() == StartStopGate::Outcome::kAlreadyThere ? 1 : 0;
        if (FAILED(plugin::CreateKernelObject(store_)) ||
            FAILED(plugin::CreateKernelObject(environment_)) ||
            FAILED(plugin::CreateKernelObject(details_))) {
            store_.Reset();
            environment_.Reset();
            details_.Reset();
            return 0;
        }
        protocol::PluginRef<k::System> system;
        if (SUCCEEDED(plugin::CreateKernelObject(system)))
            protocol::Call(k::system_info::kDescribe, system.Get(), k::system_info::kDescribeKind,
                           systemTextObject_.Put());
        protocol::Call(k::environment::kQueryTail, environment_.Get(), queryTailObject_.Put());
        systemText_ = protocol::TextOf(systemTextObject_);
        queryTail_ = protocol::TextOf(queryTailObject_);

        LoadCache();
        if (stop_) ::ResetEvent(stop_.Get());
        ::InterlockedExchange(&running_, 1);
        if (!StartThread(queryThread_, queryThreadId_, &SoftInfoQueryThread) ||
            !StartThread(cacheThread_, cacheThreadId_, &SoftInfoCacheThread)) {
            StopThreads();
            return 0;
        }
        turn.Finish(true);
        return 1;
    });
}

bool CSoftInfo::StartThread(base::Thread& thread, DWORD& id, LPTHREAD_START_ROUTINE entry) {
    // Its id is known before it runs, so that it knows itself as ours.
    thread.Reset(::CreateThread(nullptr, 0, entry, this, CREATE_SUSPENDED, &id));
    if (!thread) {
        base::LogFailedCall(L"software information: not started", L"CreateThread");
        return false;
    }
    ::ResumeThread(thread.Get());
    return true;
}

void CSoftInfo::EndThread(base::Thread& thread, DWORD& id) {
    // The thread that deletes the object at its end is not waited for: it
    // touches nothing of it after that.
    if (thread && id != ::GetCurrentThreadId()) {
        // The stop event should have ended every wait already.
        const bool forced = EndStoppedThread(
            thread.Get(), id, kStopWaitMs, 0,
            [this](DWORD threadId) { return HeldBy(queryLock_, threadId) || HeldBy(cacheLock_, threadId); },
            L"a CSoftInfo thread");
        if (forced) ::InterlockedIncrement(&g_terminations);
    }
    thread.Reset();
    id = 0;
}

void CSoftInfo::StopThreads() {
    ::InterlockedExchange(&running_, 0);
    if (stop_) ::SetEvent(stop_.Get());
    EndThread(queryThread_, queryThreadId_);
    EndThread(cacheThread_, cacheThreadId_);
}

LONG BEX_CALL CSoftInfo::Stop() {
    return base::CallGuarded(L"CSoftInfo::Stop", 1L, [&]() -> LONG {
        // A client's completion asking it on the query thread: that thread
        // cannot wait for itself. Refused; the object goes on running.
        if (OnOwnThread() && destroyBy_ != ::GetCurrentThreadId()) {
            base::LogLine(L"software information", L"CSoftInfo::Stop on the object's own thread was refused");
            return 1;
        }
        // Stopped already, or asked from inside this thread's own Start.
        StartStopGate::Transition turn = gate_.Begin(false);
        if (turn.Result() != StartStopGate::Outcome::kYours) return 1;
        StopThreads();
        SaveCache();
        return 1;
    });
}

LONG BEX_CALL CSoftInfo::Query(IBexPlugin* ids, IBexAsyncResult* result) {
    return base::CallGuarded(L"CSoftInfo::Query", 0L, [&]() -> LONG {
        if (!ids) return 0;
        QueuedQuery query;
        // The interface says what a client hands in: a class-7 buffer.
        query.ids = ReadIds(k::As<k::ByteBuffer>(ids));
        // Taken before the lock: the client's object may be the kernel's.
        query.result = protocol::PluginRef<IBexAsyncResult>::AddRefed(result);
        Locked lock(queryLock_);
        queue_.push_back(std::move(query));
        return 1;
    });
}

LONG BEX_CALL CSoftInfo::GetInfo(uint32_t softId, ISoftInfoData** out) {
    return base::CallGuarded(L"CSoftInfo::GetInfo", 0L, [&]() -> LONG {
        if (!out) return 0;
        Locked lock(cacheLock_);
        CSoftInfoData* record = cache_.Find(softId);
        if (!record) return 0;
        cache_.Touch(softId);
        record->AddRef();  // ours: no lock, no call out
        *out = record;
        return 1;
    });
}

DWORD WINAPI CSoftInfo::SoftInfoQueryThread(void* self) {
    return base::CallGuarded(L"CSoftInfo query thread", DWORD{0}, [self] {
        base::ComScope com;
        static_cast<CSoftInfo*>(self)->QueryLoop();
        static_cast<CSoftInfo*>(self)->ThreadEnds();
        return DWORD{0};
    });
}

DWORD WINAPI CSoftInfo::SoftInfoCacheThread(void* self) {
    return base::CallGuarded(L"CSoftInfo cache thread", DWORD{0}, [self] {
        base::ComScope com;
        static_cast<CSoftInfo*>(self)->CacheLoop();
        static_cast<CSoftInfo*>(self)->ThreadEnds();
        return DWORD{0};
    });
}

void CSoftInfo::QueryLoop() {
    while (running_) {
        QueuedQuery query;
        bool found = false;
        {
            Locked lock(queryLock_);
            if (!queue_.empty()) {
                query = std::move(queue_.front());
                queue_.pop_front();
                found = true;
            }
        }
        if (!found) {
            ::WaitForSingleObject(stop_.Get(), kIdleMs);
            continue;
        }
        // A query that failed on the way still completes, as failed.
        const LONG status =
            base::CallGuarded(L"CSoftInfo::ProcessQuery", 2L, [&] { return ProcessQuery(std::move(query.ids)); });
        // The client may stop the object here, or let go of it.
        if (query.result) query.result->Complete(status, nullptr);
    }
}

void CSoftInfo::CacheLoop() {
    while (running_) {
        bool pending = false;
        {
            Locked lock(cacheLock_);
            pending = !refresh_.empty();
        }
        if (pending) RefreshCached();
        else ::WaitForSingleObject(stop_.Get(), kIdleMs);
    }
}

bool CSoftInfo::MayQuery() {
    return environment_ && protocol::Call(k::environment::kMayQuery, environment_.Get()) != 0;
}

LONG CSoftInfo::ProcessQuery(std::vector<uint32_t> ids) {
    {
        Locked lock(cacheLock_);
        std::vector<uint32_t> missing;
        for (uint32_t id : ids) {
            if (cache_.Find(id)) {
                cache_.Touch(id);
                if (!refreshed_.count(id)) refresh_.insert(id);
            } else {
                missing.push_back(id);
            }
        }
        ids.swap(missing);
    }
    if (ids.empty()) return 1;
    if (!MayQuery()) return 2;
    UpdateInfoMap softs;
    if (!FetchUpdateInfo(ids, softs)) return 2;
    ApplyUpdateInfo(softs);
    FetchSoftDetails(softs);
    return 1;
}

void CSoftInfo::RefreshCached() {
    std::vector<uint32_t> ids;
    {
        Locked lock(cacheLock_);
        ids.assign(refresh_.begin(), refresh_.end());
    }
    if (!ids.empty() && MayQuery()) {
        UpdateInfoMap softs;
        if (FetchUpdateInfo(ids, softs)) {
            ApplyUpdateInfo(softs);
            FetchSoftDetails(softs);
        }
        Locked lock(cacheLock_);
        refreshed_.insert(ids.begin(), ids.end());
    }
    Locked lock(cacheLock_);
    for (uint32_t id : ids) refresh_.erase(id);
}

bool CSoftInfo::FetchUpdateInfo(const std::vector<uint32_t>& ids, UpdateInfoMap& out) {
    out.clear();
    const std::vector<std::wstring> urls = UpdateInfoUrls(ServiceAddress(Service::UpdateInfo), ids, queryTail_);
    if (urls.empty()) return false;
    // Every part of a split request must answer, as one request would. What
    // was not asked is dropped: the server does not decide what is kept.
    const std::set<uint32_t> asked(ids.begin(), ids.end());
    UpdateInfoMap all;
    for (const std::wstring& url : urls) {
        UpdateInfoMap part;
        const bool ok = FetchAndWait(stop_.Get(), url.c_str(), [this, &part](const BYTE* data, size_t size) {
            return ParseUpdateInfoXml(data, size, part, stop_.Get());
        });
        if (!ok) return false;
        for (auto& [id, elements] : part)
            if (asked.count(id)) all[id] = std::move(elements);
    }
    out.swap(all);
    return !out.empty();
}

void CSoftInfo::ApplyUpdateInfo(const UpdateInfoMap& softs) {
    // Records are made (a notice to the kernel) before the lock and let go
    // of after it: both locals outlive the lock.
    std::map<uint32_t, SoftInfoRef> made;
    std::vector<SoftInfoRef> dropped;
    {
        Locked lock(cacheLock_);
        for (const auto& soft : softs)
            if (!cache_.Find(soft.first)) made.emplace(soft.first, SoftInfoRef());
    }
    for (auto& [id, record] : made) {
        record = NewSoftInfoData();
        if (record) record->Record().softId = id;
    }
    Locked lock(cacheLock_);
    for (const auto& [id, elements] : softs) {
        CSoftInfoData* record = cache_.Find(id);
        if (record) {
            cache_.Touch(id);
        } else {
            const auto it = made.find(id);
            if (it == made.end() || !it->second) continue;
            record = it->second.Get();
            cache_.Put(id, std::move(it->second), dropped);
        }
        FillSoftRecord(record->Record(), elements, systemText_);
    }
}

void CSoftInfo::FetchSoftDetails(const UpdateInfoMap& softs) {
    if (!details_) return;
    protocol::PluginRef<k::ObjectList> list;
    if (FAILED(plugin::CreateKernelObject(list))) return;
    for (const auto& [id, elements] : softs) {
        const auto bname = elements.find(L"bname");
        protocol::PluginRef<k::String> name;
        if (plugin::RenewKernelString(name, bname == elements.end() ? L"" : bname->second.c_str()))
            protocol::ListAppend(list.Get(), name.Get());
    }
    if (protocol::ListCount(list.Get()) == 0) return;

    CompletionEvent done = CompletionEvent::Make();
    if (!done) return;
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result = CreateAsyncResult(done.Get(), nullptr, &kernelMade);
    if (!result) return;
    if (!plugin::DetailsStart(details_.Get(), list.Get(), L"upgrade", result.Get())) return;
    // Abandoned, the kernel's own completion object may still set this very
    // handle later.
    if (kernelMade) done.GivenToKernel();
    const HANDLE handles[2] = {stop_.Get(), done.Get()};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
    done.Set();

    // Asked for each record under the cache lock, as the records are filled.
    Locked lock(cacheLock_);
    for (const auto& [id, elements] : softs) {
        CSoftInfoData* record = cache_.Find(id);
        if (!record) continue;
        tagSoftInfoData& r = record->Record();
        if (!r.bname[0]) continue;
        const protocol::PluginRef<k::details::Item> item = plugin::DetailsFind(details_.Get(), r.bname);
        if (!item) continue;
        SetField(r.ratingText, ItemText(item.Get(), k::details::kItemText1));
        if (r.ratingText[0]) r.rating = RatingFromText(r.ratingText);
        SetField(r.detailsText, ItemText(item.Get(), k::details::kItemText2));
        SetField(r.detailsShortText, ItemText(item.Get(), k::details::kItemText3));
    }
}

void CSoftInfo::LoadCache() {
    if (!store_) return;
    protocol::PluginRef<k::ByteBuffer> buffer;
    if (FAILED(plugin::CreateKernelObject(buffer))) return;
    uint32_t extra = 0;
    const auto bytes = protocol::ValueGet(store_.Get(), kStoreSoftInfo, kCacheName, buffer.Get(), &extra);
    if (!bytes || bytes->size == 0 || extra < 0x10000 || (extra & 0xFFFF) != kCacheVersion) return;
    const size_t count = extra >> 16;
    if (bytes->size % count != 0) return;
    // Records of another size are of another layout, and each would still
    // become a whole record: a value of tiny ones would take gigabytes.
    if (bytes->size / count != kRecordSize) return;
    // Made and let go of outside the lock; no more than memory holds.
    std::vector<SoftInfoRef> loaded;
    for (size_t i = 0; i < std::min(count, kMaxRecords); ++i) {
        SoftInfoRef record(NewSoftInfoData());
        if (!record) break;
        std::memcpy(&record->Record(), bytes->data + i * kRecordSize, kRecordSize);
        TerminateTexts(record->Record());
        loaded.push_back(std::move(record));
    }
    std::vector<SoftInfoRef> dropped;
    Locked lock(cacheLock_);
    for (SoftInfoRef& record : loaded) {
        const uint32_t id = record->Record().softId;
        cache_.Put(id, std::move(record), dropped);
    }
}

void CSoftInfo::SaveCache() {
    if (!store_) return;
    // Copied under the lock, written after it.
    std::vector<BYTE> data;
    {
        Locked lock(cacheLock_);
        data.reserve(cache_.Size() * kRecordSize);
        cache_.ForEach([&data](uint32_t, const CSoftInfoData& record) {
            const BYTE* bytes = reinterpret_cast<const BYTE*>(&record.Record());
            data.insert(data.end(), bytes, bytes + kRecordSize);
        });
    }
    if (data.empty()) return;
    const uint32_t extra = static_cast<uint32_t>(data.size() / kRecordSize) << 16 | kCacheVersion;
    if (!protocol::ValueSet(store_.Get(), kStoreSoftInfo, kCacheName, data.data(), data.size(), true, extra))
        base::LogLine(L"software information", L"the kernel's store refused the cache; not kept for the next run");
}

HRESULT BEX_CALL CreateSoftInfo(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftInfo>(out); }

}  // namespace catalog
