// The list manager's searches: keyword searches (with scores) and partner
// searches (paged, with a total), each remembered under its key with a
// search id, their records kept by soft id.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "base/exception_barrier.h"
#include "base/numbers.h"
#include "base/service_addresses.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/list_answers.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr DWORD kPollMs = 50;
constexpr size_t kUrlCapacity = 1024;  // with its terminator
constexpr wchar_t kSoftIdsMark[] = L"#$@*";
constexpr wchar_t kScoreKind[] = L"softlist";

// The search of a map (plain or by the partners) that was given `searchId`.
template <typename Map>
const typename Map::mapped_type* WithSearchId(const Map& searches, int searchId) {
    for (const auto& entry : searches)
        if (entry.second.searchId == searchId) return &entry.second;
    return nullptr;
}

// A buffer of the ids of a loaded search, made outside the lock. Only a
// loaded search has ids: a failed one may keep those of an earlier answer
// whose records are gone.
BOOL IdsOut(const std::vector<uint32_t>& ids, IBexPlugin** out) {
    if (ids.empty()) return FALSE;
    protocol::PluginRef<k::ByteBuffer> buffer = NewIdBuffer(ids);
    if (!buffer) return FALSE;
    *out = buffer.Detach();
    return TRUE;
}

std::vector<uint32_t> LoadedIds(const SearchState* state) {
    return state && state->state == kLoaded ? state->ids : std::vector<uint32_t>();
}

LPARAM SearchParam(LONG searchId) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(searchId), 0xFFFF));
}

// The keyword before the mark, and the soft ids after it. The ids go into
// the address as they stand, so only tokens of digits are kept; a token
// with anything else is dropped whole ("12,34&x=1" asks for 12 alone, not
// for a soft 341 the caller never named).
void SplitKeyword(const std::wstring& text, std::wstring& keyword, std::wstring& softIds) {
    keyword = text;
    softIds = L"0";
    const size_t mark = text.find(kSoftIdsMark);
    if (mark == std::wstring::npos) return;
    keyword = text.substr(0, mark);
    softIds.clear();
    size_t start = mark + 4;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(L',', start), text.size());
        const std::wstring token = text.substr(start, end - start);
        if (!token.empty() && token.find_first_not_of(L"0123456789") == std::wstring::npos)
            softIds += (softIds.empty() ? L"" : L",") + token;
        start = end + 1;
    }
}

// A decimal "total"; anything else counts 0.
LONG Total(const std::wstring& text) {
    uint64_t value = 0;
    if (text.size() > 10 || !base::ParseDigits(text, value) || value > INT32_MAX) return 0;
    return static_cast<LONG>(value);
}

}  // namespace

// ---- the slots ----

LONG CSoftListMgr::AskSearch(SoftListState& s, SearchState& state, SoftListRequest&& request, int doneCode) {
    if (state.state == kUnasked) {
        state.searchId = s.nextSearchId++;
        state.keyword = request.text;
        state.start = request.start;
    }
    const LPARAM lParam = SearchParam(state.searchId);
    const int source = request.arg1;
    if (state.state == kLoading) {
        s.Notify(2, source, lParam);
    } else if (state.state == kLoaded) {
        s.Notify(doneCode, source, lParam);
        s.Notify(3, source, lParam);
    } else {
        state.state = kLoading;
        worker_.Queue(std::move(request));  // the queue's lock is a leaf
        s.Notify(2, source, lParam);
    }
    return state.searchId;
}

LONG BEX_CALL CSoftListMgr::Search(int source, const wchar_t* keyword) {
    return base::CallGuarded(L"CSoftListMgr::Search", 0L, [&]() -> LONG {
        if (!keyword || !*keyword) return 0;
        SoftListRequest request;
        request.kind = kSearchFetch;
        request.arg1 = source;
        request.text = UpperCase(keyword);
        return state_.With([&](SoftListState& s) -> LONG {
            if (!started_) return 0;
            SearchState& state = s.searches[request.text];
            return AskSearch(s, state, std::move(request), 4);
        });
    });
}

LONG BEX_CALL CSoftListMgr::SearchByCoop(int source, const wchar_t* keyword, int start, int count) {
    return base::CallGuarded(L"CSoftListMgr::SearchByCoop", 0L, [&]() -> LONG {
        if (!keyword || !*keyword || count == 0) return 0;
        SoftListRequest request;
        request.kind = kCoopFetch;
        request.arg1 = source;
        request.text = UpperCase(keyword);
        request.start = start;
        request.count = count;
        return state_.With([&](SoftListState& s) -> LONG {
            if (!started_) return 0;
            SearchState& state = s.coopSearches[CoopKey(request.text, start)];
            return AskSearch(s, state, std::move(request), 10);
        });
    });
}

BOOL BEX_CALL CSoftListMgr::GetSearchIds(const wchar_t* keyword, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchIds", BOOL{FALSE}, [&]() -> BOOL {
        if (!keyword || !*keyword || !out) return FALSE;
        const std::wstring key = UpperCase(keyword);
        return IdsOut(state_.With([&](SoftListState& s) {
            const auto it = s.searches.find(key);
            return started_ && it != s.searches.end() ? LoadedIds(&it->second) : std::vector<uint32_t>();
        }), out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetSearchIdsById(int searchId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchIdsById", BOOL{FALSE}, [&]() -> BOOL {
        if (!out || searchId == 0) return FALSE;
        return IdsOut(state_.With([&](SoftListState& s) {
            return started_ ? LoadedIds(WithSearchId(s.searches, searchId)) : std::vector<uint32_t>();
        }), out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetCoopSearchIds", BOOL{FALSE}, [&]() -> BOOL {
        if (!keyword || !*keyword || !out) return FALSE;
        const CoopKey key(UpperCase(keyword), start);
        return IdsOut(state_.With([&](SoftListState& s) {
            const auto it = s.coopSearches.find(key);
            return started_ && it != s.coopSearches.end() ? LoadedIds(&it->second) : std::vector<uint32_t>();
        }), out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetCoopSearchIdsById(int searchId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetCoopSearchIdsById", BOOL{FALSE}, [&]() -> BOOL {
        if (!out || searchId == 0) return FALSE;
        return IdsOut(state_.With([&](SoftListState& s) {
            return started_ ? LoadedIds(WithSearchId(s.coopSearches, searchId)) : std::vector<uint32_t>();
        }), out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetSearchItem(uint32_t softId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchItem", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        RecordRef record;
        Services services;
        state_.With([&](SoftListState& s) {
            const auto it = s.searchItems.find(softId);
            if (!started_ || it == s.searchItems.end()) return;
            record = RecordRef::AddRefed(it->second.Get());
            services = s.services;
        });
        return services ? TellAndHandOut(std::move(record), *services, softId, out) : FALSE;
    });
}

const wchar_t* BEX_CALL CSoftListMgr::GetSearchKeyword(int searchId) {
    const wchar_t* const none = nullptr;
    return base::CallGuarded(L"CSoftListMgr::GetSearchKeyword", none, [&]() -> const wchar_t* {
        return state_.With([&](SoftListState& s) -> const wchar_t* {
            if (!started_ || searchId == 0) return nullptr;
            const SearchState* state = WithSearchId(s.searches, searchId);
            if (!state) state = WithSearchId(s.coopSearches, searchId);
            // Valid while the search lives: searches are never forgotten.
            return state ? state->keyword.c_str() : nullptr;
        });
    });
}

LONG BEX_CALL CSoftListMgr::Reserved22(void*, void*, void*) noexcept { return 0; }

LONG BEX_CALL CSoftListMgr::GetSearchTotal(const wchar_t* keyword) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchTotal", 0L, [&]() -> LONG {
        if (!keyword) return 0;
        const std::wstring key = UpperCase(keyword);
        return state_.With([&](SoftListState& s) {
            const auto it = s.searchTotals.find(key);
            return it == s.searchTotals.end() ? 0L : it->second;
        });
    });
}

void CSoftListMgr::ForgetSearches(SoftListState& s) {
    // Their records are gone: the next search with the same key asks again,
    // under the same search id.
    for (auto& [key, state] : s.searches)
        if (state.state != kUnasked) state.state = kFailed;
    for (auto& [key, state] : s.coopSearches)
        if (state.state != kUnasked) state.state = kFailed;
}

// ---- the worker's handlers ----

SearchState* CSoftListMgr::FindSearch(SoftListState& s, const SoftListRequest& request) {
    const bool coop = request.kind == kCoopFetch || request.kind == kCoopAnswer;
    if (coop) {
        const auto it = s.coopSearches.find(CoopKey(request.text, request.start));
        return it == s.coopSearches.end() ? nullptr : &it->second;
    }
    const auto it = s.searches.find(request.text);
    return it == s.searches.end() ? nullptr : &it->second;
}

void CSoftListMgr::SearchEnded(const SoftListRequest& request, bool loaded) {
    state_.With([&](SoftListState& s) {
        SearchState* state = FindSearch(s, request);
        if (!state) return;
        if (started_) state->state = loaded ? kLoaded : kFailed;
        const bool coop = request.kind == kCoopFetch || request.kind == kCoopAnswer;
        const LPARAM lParam = SearchParam(state->searchId);
        s.Notify(coop ? 10 : 4, request.arg1, lParam);
        s.Notify(3, request.arg1, lParam);
    });
}

std::string CSoftListMgr::KeywordUrlText(const std::wstring& keyword, const SoftListServices& services) {
    if (!services.keyword) return std::string();
    protocol::PluginRef<k::keyword::Encoded> encoded;
    if (!protocol::Call(k::keyword::kMake, services.keyword.Get(), keyword.c_str(), encoded.Put()) || !encoded)
        return std::string();
    const char* text = protocol::Call(k::keyword::kUrlText, encoded.Get());
    // Bounded: an address never holds more than its capacity.
    return text ? std::string(text, ::strnlen(text, kUrlCapacity)) : std::string();
}

void CSoftListMgr::SearchSoftList(SoftListRequest& request, const SoftListServices& services) {
    std::wstring keyword;
    std::wstring softIds;
    SplitKeyword(request.text, keyword, softIds);
    const std::string kw = KeywordUrlText(keyword, services);
    std::wstring url;
    if (!kw.empty()) {
        wchar_t query[kUrlCapacity];
        const std::wstring address = ServiceAddress(Service::InterfaceServer);
        const int n =
            std::swprintf(query, kUrlCapacity, L"%ls/index.php?c=Search&a=getSoftList&cver=v1&kw=%hs&soft_ids=%ls&%ls",
                          address.c_str(), kw.c_str(), softIds.c_str(), services.queryTail.c_str());
        if (n > 0 && static_cast<size_t>(n) < kUrlCapacity) url = query;
    }
    SoftListRequest answer;
    if (!url.empty()) answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started()) return SearchEnded(request, false);
    answer.kind = kSearchAnswer;
    answer.arg1 = request.arg1;
    answer.text = request.text;
    worker_.Queue(std::move(answer));
}

void CSoftListMgr::SearchSoftListByCoop(SoftListRequest& request, const SoftListServices& services) {
    std::wstring keyword;
    std::wstring softIds;
    SplitKeyword(request.text, keyword, softIds);
    const std::string kw = KeywordUrlText(keyword, services);
    std::wstring url;
    if (!kw.empty()) {
        wchar_t query[kUrlCapacity];
        const std::wstring address = ServiceAddress(Service::InterfaceServer);
        const int n = std::swprintf(query, kUrlCapacity,
                                    L"%ls/index.php?c=Search&a=getSoftListByCoop&cver=v1&start=%u&count=%u&kw=%hs&%ls",
                                    address.c_str(), static_cast<unsigned>(request.start),
                                    static_cast<unsigned>(request.count), kw.c_str(), services.queryTail.c_str());
        if (n > 0 && static_cast<size_t>(n) < kUrlCapacity) url = query;
    }
    SoftListRequest answer;
    if (!url.empty()) answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started()) return SearchEnded(request, false);
    answer.kind = kCoopAnswer;
    answer.arg1 = request.arg1;
    answer.text = request.text;
    answer.start = request.start;
    answer.count = request.count;
    worker_.Queue(std::move(answer));
}

// Polls the answer; when it is in, stores the total, the ids and the
// records and collects the short names. Pending: false with `outcome`
// Pending.
bool CSoftListMgr::ReadSoftListReply(SoftListRequest& request, const SoftListServices& services,
                                     PendingFetch::State& outcome, protocol::PluginRef<k::ObjectList>& names) {
    std::vector<AnswerSoft> softs;
    std::wstring total;
    outcome = PendingFetch::State::Failed;
    if (started_ && request.fetch.Started()) {
        const HANDLE stop = worker_.StopEvent();
        outcome = request.fetch.Poll([this, &softs, &total, stop](const BYTE* data, size_t size) {
            return ReadSoftAnswer(data, size, appIds_.get(), nullptr, softs, &total, stop);
        }, kPollMs);
    }
    if (outcome != PendingFetch::State::Succeeded) return false;
    if (FAILED(plugin::CreateKernelObject(names))) return false;
    std::set<uint32_t> missing;
    state_.With([&](SoftListState& s) {
        for (const AnswerSoft& soft : softs)
            if (soft.id != 0 && !s.searchItems.count(soft.id)) missing.insert(soft.id);
    });
    RecordSet made = NewRecords(missing, nullptr, std::wstring());
    ListContext context;
    context.systemText = services.systemText;
    context.bitness = services.bitness;
    std::vector<std::wstring> shortNames;
    std::vector<RecordRef> letGo;  // released after the lock
    const bool read = state_.With([&](SoftListState& s) {
        SearchState* state = FindSearch(s, request);
        if (!started_ || !state) return false;
        s.searchTotals[state->keyword] = Total(total);
        state->ids.clear();
        for (const AnswerSoft& soft : softs) {
            if (soft.id == 0) continue;  // no id, and none left to give
            CSoftListData* record = Adopt(s.searchItems, made, soft.id);
            if (!record) continue;
            state->ids.push_back(soft.id);
            record->Data().softId = soft.id;
            FillSearchRecord(record->Data(), soft.fields, context);
            if (record->Data().bname[0]) shortNames.emplace_back(record->Data().bname);
        }
        s.BoundSearchItems(*state, letGo);
        return !state->ids.empty();
    });
    for (const std::wstring& shortName : shortNames) {
        protocol::PluginRef<k::String> name;
        if (plugin::RenewKernelString(name, shortName.c_str())) protocol::ListAppend(names.Get(), name.Get());
    }
    return read;
}

void CSoftListMgr::ParseSearchXml(SoftListRequest& request, const SoftListServices& services) {
    PendingFetch::State outcome;
    protocol::PluginRef<k::ObjectList> names;
    const bool read = ReadSoftListReply(request, services, outcome, names);
    if (outcome == PendingFetch::State::Pending) return worker_.Queue(std::move(request));
    if (!read) return SearchEnded(request, false);
    SoftListRequest scores;
    scores.details = PendingCompletion::StartDetails(services.details.Get(), names.Get(), kScoreKind);
    if (!scores.details.Started()) return SearchEnded(request, false);
    scores.kind = kSearchScores;
    scores.arg1 = request.arg1;
    scores.text = request.text;
    worker_.Queue(std::move(scores));
}

void CSoftListMgr::AttachSearchScores(SoftListRequest& request, const SoftListServices& services) {
    const LONG status = started_ ? request.details.Poll(kPollMs) : 0;
    if (status == -1) return worker_.Queue(std::move(request));
    if (status != 1) return SearchEnded(request, false);
    std::vector<SoftScores> scores;
    state_.With([&](SoftListState& s) {
        const SearchState* state = FindSearch(s, request);
        for (uint32_t id : state ? state->ids : std::vector<uint32_t>()) {
            const auto it = s.searchItems.find(id);
            if (it != s.searchItems.end()) scores.emplace_back(id, it->second->Data().bname);
        }
    });
    LookUpScores(services.details.Get(), scores);
    const bool attached = state_.With([&](SoftListState& s) {
        const SearchState* state = FindSearch(s, request);
        if (!started_ || !state) return false;
        for (const SoftScores& score : scores) {
            const auto it = s.searchItems.find(score.id);
            if (it != s.searchItems.end()) ApplyScores(it->second->Data(), score);
        }
        // Another search's answer may have let go of this one's records.
        return s.SearchHeld(*state);
    });
    SearchEnded(request, attached);
}

void CSoftListMgr::ParseCoopSearchXml(SoftListRequest& request, const SoftListServices& services) {
    PendingFetch::State outcome;
    protocol::PluginRef<k::ObjectList> names;
    const bool read = ReadSoftListReply(request, services, outcome, names);
    if (outcome == PendingFetch::State::Pending) return worker_.Queue(std::move(request));
    SearchEnded(request, read);
}

}  // namespace catalog
