#include "plugins/catalog/soft_list_mgr.h"

#include <new>
#include <utility>

#include "base/exception_barrier.h"
#include "base/log.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/locked.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr DWORD kStopWaitMs = 2000;
constexpr int kCatalogKinds = 4;

LPARAM ListParam(int index, int page) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(index), static_cast<WORD>(page)));
}

// Second references, for a save made while the maps still answer the slots.
Catalogs Copy(const Catalogs& catalogs) {
    Catalogs copy;
    for (const auto& [kind, entries] : catalogs) {
        CatalogEntries& to = copy[kind];
        for (const CatalogEntry& entry : entries) to.push_back(CatalogEntry::AddRefed(entry.Get()));
    }
    return copy;
}

RecordSets Copy(const RecordSets& sets) {
    RecordSets copy;
    for (const auto& [key, set] : sets) {
        RecordSet& to = copy[key];
        for (const auto& [id, record] : set) to.emplace(id, RecordRef::AddRefed(record.Get()));
    }
    return copy;
}

}  // namespace

// ---- life ----

CSoftListMgr::CSoftListMgr() noexcept { appIds_.reset(new (std::nothrow) CBexStore()); }

CSoftListMgr::~CSoftListMgr() {
    live_.Leave();
    Stop();
    // The maps, the queue and the services go with their members, no lock held.
}

LONG CSoftListMgr::Terminations() { return SoftListWorker::Terminations(); }

CSoftListMgr* CSoftListMgr::FromPlugin(IBexPlugin* object) noexcept { return LiveObjects<CSoftListMgr>::Find(object); }

LONG BEX_CALL CSoftListMgr::AddRef() noexcept {
    const LONG now = ::InterlockedIncrement(&count_);
    // A client is back: the worker pauses between passes again.
    if (now == 1) worker_.SetIdle(false);
    return now;
}

void CSoftListMgr::OnLastClientGone() noexcept {
    worker_.SetIdle(true);
    // A client that came back meanwhile may have cleared it first.
    if (count_ > 0) worker_.SetIdle(false);
}

CSoftListMgr::Services CSoftListMgr::MakeServices() {
    auto made = std::make_shared<SoftListServices>();
    SoftListServices& s = *made;
    if (FAILED(plugin::CreateKernelObject(s.software)) ||
        !protocol::Call(k::software::kBegin, s.software.Get()))
        return nullptr;
    protocol::PluginRef<k::ValueStore> store;
    if (FAILED(plugin::CreateKernelObject(s.keyword)) ||
        FAILED(plugin::CreateKernelObject(s.details)) ||
        FAILED(plugin::CreateKernelObject(store)) ||
        FAILED(plugin::CreateKernelObject(s.fetch)) ||
        FAILED(plugin::CreateKernelObject(s.query)))
        return nullptr;
    protocol::PluginRef<k::Bitness> bitness;
    if (SUCCEEDED(plugin::CreateKernelObject(bitness)) &&
        protocol::Call(k::bitness::kIs64Bit, bitness.Get()))
        s.bitness = L"64";
    protocol::PluginRef<k::System> system;
    if (SUCCEEDED(plugin::CreateKernelObject(system)))
        protocol::Call(k::system_info::kDescribe, system.Get(), k::system_info::kDescribeKind,
                       s.systemNameObject.Put());
    s.systemText = protocol::TextOf(s.systemNameObject);
    protocol::PluginRef<k::Environment> environment;
    if (FAILED(plugin::CreateKernelObject(environment))) return nullptr;
    protocol::Call(k::environment::kQueryTail, environment.Get(), s.queryTailObject.Put());
    s.queryTail = protocol::TextOf(s.queryTailObject);
    s.cache = SoftListCache(std::move(store));
    return made;
}

CSoftListMgr::Services CSoftListMgr::CurrentServices() {
    return state_.With([](SoftListState& s) { return s.services; });
}

LONG BEX_CALL CSoftListMgr::Start() {
    return base::CallGuarded(L"CSoftListMgr::Start", 0L, [&]() -> LONG {
        // Ours alone until Finish: no other Start or Stop, and no lock held.
        StartStopGate::Transition turn = gate_.Begin(true);
        if (turn.Result() != StartStopGate::Outcome::kYours)
            return turn.Result() == StartStopGate::Outcome::kAlreadyThere ? 1 : 0;
        if (!worker_.Ready()) return 0;
        Services services = MakeServices();
        if (!services) return 0;
        Catalogs stored;
        for (int kind = 0; kind < kCatalogKinds; ++kind) stored[kind] = services->cache.LoadCatalog(kind);
        Services old;
        state_.With([&](SoftListState& s) {
            old = std::exchange(s.services, services);
            s.catalogs.swap(stored);
            ::InterlockedExchange(&started_, 1);
        });
        if (worker_.Start(&CSoftListMgr::HandleRequest, this)) {
            turn.Finish(true);
            return 1;
        }
        Catalogs loaded;
        state_.With([&](SoftListState& s) {
            ::InterlockedExchange(&started_, 0);
            loaded.swap(s.catalogs);
        });
        return 0;
    });
}

LONG BEX_CALL CSoftListMgr::Stop() {
    return base::CallGuarded(L"CSoftListMgr::Stop", 1L, [&]() -> LONG {
        // Asked on the worker (by what a handler called), which cannot wait
        // for itself: refused, the manager goes on running.
        if (worker_.OnOwnThread()) {
            base::LogLine(L"software list", L"CSoftListMgr::Stop on the manager's worker was refused");
            return 1;
        }
        // Stopped already, or asked from inside this thread's own Start.
        StartStopGate::Transition turn = gate_.Begin(false);
        if (turn.Result() != StartStopGate::Outcome::kYours) return 1;
        state_.With([&](SoftListState&) { ::InterlockedExchange(&started_, 0); });
        worker_.Stop(kStopWaitMs, state_);
        // The worker is gone. What it finished is saved while the maps still
        // answer the slots, and only then let go of: a slot never reads the
        // store before the save wrote it.
        Catalogs catalogs;
        Lists lists;
        RecordSets sets;
        const Services services = state_.With([&](SoftListState& s) {
            catalogs = Copy(s.catalogs);
            lists = s.lists;
            sets = Copy(s.recordSets);
            return s.services;
        });
        if (services) {
            base::CallGuarded(L"CSoftListMgr::SaveCache", false, [&] {
                services->cache.Save(catalogs, lists, sets);
                return true;
            });
        }
        // The copies go first (the maps still hold every record), then the
        // maps themselves, released after the lock.
        catalogs.clear();
        lists.clear();
        sets.clear();
        RecordSet searchItems;
        state_.With([&](SoftListState& s) {
            catalogs.swap(s.catalogs);
            lists.swap(s.lists);
            sets.swap(s.recordSets);
            searchItems.swap(s.searchItems);
            ForgetSearches(s);
            ++s.run;
        });
        return 1;
    });
}

// ---- listeners ----

LONG BEX_CALL CSoftListMgr::AddListener(HWND window, UINT message) {
    return base::CallGuarded(L"CSoftListMgr::AddListener", 1L, [&]() -> LONG {
        state_.With([&](SoftListState& s) { s.listeners[window] = message; });
        return 1;
    });
}

LONG BEX_CALL CSoftListMgr::RemoveListener(HWND window) {
    return base::CallGuarded(L"CSoftListMgr::RemoveListener", 1L, [&]() -> LONG {
        state_.With([&](SoftListState& s) { s.listeners.erase(window); });
        return 1;
    });
}

// ---- catalogues ----

LONG BEX_CALL CSoftListMgr::GetCatalogCount(int kind) {
    return base::CallGuarded(L"CSoftListMgr::GetCatalogCount", 0L, [&]() -> LONG {
        return state_.With([&](SoftListState& s) { return static_cast<LONG>(s.Entries(kind).size()); });
    });
}

LONG BEX_CALL CSoftListMgr::RequestCatalog(int kind) {
    return base::CallGuarded(L"CSoftListMgr::RequestCatalog", 0L, [&]() -> LONG {
        SoftListRequest request;
        request.kind = kCatalogFetch;
        request.arg1 = kind;
        worker_.Queue(std::move(request));
        return GetCatalogCount(kind);
    });
}

BOOL BEX_CALL CSoftListMgr::GetCatalog(int kind, int index, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetCatalog", BOOL{FALSE}, [&]() -> BOOL {
        if (!out || index < 0) return FALSE;
        CatalogEntry entry;
        Services services;
        state_.With([&](SoftListState& s) {
            const CatalogEntries& entries = s.Entries(kind);
            if (static_cast<size_t>(index) < entries.size())
                entry = CatalogEntry::AddRefed(entries[static_cast<size_t>(index)].Get());
            else
                services = s.services;
        });
        if (!entry && services) entry = services->cache.LoadCatalogEntry(kind, index);
        if (!entry) return FALSE;
        *out = entry.Detach();
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

std::optional<ListState> CSoftListMgr::FindList(const std::wstring& key) {
    std::optional<ListState> found;
    Services services;
    uint32_t run = 0;
    state_.With([&](SoftListState& s) {
        const auto it = s.lists.find(key);
        if (it != s.lists.end()) found = it->second;
        else services = s.services;
        run = s.run;
    });
    if (found || !services) return found;
    std::optional<ListState> stored = services->cache.LoadList(key);
    if (!stored) return stored;
    // Kept only while started and in the run it was read in (a Stop since
    // may have saved a newer state), and unless the page was asked or
    // answered meanwhile.
    return state_.With([&](SoftListState& s) -> std::optional<ListState> {
        if (!started_ || s.run != run) return stored;
        return s.lists.try_emplace(key, std::move(*stored)).first->second;
    });
}

BOOL BEX_CALL CSoftListMgr::GetListIds(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListIds", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        const std::optional<ListState> list = FindList(ListKey(kind, name ? name : L"", page));
        if (!list || list->ids.empty()) return FALSE;
        protocol::PluginRef<k::ByteBuffer> buffer = NewIdBuffer(list->ids);
        if (!buffer) return FALSE;
        *out = buffer.Detach();
        return TRUE;
    });
}

BOOL BEX_CALL CSoftListMgr::GetListIdsAt(int kind, int index, int page, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListIdsAt", BOOL{FALSE}, [&]() -> BOOL {
        const std::wstring name = state_.With([&](SoftListState& s) { return s.EntryName(kind, index); });
        return GetListIds(kind, name.c_str(), page, out);
    });
}

LONG BEX_CALL CSoftListMgr::RequestListByName(int kind, const wchar_t* name, int page) {
    return base::CallGuarded(L"CSoftListMgr::RequestListByName", 1L, [&]() -> LONG {
        const int index = state_.With([&](SoftListState& s) { return s.EntryIndex(kind, name ? name : L""); });
        if (index >= 0) RequestList(kind, index, page);
        return 1;
    });
}

LONG BEX_CALL CSoftListMgr::RequestList(int kind, int index, int page) {
    return base::CallGuarded(L"CSoftListMgr::RequestList", 1L, [&]() -> LONG {
        return state_.With([&](SoftListState& s) -> LONG {
            const CatalogEntries& entries = s.Entries(kind);
            if (index < 0 || static_cast<size_t>(index) >= entries.size()) return 1;
            const std::wstring name = entries[static_cast<size_t>(index)]->Data().name;
            ListState& state = s.lists[ListKey(kind, name, page)];
            if (state.state == kLoading || state.state == kLoaded) {
                s.Notify(state.state == kLoading ? 2 : 3, kind, ListParam(index, page));
                return 1;
            }
            s.Notify(2, kind, ListParam(index, page));
            state.state = kLoading;
            SoftListRequest request;
            request.kind = kListFetch;
            request.arg1 = kind;
            request.text = name;
            request.page = page;
            request.index = index;
            worker_.Queue(std::move(request));  // the queue's lock is a leaf
            return 0;
        });
    });
}

BOOL BEX_CALL CSoftListMgr::GetListItem(int kind, const wchar_t* name, uint32_t softId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListItem", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        const std::wstring setKey = RecordSetKey(kind, name ? name : L"");
        RecordRef record;
        Services services;
        uint32_t run = 0;
        const bool started = state_.With([&](SoftListState& s) {
            if (!started_) return false;
            services = s.services;
            run = s.run;
            const auto set = s.recordSets.find(setKey);
            if (set != s.recordSets.end()) {
                const auto it = set->second.find(softId);
                if (it != set->second.end()) record = RecordRef::AddRefed(it->second.Get());
            }
            return true;
        });
        if (!started || !services) return FALSE;
        if (!record) {
            RecordSet stored = services->cache.LoadRecords(setKey, {softId});
            if (stored.count(softId) == 0) return FALSE;
            // Kept, unless stopped meanwhile or the records held are at their
            // bound; one another caller kept first wins.
            record = state_.With([&](SoftListState& s) {
                const bool keep =
                    started_ && s.run == run && s.HeldRecords() < SoftListState::kMaxHeldRecords;
                return RecordRef::AddRefed(keep ? Adopt(s.recordSets[setKey], stored, softId) : stored[softId].Get());
            });
        }
        return TellAndHandOut(std::move(record), *services, softId, out);
    });
}

BOOL CSoftListMgr::TellAndHandOut(RecordRef record, const SoftListServices& services, uint32_t softId,
                                  IBexPlugin** out) {
    if (!record) return FALSE;
    k::SoftwareQuery* query = services.query.Get();
    if (query && protocol::Call(k::software_query::kReady, query, 0, 0)) {
        const tagSoftListData& r = record->Data();
        protocol::Call(k::software_query::kTell, query, softId, r.vname, r.durls, r.uurls, r.dname, r.args, r.hint2,
                  r.pname, r.os, r.ver, r.sizeText, r.shell, 0);
    }
    *out = record.Detach();
    return TRUE;
}

BOOL BEX_CALL CSoftListMgr::GetListItemAt(int kind, int index, uint32_t softId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListItemAt", BOOL{FALSE}, [&]() -> BOOL {
        const std::wstring name = state_.With([&](SoftListState& s) { return s.EntryName(kind, index); });
        if (name.empty()) return FALSE;
        return GetListItem(kind, name.c_str(), softId, out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetListTitle(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetListTitle", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        const std::optional<ListState> list = FindList(ListKey(kind, name ? name : L"", page));
        if (!list) return FALSE;
        protocol::PluginRef<k::String> text;
        *out = plugin::RenewKernelString(text, list->title.c_str()) ? text.Detach() : nullptr;
        return TRUE;
    });
}

HRESULT BEX_CALL CreateSoftListMgr(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListMgr>(out); }

}  // namespace catalog
