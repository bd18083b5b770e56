#include "plugins/catalog/soft_info.h"

#include <algorithm>
#include <cstring>

#include "base/exception_barrier.h"
#include "base/service_addresses.h"
#include "plugins/catalog/async_result.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/locked.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr DWORD kIdleMs = 100;
constexpr DWORD kStopWaitMs = 2000;
constexpr int kCacheType = 16;
constexpr wchar_t kCacheName[] = L"data";
constexpr uint32_t kCacheVersion = 1;
constexpr size_t kMaxCachedRecords = 0xFFFF;  // the extra value's 16 bits of count
constexpr size_t kRecordSize = sizeof(tagSoftInfoData);

volatile LONG g_terminations = 0;

template <typename S>
const wchar_t* ItemText(IBexPlugin* item, S slot) {
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
    for (QueuedQuery& query : left) {
        if (!query.result) continue;
        query.result->Complete(2, nullptr);
        query.result->Release();
    }
    for (auto& [id, record] : cache_)
        if (record) record->Release();
    cache_.clear();
    details_.Reset();
    environment_.Reset();
    store_.Reset();
    systemTextObject_.Reset();
    queryTailObject_.Reset();
    ::DeleteCriticalSection(&cacheLock_);
    ::DeleteCriticalSection(&queryLock_);
}

LONG CSoftInfo::Terminations() { return g_terminations; }

LONG BEX_CALL CSoftInfo::Start() {
    return base::CallGuarded(L"CSoftInfo::Start", 0L, [&]() -> LONG {
        // Ours alone until Finish: no other Start or Stop, and no threads.
        StartStopGate::Transition turn = gate_.Begin(true);
        if (turn.Result() != StartStopGate::Outcome::kYours)
            return turn.Result() == StartStopGate::Outcome::kAlreadyThere ? 1 : 0;
        if (FAILED(plugin::CreateKernelObject(k::kValueStore, store_)) ||
            FAILED(plugin::CreateKernelObject(k::kEnvironment, environment_)) ||
            FAILED(plugin::CreateKernelObject(k::kDetails, details_))) {
            store_.Reset();
            environment_.Reset();
            details_.Reset();
            return 0;
        }
        protocol::PluginRef<> system;
        if (SUCCEEDED(plugin::CreateKernelObject(k::kSystem, system)))
            protocol::Call(k::system_info::kDescribe, system.Get(), k::system_info::kDescribeKind,
                                  systemTextObject_.PutPlugin());
        protocol::Call(k::environment::kQueryTail, environment_.Get(), queryTailObject_.PutPlugin());
        systemText_ = protocol::TextOf(systemTextObject_);
        queryTail_ = protocol::TextOf(queryTailObject_);

        LoadCache();
        if (stop_) ::ResetEvent(stop_.Get());
        ::InterlockedExchange(&running_, 1);
        queryThread_.Reset(::CreateThread(nullptr, 0, &SoftInfoQueryThread, this, 0, nullptr));
        if (queryThread_) cacheThread_.Reset(::CreateThread(nullptr, 0, &SoftInfoCacheThread, this, 0, nullptr));
        if (!queryThread_ || !cacheThread_) {
            StopThreads();
            return 0;
        }
        turn.Finish(true);
        return 1;
    });
}

void CSoftInfo::EndThread(winlib::Thread& thread) {
    if (!thread) return;
    if (::WaitForSingleObject(thread.Get(), kStopWaitMs) == WAIT_TIMEOUT) {
        // Last resort: the stop event should have ended every wait already.
        ::SuspendThread(thread.Get());
        ::TerminateThread(thread.Get(), 0);
        ::InterlockedIncrement(&g_terminations);
        // Termination does not wait: the thread is gone only when its
        // handle says so.
        ::WaitForSingleObject(thread.Get(), kStopWaitMs);
    }
    thread.Reset();
}

void CSoftInfo::StopThreads() {
    ::InterlockedExchange(&running_, 0);
    if (stop_) ::SetEvent(stop_.Get());
    EndThread(queryThread_);
    EndThread(cacheThread_);
}

LONG BEX_CALL CSoftInfo::Stop() {
    return base::CallGuarded(L"CSoftInfo::Stop", 1L, [&]() -> LONG {
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
        query.ids = ReadIds(ids);
        query.result = result;
        Locked lock(queryLock_);
        queue_.push_back(std::move(query));
        if (result) result->AddRef();
        return 1;
    });
}

LONG BEX_CALL CSoftInfo::GetInfo(uint32_t softId, ISoftInfoData** out) {
    return base::CallGuarded(L"CSoftInfo::GetInfo", 0L, [&]() -> LONG {
        if (!out) return 0;
        Locked lock(cacheLock_);
        const auto it = cache_.find(softId);
        if (it == cache_.end() || !it->second) return 0;
        it->second->AddRef();
        *out = it->second;
        return 1;
    });
}

DWORD WINAPI CSoftInfo::SoftInfoQueryThread(void* self) {
    return base::CallGuarded(L"CSoftInfo query thread", DWORD{0}, [self] {
        winlib::ComScope com;
        static_cast<CSoftInfo*>(self)->QueryLoop();
        return DWORD{0};
    });
}

DWORD WINAPI CSoftInfo::SoftInfoCacheThread(void* self) {
    return base::CallGuarded(L"CSoftInfo cache thread", DWORD{0}, [self] {
        winlib::ComScope com;
        static_cast<CSoftInfo*>(self)->CacheLoop();
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
        if (query.result) {
            query.result->Complete(status, nullptr);
            query.result->Release();
        }
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
            if (cache_.count(id)) {
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
    // Every part of a split request must answer, as one request would.
    UpdateInfoMap all;
    for (const std::wstring& url : urls) {
        UpdateInfoMap part;
        const bool ok = FetchAndWait(stop_.Get(), url.c_str(), [this, &part](const BYTE* data, size_t size) {
            return ParseUpdateInfoXml(data, size, part, stop_.Get());
        });
        if (!ok) return false;
        for (auto& [id, elements] : part) all[id] = std::move(elements);
    }
    out.swap(all);
    return !out.empty();
}

void CSoftInfo::PutRecord(uint32_t softId, CSoftInfoData* record) {
    CSoftInfoData*& slot = cache_[softId];
    if (slot && slot != record) slot->Release();
    slot = record;
}

void CSoftInfo::ApplyUpdateInfo(const UpdateInfoMap& softs) {
    for (const auto& [id, elements] : softs) {
        Locked lock(cacheLock_);
        auto it = cache_.find(id);
        CSoftInfoData* record = it == cache_.end() ? nullptr : it->second;
        if (!record) {
            record = NewSoftInfoData();
            if (!record) continue;
            record->Record().softId = id;
            PutRecord(id, record);
        }
        FillSoftRecord(record->Record(), elements, systemText_);
    }
}

void CSoftInfo::FetchSoftDetails(const UpdateInfoMap& softs) {
    if (!details_) return;
    protocol::PluginRef<> list;
    if (FAILED(plugin::CreateKernelObject(k::kObjectList, list))) return;
    for (const auto& [id, elements] : softs) {
        const auto bname = elements.find(L"bname");
        protocol::PluginRef<> name;
        if (plugin::RenewKernelString(name, bname == elements.end() ? L"" : bname->second.c_str()))
            protocol::ListAppend(list.Get(), name.Get());
    }
    if (protocol::ListCount(list.Get()) == 0) return;

    winlib::Event done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return;
    bool kernelMade = false;
    protocol::PluginRef<IBexAsyncResult> result(CreateAsyncResult(done.Get(), nullptr, &kernelMade));
    if (!result) return;
    if (!plugin::DetailsStart(details_.Get(), list.Get(), L"upgrade", result.Get())) return;
    const HANDLE handles[2] = {stop_.Get(), done.Get()};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
        // Abandoned: the kernel's own completion object may still set this
        // very handle later.
        if (kernelMade) done.Detach();
        return;
    }

    Locked lock(cacheLock_);
    for (const auto& [id, elements] : softs) {
        const auto it = cache_.find(id);
        if (it == cache_.end() || !it->second) continue;
        tagSoftInfoData& r = it->second->Record();
        if (!r.bname[0]) continue;
        const protocol::PluginRef<> item = plugin::DetailsFind(details_.Get(), r.bname);
        if (!item) continue;
        SetField(r.ratingText, ItemText(item.Get(), k::details::kItemText1));
        if (r.ratingText[0]) r.rating = RatingFromText(r.ratingText);
        SetField(r.detailsText, ItemText(item.Get(), k::details::kItemText2));
        SetField(r.detailsShortText, ItemText(item.Get(), k::details::kItemText3));
    }
}

void CSoftInfo::LoadCache() {
    if (!store_) return;
    protocol::PluginRef<> buffer;
    if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return;
    uint32_t extra = 0;
    const auto bytes = protocol::ValueGet(store_.Get(), kCacheType, kCacheName, buffer.Get(), &extra);
    if (!bytes || bytes->size == 0 || extra < 0x10000 || (extra & 0xFFFF) != kCacheVersion) return;
    const size_t count = extra >> 16;
    if (bytes->size % count != 0) return;
    // Records of another size are of another layout, and each would still
    // become a whole record: a value of tiny ones would take gigabytes.
    if (bytes->size / count != kRecordSize) return;
    for (size_t i = 0; i < count; ++i) {
        CSoftInfoData* record = NewSoftInfoData();
        if (!record) return;
        std::memcpy(&record->Record(), bytes->data + i * kRecordSize, kRecordSize);
        TerminateTexts(record->Record());
        Locked lock(cacheLock_);
        PutRecord(record->Record().softId, record);
    }
}

void CSoftInfo::SaveCache() {
    if (!store_) return;
    Locked lock(cacheLock_);
    std::vector<const CSoftInfoData*> records;
    for (const auto& [id, record] : cache_)
        if (record && records.size() < kMaxCachedRecords) records.push_back(record);
    if (records.empty()) return;
    std::vector<BYTE> data(records.size() * kRecordSize);
    for (size_t i = 0; i < records.size(); ++i)
        std::memcpy(data.data() + i * kRecordSize, &records[i]->Record(), kRecordSize);
    const uint32_t extra = static_cast<uint32_t>(records.size()) << 16 | kCacheVersion;
    protocol::ValueSet(store_.Get(), kCacheType, kCacheName, data.data(), data.size(), true, extra);
}

HRESULT BEX_CALL CreateSoftInfo(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftInfo>(out); }

}  // namespace catalog
