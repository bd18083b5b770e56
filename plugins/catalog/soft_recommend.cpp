#include "plugins/catalog/soft_recommend.h"

#include <objbase.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>

#include "base/exception_barrier.h"
#include "base/log.h"
#include "base/numbers.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/locked.h"
#include "plugins/catalog/store_types.h"
#include "plugins/catalog/thread_end.h"
#include "plugins/common/kernel_binding.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr DWORD kWaitMs = 20;
constexpr DWORD kStopWaitMs = 2000;
constexpr int64_t kAgeSeconds = 86399;
constexpr LONG kStatusFailed = 2;  // as the software information's queries
const wchar_t kUpdateTimeOption[] = L"Mirrik\\UpdateTime";

volatile LONG g_terminations = 0;

bool ParseTime(const std::wstring& text, int64_t& time) {
    if (text.empty() || text.size() > 19) return false;
    const bool negative = text[0] == L'-';
    uint64_t magnitude = 0;
    if (!base::ParseDigits(std::wstring_view(text).substr(negative ? 1 : 0), magnitude)) return false;
    // Nineteen digits may pass the largest time; eighteen after a sign never do.
    const int64_t held = static_cast<int64_t>(std::min<uint64_t>(magnitude, INT64_MAX));
    time = negative ? -held : held;
    return true;
}

}  // namespace

// ---- the record ----

CSoftReCmdData::CSoftReCmdData() noexcept = default;

CSoftReCmdData* CSoftReCmdData::FromPlugin(IBexPlugin* object) noexcept {
    return LiveObjects<CSoftReCmdData>::Find(object);
}

void CSoftReCmdData::Fill(const ReCmdChoice& choice) {
    pickId_ = choice.pickId;
    softId_ = choice.softId;
    desp_ = choice.desp;
    classBaike_ = choice.classBaike;
    alias_ = choice.alias;
    zanName_ = choice.zanName;
    protocol::PluginRef<k::ObjectList> list;
    if (FAILED(plugin::CreateKernelObject(list))) return;
    for (const std::wstring& baike : choice.tagBaikes) {
        protocol::PluginRef<k::String> text;
        if (plugin::RenewKernelString(text, baike.c_str())) protocol::ListAppend(list.Get(), text.Get());
    }
    tags_ = std::move(list);
}

LONG BEX_CALL CSoftReCmdData::GetTags(IBexPlugin** out) {
    return base::CallGuarded(L"CSoftReCmdData::GetTags", 0L, [&]() -> LONG {
        if (!out) return 0;
        *out = tags_.Get();
        if (*out) (*out)->AddRef();
        return 1;
    });
}

// ---- the manager ----

CSoftReCommend::CSoftReCommend() noexcept { ::InitializeCriticalSection(&lock_); }

CSoftReCommend* CSoftReCommend::FromPlugin(IBexPlugin* object) noexcept {
    return LiveObjects<CSoftReCommend>::Find(object);
}

LONG CSoftReCommend::Terminations() { return g_terminations; }

void CSoftReCommend::DestroySelf() noexcept {
    if (!worker_ || workerId_ != ::GetCurrentThreadId()) {
        delete this;
        return;
    }
    destroyBy_ = workerId_;
    ::SetEvent(stop_.Get());
}

CSoftReCommend::~CSoftReCommend() {
    live_.Leave();
    SaveUpdateTime();
    // The worker that deletes the object as it ends is not waited for: it
    // touches nothing of it after that.
    if (worker_ && workerId_ != ::GetCurrentThreadId()) {
        ::SetEvent(stop_.Get());
        const bool forced =
            EndStoppedThread(worker_.Get(), workerId_, kStopWaitMs, static_cast<DWORD>(-1),
                             [this](DWORD threadId) { return HeldBy(lock_, threadId); }, L"the CSoftReCommend worker");
        if (forced) ::InterlockedIncrement(&g_terminations);
    }
    worker_.Reset();
    stop_.Reset();
    // The request a terminated worker held never got its answer.
    protocol::PluginRef<IBexAsyncResult> inFlight;
    {
        Locked lock(lock_);
        inFlight = std::move(inFlight_);
    }
    if (inFlight) inFlight->Complete(kStatusFailed, nullptr);
    ClearRequests();
    numbered_.Reset();
    options_.Reset();
    ::DeleteCriticalSection(&lock_);
}

LONG BEX_CALL CSoftReCommend::Start() {
    return base::CallGuarded(L"CSoftReCommend::Start", 0L, [&]() -> LONG {
        // Ours alone until Finish; the kernel is asked with no lock held.
        StartStopGate::Transition turn = gate_.Begin(true);
        if (turn.Result() != StartStopGate::Outcome::kYours)
            return turn.Result() == StartStopGate::Outcome::kAlreadyThere ? 1 : 0;
        plugin::CreateKernelObject(numbered_);
        plugin::CreateKernelObject(options_);
        stop_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!stop_) {
            base::LogFailedCall(L"recommendations: not started", L"CreateEventW");
            return 0;
        }
        // Its id is known before it runs, so that it knows itself as ours.
        worker_.Reset(::CreateThread(nullptr, 0, &ReCommendThread, this, CREATE_SUSPENDED, &workerId_));
        if (!worker_) {
            base::LogFailedCall(L"recommendations: not started", L"CreateThread");
            return 0;
        }
        ::ResumeThread(worker_.Get());
        turn.Finish(true);
        return 1;
    });
}

LONG BEX_CALL CSoftReCommend::GetCount() noexcept { return classCount_; }

LONG BEX_CALL CSoftReCommend::Request(IBexPlugin* owned, IBexPlugin* excluded, void*, IBexAsyncResult* result) {
    return base::CallGuarded(L"CSoftReCommend::Request", 0L,
                             [&] { return Queue(kSingle, false, false, owned, excluded, result); });
}

LONG BEX_CALL CSoftReCommend::RequestOnce(IBexPlugin* owned, IBexPlugin* excluded, void*, IBexAsyncResult* result) {
    return base::CallGuarded(L"CSoftReCommend::RequestOnce", 0L,
                             [&] { return Queue(kSingle, true, false, owned, excluded, result); });
}

LONG CSoftReCommend::Queue(int kind, bool once, bool front, IBexPlugin* owned, IBexPlugin* excluded,
                           IBexAsyncResult* result) {
    if (!result) return 0;
    ReCmdRequest request;
    request.kind = kind;
    request.once = once;
    // The interface says what a client hands in: class-7 buffers.
    request.owned = NewIdBuffer(ReadIds(k::As<k::ByteBuffer>(owned)));
    request.excluded = NewIdBuffer(ReadIds(k::As<k::ByteBuffer>(excluded)));
    if (!request.owned || !request.excluded) return 0;
    request.result = protocol::PluginRef<IBexAsyncResult>::AddRefed(result);
    Locked lock(lock_);
    if (front) {
        queue_.push_front(std::move(request));
    } else {
        queue_.push_back(std::move(request));
    }
    return 1;
}

void CSoftReCommend::ClearRequests() {
    std::deque<ReCmdRequest> dropped;
    {
        Locked lock(lock_);
        dropped.swap(queue_);
    }
    // A client waits on its result: it learns here, outside the lock, that
    // no answer will come.
    for (ReCmdRequest& request : dropped) request.result->Complete(kStatusFailed, nullptr);
}

DWORD WINAPI CSoftReCommend::ReCommendThread(void* self) {
    return base::CallGuarded(L"CSoftReCommend worker", DWORD{0}, [self] {
        auto* manager = static_cast<CSoftReCommend*>(self);
        manager->WorkerLoop();
        // Written by this very thread, in DestroySelf.
        if (manager->destroyBy_ == ::GetCurrentThreadId()) delete manager;
        return DWORD{0};
    });
}

void CSoftReCommend::WorkerLoop() {
    const base::ComScope com;
    LoadReCommendData();
    if (!loaded_) {
        loaded_ = true;
        LoadCounts();
        AgeCounts();
    }
    while (::WaitForSingleObject(stop_.Get(), kWaitMs) == WAIT_TIMEOUT) {
        ReCmdRequest request;
        IBexAsyncResult* result = nullptr;
        {
            Locked lock(lock_);
            if (queue_.empty()) continue;
            request = std::move(queue_.front());
            queue_.pop_front();
            // Its one reference moves: nothing is called under the lock.
            inFlight_ = std::move(request.result);
            result = inFlight_.Get();
        }
        // The client may let go of the object here (DestroySelf).
        if (request.kind == kList) {
            ServeList(request, result);
        } else {
            ServeSingle(request, result);
        }
        protocol::PluginRef<IBexAsyncResult> served;
        {
            Locked lock(lock_);
            served = std::move(inFlight_);
        }
    }
}

void CSoftReCommend::LoadReCommendData() {
    protocol::PluginRef<k::Environment> environment;
    if (FAILED(plugin::CreateKernelObject(environment))) return;
    const auto folder = protocol::ManagerFolder(environment.Get());
    if (!folder) return;
    const std::wstring old = *folder + L"SoftReCmd.dat";
    if (::PathFileExistsW(old.c_str()) && !::DeleteFileW(old.c_str()))
        base::LogFailedCall((L"recommendations " + old).c_str(), L"DeleteFileW");

    protocol::PluginRef<k::FileReader> reader;
    protocol::PluginRef<k::String> text;
    if (FAILED(plugin::CreateKernelObject(reader))) return;
    const std::wstring path = *folder + L"SoftReCmdEx.dat";
    if (!protocol::Call(k::file_reader::kRead, reader.Get(), path.c_str(), text.Put()) || !text) return;
    const auto content = protocol::StringText(text.Get());
    if (!content) return;
    std::vector<ReCmdClass> classes;
    std::map<uint32_t, std::wstring> zanNames;
    if (!ReadReCommendData(*content, classes, zanNames)) return;
    selector_.Classes() = std::move(classes);
    selector_.ZanNames() = std::move(zanNames);
    ::InterlockedExchange(&classCount_, static_cast<LONG>(selector_.Classes().size()));
}

std::vector<uint32_t> CSoftReCommend::StoredIds(int type, uint32_t key) {
    if (!numbered_) return {};
    protocol::PluginRef<k::ByteBuffer> buffer;
    if (FAILED(plugin::CreateKernelObject(buffer))) return {};
    const auto bytes = protocol::NumberedGet(numbered_.Get(), type, key, buffer.Get());
    return bytes ? ReadIds(*bytes) : std::vector<uint32_t>();
}

void CSoftReCommend::LoadCounts() {
    if (!numbered_) return;
    for (uint32_t id : StoredIds(kNumberedRecommendCounts, 0)) {
        protocol::PluginRef<k::ByteBuffer> buffer;
        if (FAILED(plugin::CreateKernelObject(buffer))) return;
        const auto bytes = protocol::NumberedGet(numbered_.Get(), kNumberedRecommendCounts, id, buffer.Get());
        uint32_t count = 0;
        if (!bytes || bytes->size != sizeof(count)) continue;  // a count is exactly one word
        std::memcpy(&count, bytes->data, sizeof(count));
        counts_[id] = count;
    }
}

void CSoftReCommend::AgeCounts() {
    if (!numbered_ || !options_) return;
    const auto saved = protocol::OptionText(options_.Get(), kUpdateTimeOption);
    int64_t then = 0;
    if (!saved || !ParseTime(*saved, then)) return;
    const int64_t now = _time64(nullptr);
    if (now - then <= kAgeSeconds) return;
    const size_t before = counts_.size();
    size_t refused = 0;
    for (uint32_t id : StoredIds(kNumberedRecommendedIds, 0)) {
        const uint32_t count = ++counts_[id];
        if (!protocol::NumberedSet(numbered_.Get(), kNumberedRecommendCounts, id, &count, sizeof(count))) ++refused;
    }
    if (counts_.size() != before) {
        std::vector<uint32_t> ids;
        for (const auto& entry : counts_) ids.push_back(entry.first);
        if (!protocol::NumberedSet(numbered_.Get(), kNumberedRecommendCounts, 0, ids.data(),
                                   ids.size() * sizeof(uint32_t)))
            ++refused;
    }
    if (refused)
        base::LogLine(L"recommendations", L"the kernel's store refused " + std::to_wstring(refused) + L" counts");
    protocol::NumberedClear(numbered_.Get(), kNumberedRecommendedIds);
}

LONG BEX_CALL CSoftReCommend::SaveUpdateTime() {
    return base::CallGuarded(L"CSoftReCommend::SaveUpdateTime", 1L, [&]() -> LONG {
        {
            Locked lock(lock_);
            if (recommended_.empty() || !numbered_ || !options_) return 1;
        }
        // The store is read with no lock held, then merged under it.
        const std::vector<uint32_t> stored = StoredIds(kNumberedRecommendedIds, 0);
        std::vector<uint32_t> ids;
        {
            Locked lock(lock_);
            recommended_.insert(stored.begin(), stored.end());
            ids.assign(recommended_.begin(), recommended_.end());
        }
        if (!protocol::NumberedSet(numbered_.Get(), kNumberedRecommendedIds, 0, ids.data(),
                                   ids.size() * sizeof(uint32_t)))
            base::LogLine(L"recommendations", L"the kernel's store refused what was recommended");
        wchar_t now[32] = {};
        std::swprintf(now, 32, L"%I64d", static_cast<long long>(_time64(nullptr)));
        if (!protocol::SetOptionText(options_.Get(), kUpdateTimeOption, now) || !protocol::SaveOptions(options_.Get()))
            base::LogLine(L"recommendations", L"the update time was not saved");
        return 1;
    });
}

protocol::PluginRef<CSoftReCmdData> CSoftReCommend::NewRecord() {
    protocol::PluginRef<> made = plugin::CreateByClassId(CSoftReCmdData::kClassId);
    CSoftReCmdData* const ours = CSoftReCmdData::FromPlugin(made.Get());
    // Its reference moves over; any other object is let go here.
    if (ours) made.Detach();
    return protocol::PluginRef<CSoftReCmdData>(ours);
}

void CSoftReCommend::ServeSingle(ReCmdRequest& request, IBexAsyncResult* result) {
    protocol::PluginRef<CSoftReCmdData> record = NewRecord();
    if (!record) {
        result->Complete(0, nullptr);
        return;
    }
    const std::vector<uint32_t> owned = ReadIds(request.owned.Get());
    const std::vector<uint32_t> excluded = ReadIds(request.excluded.Get());
    ReCmdChoice choice;
    const bool found = selector_.Select(IdSet(owned.begin(), owned.end()), IdSet(excluded.begin(), excluded.end()),
                                        request.once, counts_, choice);
    if (found) record->Fill(choice);
    result->Complete(found ? 1 : 0, record.Get());
    if (found) {
        Locked lock(lock_);
        recommended_.insert(choice.softId);
    }
}

void CSoftReCommend::ServeList(ReCmdRequest& request, IBexAsyncResult* result) {
    protocol::PluginRef<k::ObjectList> list;
    if (FAILED(plugin::CreateKernelObject(list))) {
        result->Complete(0, nullptr);
        return;
    }
    const std::vector<uint32_t> owned = ReadIds(request.owned.Get());
    const std::vector<uint32_t> excludedWords = ReadIds(request.excluded.Get());
    const IdSet ownedSet(owned.begin(), owned.end());
    IdSet excluded(excludedWords.begin(), excludedWords.end());
    for (;;) {
        protocol::PluginRef<CSoftReCmdData> record = NewRecord();
        if (!record) break;
        ReCmdChoice choice;
        if (!selector_.Select(ownedSet, excluded, request.once, counts_, choice)) break;
        record->Fill(choice);
        protocol::ListAppend(list.Get(), record.Get());
        excluded.insert(choice.softId);
        Locked lock(lock_);
        recommended_.insert(choice.softId);
    }
    result->Complete(protocol::ListCount(list.Get()), list.Get());
}

// ---- the wrappers ----

namespace {

ISoftReCommend* Inner(IBexPlugin* inner) { return static_cast<ISoftReCommend*>(inner); }

}  // namespace

// Every slot of the wrappers runs through the barrier and answers 0 without
// the inner object it needs: any manager for the forwarded slots, this
// library's own for the request kinds only it has.
#define WRAPPER_SLOT(Class, slot, params, call)                    \
    LONG BEX_CALL Class::slot params {                             \
        return base::CallGuarded(L"" #Class "::" #slot, 0L, [&] {  \
            ISoftReCommend* const inner = Inner(inner_.Get());     \
            return inner ? inner->call : 0;                        \
        });                                                        \
    }
#define OWN_WRAPPER_SLOT(Class, slot, params, body)                                 \
    LONG BEX_CALL Class::slot params {                                              \
        return base::CallGuarded(L"" #Class "::" #slot, 0L, [&]() -> LONG {         \
            CSoftReCommend* const ours = CSoftReCommend::FromPlugin(inner_.Get());  \
            if (!ours) return 0;                                                    \
            body                                                                    \
        });                                                                         \
    }
#define REQUEST_PARAMS (IBexPlugin* owned, IBexPlugin* excluded, void* unused, IBexAsyncResult* result)
#define OWN_REQUEST_PARAMS (IBexPlugin* owned, IBexPlugin* excluded, void*, IBexAsyncResult* result)

#define FORWARD_RECOMMEND_SLOTS(Class)                                                                   \
    WRAPPER_SLOT(Class, Start, (), Start())                                                              \
    WRAPPER_SLOT(Class, GetCount, (), GetCount())                                                        \
    WRAPPER_SLOT(Class, Request, REQUEST_PARAMS, Request(owned, excluded, unused, result))               \
    WRAPPER_SLOT(Class, RequestOnce, REQUEST_PARAMS, RequestOnce(owned, excluded, unused, result))       \
    WRAPPER_SLOT(Class, SaveUpdateTime, (), SaveUpdateTime())                                            \
    OWN_WRAPPER_SLOT(Class, RequestList, OWN_REQUEST_PARAMS,                                             \
                     { return ours->Queue(CSoftReCommend::kList, false, false, owned, excluded, result); })

FORWARD_RECOMMEND_SLOTS(CSoftReCommend2)
FORWARD_RECOMMEND_SLOTS(CSoftReCommend3)

OWN_WRAPPER_SLOT(CSoftReCommend3, RequestFirst, OWN_REQUEST_PARAMS,
                 { return ours->Queue(CSoftReCommend::kSingle, false, true, owned, excluded, result); })
OWN_WRAPPER_SLOT(CSoftReCommend3, ClearRequests, (), {
    ours->ClearRequests();
    return 1;
})
OWN_WRAPPER_SLOT(CSoftReCommend3, IsReady, (void*, void*, void*), { return 1; })

#undef FORWARD_RECOMMEND_SLOTS
#undef OWN_REQUEST_PARAMS
#undef REQUEST_PARAMS
#undef OWN_WRAPPER_SLOT
#undef WRAPPER_SLOT

}  // namespace catalog
