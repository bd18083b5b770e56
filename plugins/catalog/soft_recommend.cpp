#include "plugins/catalog/soft_recommend.h"

#include <objbase.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>

#include "plugins/catalog/locked.h"
#include "plugins/common/kernel_binding.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = bex::kernel;

namespace {

constexpr DWORD kWaitMs = 20;
constexpr DWORD kStopWaitMs = 2000;
constexpr int kCountType = 20;        // key 0: the counted ids; key id: its count
constexpr int kRecommendedType = 21;  // key 0: ids recommended since the last save
constexpr int64_t kAgeSeconds = 86399;
const wchar_t kUpdateTimeOption[] = L"Mirrik\\UpdateTime";

volatile LONG g_terminations = 0;
void* volatile g_dataTable = nullptr;
void* volatile g_managerTable = nullptr;

void* TableOf(const void* object) { return *reinterpret_cast<void* const*>(object); }

std::vector<uint32_t> Words(IBexPlugin* buffer) {
    std::vector<uint32_t> words;
    if (!buffer) return words;
    const auto view = bex::BufferData(buffer);
    if (!view) return words;
    words.resize(view->size / 4);
    if (!words.empty()) std::memcpy(words.data(), view->data, words.size() * 4);
    return words;
}

// A new class-7 buffer holding `words`; null when the kernel gives none.
bex::PluginRef<> NewBuffer(const std::vector<uint32_t>& words) {
    bex::PluginRef<> buffer;
    if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return bex::PluginRef<>();
    if (!words.empty()) {
        BYTE* data = bex::BufferAllocate(buffer.Get(), static_cast<int>(words.size() * 4));
        if (!data) return bex::PluginRef<>();
        std::memcpy(data, words.data(), words.size() * 4);
    }
    return buffer;
}

bool ParseTime(const std::wstring& text, int64_t& time) {
    if (text.empty() || text.size() > 19) return false;
    size_t i = text[0] == L'-' ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t j = i; j < text.size(); ++j)
        if (text[j] < L'0' || text[j] > L'9') return false;
    time = std::wcstoll(text.c_str(), nullptr, 10);
    return true;
}

}  // namespace

// ---- the record ----

CSoftReCmdData::CSoftReCmdData() noexcept { ::InterlockedExchangePointer(&g_dataTable, TableOf(this)); }

CSoftReCmdData* CSoftReCmdData::FromPlugin(IBexPlugin* object) noexcept {
    return object && g_dataTable && TableOf(object) == g_dataTable ? static_cast<CSoftReCmdData*>(object) : nullptr;
}

void CSoftReCmdData::Fill(const ReCmdChoice& choice) {
    pickId_ = choice.pickId;
    softId_ = choice.softId;
    desp_ = choice.desp;
    classBaike_ = choice.classBaike;
    alias_ = choice.alias;
    zanName_ = choice.zanName;
    bex::PluginRef<> list;
    if (FAILED(plugin::CreateKernelObject(k::kObjectList, list))) return;
    for (const std::wstring& baike : choice.tagBaikes) {
        bex::PluginRef<> text;
        if (plugin::RenewKernelString(text, baike.c_str())) bex::ListAppend(list.Get(), text.Get());
    }
    tags_ = std::move(list);
}

LONG BEX_CALL CSoftReCmdData::GetTags(IBexPlugin** out) {
    if (!out) return 0;
    *out = tags_.Get();
    if (*out) (*out)->AddRef();
    return 1;
}

// ---- the manager ----

CSoftReCommend::CSoftReCommend() noexcept {
    ::InitializeCriticalSection(&lock_);
    ::InterlockedExchangePointer(&g_managerTable, TableOf(this));
}

CSoftReCommend* CSoftReCommend::FromPlugin(IBexPlugin* object) noexcept {
    return object && g_managerTable && TableOf(object) == g_managerTable ? static_cast<CSoftReCommend*>(object)
                                                                         : nullptr;
}

LONG CSoftReCommend::Terminations() { return g_terminations; }

CSoftReCommend::~CSoftReCommend() {
    SaveUpdateTime();
    if (worker_) {
        ::SetEvent(stop_.Get());
        if (::WaitForSingleObject(worker_.Get(), kStopWaitMs) == WAIT_TIMEOUT) {
            ::TerminateThread(worker_.Get(), static_cast<DWORD>(-1));
            ::InterlockedIncrement(&g_terminations);
        }
    }
    worker_.Reset();
    stop_.Reset();
    queue_.clear();
    numbered_.Reset();
    options_.Reset();
    ::DeleteCriticalSection(&lock_);
}

LONG BEX_CALL CSoftReCommend::Start() {
    try {
        Locked lock(lock_);
        if (started_) return 1;
        plugin::CreateKernelObject(k::kNumberedStore, numbered_);
        plugin::CreateKernelObject(k::kOptions, options_);
        stop_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!stop_) return 0;
        worker_.Reset(::CreateThread(nullptr, 0, &ReCommendThread, this, 0, nullptr));
        if (!worker_) return 0;
        started_ = true;
        return 1;
    } catch (...) {
        return 0;
    }
}

LONG BEX_CALL CSoftReCommend::GetCount() { return classCount_; }

LONG BEX_CALL CSoftReCommend::Request(IBexPlugin* owned, IBexPlugin* excluded, void*, IBexAsyncResult* result) {
    return Queue(kSingle, false, false, owned, excluded, result);
}

LONG BEX_CALL CSoftReCommend::RequestOnce(IBexPlugin* owned, IBexPlugin* excluded, void*, IBexAsyncResult* result) {
    return Queue(kSingle, true, false, owned, excluded, result);
}

LONG CSoftReCommend::Queue(int kind, bool once, bool front, IBexPlugin* owned, IBexPlugin* excluded,
                           IBexAsyncResult* result) {
    try {
        if (!result) return 0;
        ReCmdRequest request;
        request.kind = kind;
        request.once = once;
        request.owned = NewBuffer(Words(owned));
        request.excluded = NewBuffer(Words(excluded));
        if (!request.owned || !request.excluded) return 0;
        request.result = bex::PluginRef<IBexAsyncResult>::AddRefed(result);
        Locked lock(lock_);
        if (front) {
            queue_.push_front(std::move(request));
        } else {
            queue_.push_back(std::move(request));
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

void CSoftReCommend::ClearRequests() {
    std::deque<ReCmdRequest> dropped;
    {
        Locked lock(lock_);
        dropped.swap(queue_);
    }
    // Each dropped request lets go of its result and both buffers here.
}

DWORD WINAPI CSoftReCommend::ReCommendThread(void* self) {
    try {
        static_cast<CSoftReCommend*>(self)->WorkerLoop();
    } catch (...) {
    }
    return 0;
}

void CSoftReCommend::WorkerLoop() {
    const HRESULT com = ::CoInitialize(nullptr);
    LoadReCommendData();
    if (!loaded_) {
        loaded_ = true;
        LoadCounts();
        AgeCounts();
    }
    while (::WaitForSingleObject(stop_.Get(), kWaitMs) == WAIT_TIMEOUT) {
        ReCmdRequest request;
        {
            Locked lock(lock_);
            if (queue_.empty()) continue;
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        if (request.kind == kList) {
            ServeList(request);
        } else {
            ServeSingle(request);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
}

void CSoftReCommend::LoadReCommendData() {
    bex::PluginRef<> environment;
    bex::PluginRef<> folderText;
    if (FAILED(plugin::CreateKernelObject(k::kEnvironment, environment))) return;
    if (!bex::Call(k::environment::kManagerFolder, environment.Get(), folderText.PutPlugin()) ||
        !folderText)
        return;
    const auto folder = bex::StringText(folderText.Get());
    if (!folder) return;
    const std::wstring old = *folder + L"SoftReCmd.dat";
    if (::PathFileExistsW(old.c_str())) ::DeleteFileW(old.c_str());

    bex::PluginRef<> reader;
    bex::PluginRef<> text;
    if (FAILED(plugin::CreateKernelObject(k::kFileReader, reader))) return;
    const std::wstring path = *folder + L"SoftReCmdEx.dat";
    if (!bex::Call(k::file_reader::kRead, reader.Get(), path.c_str(), text.PutPlugin()) || !text) return;
    const auto content = bex::StringText(text.Get());
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
    bex::PluginRef<> buffer;
    if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return {};
    if (bex::Call(k::numbered_store::kGet, numbered_.Get(), type, key, buffer.Get(), 0) < 0) return {};
    return Words(buffer.Get());
}

void CSoftReCommend::LoadCounts() {
    if (!numbered_) return;
    for (uint32_t id : StoredIds(kCountType, 0)) {
        bex::PluginRef<> buffer;
        if (FAILED(plugin::CreateKernelObject(k::kByteBuffer, buffer))) return;
        if (bex::Call(k::numbered_store::kGet, numbered_.Get(), kCountType, id, buffer.Get(), 0) < 0)
            continue;
        const auto view = bex::BufferData(buffer.Get());
        if (!view || view->size != 4) continue;  // a count is exactly one word
        uint32_t count = 0;
        std::memcpy(&count, view->data, 4);
        counts_[id] = count;
    }
}

void CSoftReCommend::AgeCounts() {
    if (!numbered_ || !options_) return;
    bex::PluginRef<> text;
    if (!bex::Call(k::options::kGetText, options_.Get(), kUpdateTimeOption, text.PutPlugin()) || !text)
        return;
    const auto saved = bex::StringText(text.Get());
    int64_t then = 0;
    if (!saved || !ParseTime(*saved, then)) return;
    const int64_t now = _time64(nullptr);
    if (now - then <= kAgeSeconds) return;
    const size_t before = counts_.size();
    for (uint32_t id : StoredIds(kRecommendedType, 0)) {
        const uint32_t count = ++counts_[id];
        bex::Call(k::numbered_store::kSet, numbered_.Get(), kCountType, id, &count, 4, 0, 0);
    }
    if (counts_.size() != before) {
        std::vector<uint32_t> ids;
        for (const auto& entry : counts_) ids.push_back(entry.first);
        bex::Call(k::numbered_store::kSet, numbered_.Get(), kCountType, 0u,
                              static_cast<const void*>(ids.data()), static_cast<int>(ids.size() * 4), 0, 0);
    }
    bex::Call(k::numbered_store::kClear, numbered_.Get(), kRecommendedType);
}

LONG BEX_CALL CSoftReCommend::SaveUpdateTime() {
    try {
        std::vector<uint32_t> ids;
        {
            Locked lock(lock_);
            if (recommended_.empty() || !numbered_ || !options_) return 1;
            for (uint32_t id : StoredIds(kRecommendedType, 0)) recommended_.insert(id);
            ids.assign(recommended_.begin(), recommended_.end());
        }
        bex::Call(k::numbered_store::kSet, numbered_.Get(), kRecommendedType, 0u,
                              static_cast<const void*>(ids.data()), static_cast<int>(ids.size() * 4), 0, 0);
        wchar_t now[32] = {};
        std::swprintf(now, 32, L"%I64d", static_cast<long long>(_time64(nullptr)));
        bex::Call(k::options::kSetText, options_.Get(), kUpdateTimeOption, static_cast<const wchar_t*>(now));
        bex::Call(k::options::kSave, options_.Get());
        return 1;
    } catch (...) {
        return 1;
    }
}

bex::PluginRef<> CSoftReCommend::NewRecord() {
    IBexPlugin* object = nullptr;
    if (plugin::CallHost(static_cast<int>(CSoftReCmdData::kClassId), &object) < 0 || !object)
        return bex::PluginRef<>();
    bex::PluginRef<> record(object);
    return CSoftReCmdData::FromPlugin(record.Get()) ? std::move(record) : bex::PluginRef<>();
}

void CSoftReCommend::ServeSingle(ReCmdRequest& request) {
    bex::PluginRef<> record = NewRecord();
    if (!record) {
        request.result->Complete(0, nullptr);
        return;
    }
    const std::vector<uint32_t> owned = Words(request.owned.Get());
    const std::vector<uint32_t> excluded = Words(request.excluded.Get());
    ReCmdChoice choice;
    const bool found = selector_.Select(IdSet(owned.begin(), owned.end()), IdSet(excluded.begin(), excluded.end()),
                                        request.once, counts_, choice);
    if (found) CSoftReCmdData::FromPlugin(record.Get())->Fill(choice);
    request.result->Complete(found ? 1 : 0, record.Get());
    if (found) {
        Locked lock(lock_);
        recommended_.insert(choice.softId);
    }
}

void CSoftReCommend::ServeList(ReCmdRequest& request) {
    bex::PluginRef<> list;
    if (FAILED(plugin::CreateKernelObject(k::kObjectList, list))) {
        request.result->Complete(0, nullptr);
        return;
    }
    const std::vector<uint32_t> owned = Words(request.owned.Get());
    const std::vector<uint32_t> excludedWords = Words(request.excluded.Get());
    const IdSet ownedSet(owned.begin(), owned.end());
    IdSet excluded(excludedWords.begin(), excludedWords.end());
    for (;;) {
        bex::PluginRef<> record = NewRecord();
        if (!record) break;
        ReCmdChoice choice;
        if (!selector_.Select(ownedSet, excluded, request.once, counts_, choice)) break;
        CSoftReCmdData::FromPlugin(record.Get())->Fill(choice);
        bex::ListAppend(list.Get(), record.Get());
        excluded.insert(choice.softId);
        Locked lock(lock_);
        recommended_.insert(choice.softId);
    }
    request.result->Complete(bex::ListCount(list.Get()), list.Get());
}

// ---- the wrappers ----

namespace {

ISoftReCommend* Inner(IBexPlugin* inner) { return static_cast<ISoftReCommend*>(inner); }

}  // namespace

#define FORWARD_RECOMMEND_SLOTS(Class)                                                                          \
    LONG BEX_CALL Class::Start() { return inner_.Get() ? Inner(inner_.Get())->Start() : 0; }                  \
    LONG BEX_CALL Class::GetCount() { return inner_.Get() ? Inner(inner_.Get())->GetCount() : 0; }            \
    LONG BEX_CALL Class::Request(IBexPlugin* o, IBexPlugin* e, void* u, IBexAsyncResult* r) {                 \
        return inner_.Get() ? Inner(inner_.Get())->Request(o, e, u, r) : 0;                                    \
    }                                                                                                          \
    LONG BEX_CALL Class::RequestOnce(IBexPlugin* o, IBexPlugin* e, void* u, IBexAsyncResult* r) {             \
        return inner_.Get() ? Inner(inner_.Get())->RequestOnce(o, e, u, r) : 0;                                \
    }                                                                                                          \
    LONG BEX_CALL Class::SaveUpdateTime() { return inner_.Get() ? Inner(inner_.Get())->SaveUpdateTime() : 0; } \
    LONG BEX_CALL Class::RequestList(IBexPlugin* o, IBexPlugin* e, void*, IBexAsyncResult* r) {               \
        CSoftReCommend* ours = CSoftReCommend::FromPlugin(inner_.Get());                                       \
        return ours ? ours->Queue(CSoftReCommend::kList, false, false, o, e, r) : 0;                          \
    }

FORWARD_RECOMMEND_SLOTS(CSoftReCommend2)
FORWARD_RECOMMEND_SLOTS(CSoftReCommend3)

#undef FORWARD_RECOMMEND_SLOTS

LONG BEX_CALL CSoftReCommend3::RequestFirst(IBexPlugin* owned, IBexPlugin* excluded, void*, IBexAsyncResult* result) {
    CSoftReCommend* ours = CSoftReCommend::FromPlugin(inner_.Get());
    return ours ? ours->Queue(CSoftReCommend::kSingle, false, true, owned, excluded, result) : 0;
}

LONG BEX_CALL CSoftReCommend3::ClearRequests() {
    CSoftReCommend* ours = CSoftReCommend::FromPlugin(inner_.Get());
    if (!ours) return 0;
    ours->ClearRequests();
    return 1;
}

LONG BEX_CALL CSoftReCommend3::IsReady(void*, void*, void*) {
    return CSoftReCommend::FromPlugin(inner_.Get()) ? 1 : 0;
}

}  // namespace catalog
