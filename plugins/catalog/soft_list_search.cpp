// The list manager's searches: keyword searches (with scores) and partner
// searches (paged, with a total), each remembered under its key with a
// search id, their records kept by soft id.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "base/exception_barrier.h"
#include "base/service_addresses.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/list_answers.h"
#include "plugins/catalog/locked.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = bex::kernel;

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
    if (text.empty() || text.size() > 10) return 0;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return 0;
    const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 10);
    return value > 0x7FFFFFFF ? 0 : static_cast<LONG>(value);
}

}  // namespace

// ---- the slots ----

LONG CSoftListMgr::AskSearch(SearchState& state, SoftListRequest&& request, int doneCode) {
    if (state.state == kUnasked) {
        state.searchId = nextSearchId_++;
        state.keyword = request.text;
        state.start = request.start;
    }
    const LPARAM lParam = SearchParam(state.searchId);
    const int source = request.arg1;
    if (state.state == kLoading) {
        NotifyListeners(2, source, lParam);
    } else if (state.state == kLoaded) {
        NotifyListeners(doneCode, source, lParam);
        NotifyListeners(3, source, lParam);
    } else {
        state.state = kLoading;
        queue_.push_back(std::move(request));
        NotifyListeners(2, source, lParam);
    }
    return state.searchId;
}

LONG BEX_CALL CSoftListMgr::Search(int source, const wchar_t* keyword) {
    return base::CallGuarded(L"CSoftListMgr::Search", 0L, [&]() -> LONG {
        if (!keyword || !*keyword) return 0;
        Locked lock(lock_);
        if (!started_) return 0;
        SoftListRequest request;
        request.kind = kSearchFetch;
        request.arg1 = source;
        request.text = UpperCase(keyword);
        SearchState& state = searches_[request.text];
        return AskSearch(state, std::move(request), 4);
    });
}

LONG BEX_CALL CSoftListMgr::SearchByCoop(int source, const wchar_t* keyword, int start, int count) {
    return base::CallGuarded(L"CSoftListMgr::SearchByCoop", 0L, [&]() -> LONG {
        if (!keyword || !*keyword || count == 0) return 0;
        Locked lock(lock_);
        if (!started_) return 0;
        SoftListRequest request;
        request.kind = kCoopFetch;
        request.arg1 = source;
        request.text = UpperCase(keyword);
        request.start = start;
        request.count = count;
        SearchState& state = coopSearches_[CoopKey(request.text, start)];
        return AskSearch(state, std::move(request), 10);
    });
}

BOOL CSoftListMgr::IdsOf(const SearchState* state, IBexPlugin** out) {
    // Only a loaded search has ids: a failed one may keep those of an
    // earlier answer whose records are gone.
    if (!state || state->state != kLoaded || state->ids.empty()) return FALSE;
    bex::PluginRef<> buffer = NewIdBuffer(state->ids);
    if (!buffer) return FALSE;
    *out = buffer.Detach();
    return TRUE;
}

BOOL BEX_CALL CSoftListMgr::GetSearchIds(const wchar_t* keyword, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchIds", BOOL{FALSE}, [&]() -> BOOL {
        if (!keyword || !*keyword || !out) return FALSE;
        Locked lock(lock_);
        if (!started_) return FALSE;
        const auto it = searches_.find(UpperCase(keyword));
        return IdsOf(it == searches_.end() ? nullptr : &it->second, out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetSearchIdsById(int searchId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchIdsById", BOOL{FALSE}, [&]() -> BOOL {
        if (!out || searchId == 0) return FALSE;
        Locked lock(lock_);
        if (!started_) return FALSE;
        const SearchState* state = WithSearchId(searches_, searchId);
        return state ? IdsOf(state, out) : FALSE;
    });
}

BOOL BEX_CALL CSoftListMgr::GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetCoopSearchIds", BOOL{FALSE}, [&]() -> BOOL {
        if (!keyword || !*keyword || !out) return FALSE;
        Locked lock(lock_);
        if (!started_) return FALSE;
        const auto it = coopSearches_.find(CoopKey(UpperCase(keyword), start));
        return IdsOf(it == coopSearches_.end() ? nullptr : &it->second, out);
    });
}

BOOL BEX_CALL CSoftListMgr::GetCoopSearchIdsById(int searchId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetCoopSearchIdsById", BOOL{FALSE}, [&]() -> BOOL {
        if (!out || searchId == 0) return FALSE;
        Locked lock(lock_);
        if (!started_) return FALSE;
        const SearchState* state = WithSearchId(coopSearches_, searchId);
        return state ? IdsOf(state, out) : FALSE;
    });
}

BOOL BEX_CALL CSoftListMgr::GetSearchItem(uint32_t softId, IBexPlugin** out) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchItem", BOOL{FALSE}, [&]() -> BOOL {
        if (!out) return FALSE;
        bex::PluginRef<CSoftListData> record;
        bex::PluginRef<> query;
        {
            Locked lock(lock_);
            if (!started_) return FALSE;
            const auto it = searchItems_.find(softId);
            if (it == searchItems_.end()) return FALSE;
            record = bex::PluginRef<CSoftListData>::AddRefed(it->second);
            query = bex::PluginRef<>::AddRefed(query_.Get());
        }
        return TellAndHandOut(std::move(record), std::move(query), softId, out);
    });
}

const wchar_t* BEX_CALL CSoftListMgr::GetSearchKeyword(int searchId) {
    const wchar_t* const none = nullptr;
    return base::CallGuarded(L"CSoftListMgr::GetSearchKeyword", none, [&]() -> const wchar_t* {
        Locked lock(lock_);
        if (!started_ || searchId == 0) return nullptr;
        const SearchState* state = WithSearchId(searches_, searchId);
        if (!state) state = WithSearchId(coopSearches_, searchId);
        return state ? state->keyword.c_str() : nullptr;
    });
}

LONG BEX_CALL CSoftListMgr::Reserved22(void*, void*, void*) noexcept { return 0; }

LONG BEX_CALL CSoftListMgr::GetSearchTotal(const wchar_t* keyword) {
    return base::CallGuarded(L"CSoftListMgr::GetSearchTotal", 0L, [&]() -> LONG {
        if (!keyword) return 0;
        Locked lock(lock_);
        const auto it = searchTotals_.find(UpperCase(keyword));
        return it == searchTotals_.end() ? 0 : it->second;
    });
}

void CSoftListMgr::ForgetSearchItems() {
    for (auto& [id, record] : searchItems_)
        if (record) record->Release();
    searchItems_.clear();
    // Their records are gone: the next search with the same key asks again,
    // under the same search id.
    for (auto& [key, state] : searches_)
        if (state.state != kUnasked) state.state = kFailed;
    for (auto& [key, state] : coopSearches_)
        if (state.state != kUnasked) state.state = kFailed;
}

// ---- the worker's handlers ----

CSoftListMgr::SearchState* CSoftListMgr::FindSearch(const SoftListRequest& request) {
    const bool coop = request.kind == kCoopFetch || request.kind == kCoopAnswer;
    if (coop) {
        const auto it = coopSearches_.find(CoopKey(request.text, request.start));
        return it == coopSearches_.end() ? nullptr : &it->second;
    }
    const auto it = searches_.find(request.text);
    return it == searches_.end() ? nullptr : &it->second;
}

void CSoftListMgr::SearchEnded(const SoftListRequest& request, bool loaded) {
    Locked lock(lock_);
    SearchState* state = FindSearch(request);
    if (!state) return;
    if (started_) state->state = loaded ? kLoaded : kFailed;
    const bool coop = request.kind == kCoopFetch || request.kind == kCoopAnswer;
    const LPARAM lParam = SearchParam(state->searchId);
    NotifyListeners(coop ? 10 : 4, request.arg1, lParam);
    NotifyListeners(3, request.arg1, lParam);
}

std::string CSoftListMgr::KeywordUrlText(const std::wstring& keyword) {
    bex::PluginRef<> keywordService;
    {
        Locked lock(lock_);
        keywordService = bex::PluginRef<>::AddRefed(keyword_.Get());
    }
    if (!keywordService) return std::string();
    bex::PluginRef<> encoded;
    if (!bex::Call(k::keyword::kMake, keywordService.Get(), keyword.c_str(), encoded.PutPlugin()) ||
        !encoded)
        return std::string();
    const char* text = bex::Call(k::keyword::kUrlText, encoded.Get());
    // Bounded: an address never holds more than its capacity.
    return text ? std::string(text, ::strnlen(text, kUrlCapacity)) : std::string();
}

void CSoftListMgr::SearchSoftList(SoftListRequest& request) {
    std::wstring keyword;
    std::wstring softIds;
    SplitKeyword(request.text, keyword, softIds);
    const std::string kw = KeywordUrlText(keyword);
    std::wstring url;
    if (!kw.empty()) {
        wchar_t query[kUrlCapacity];
        const std::wstring address = ServiceAddress(Service::InterfaceServer);
        const int n = std::swprintf(query, kUrlCapacity, L"%ls/index.php?c=Search&a=getSoftList&cver=v1&kw=%hs&soft_ids=%ls&%ls",
                                    address.c_str(), kw.c_str(), softIds.c_str(), queryTail_.c_str());
        if (n > 0 && static_cast<size_t>(n) < kUrlCapacity) url = query;
    }
    SoftListRequest answer;
    if (!url.empty()) answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started()) return SearchEnded(request, false);
    answer.kind = kSearchAnswer;
    answer.arg1 = request.arg1;
    answer.text = request.text;
    Queue(std::move(answer));
}

void CSoftListMgr::SearchSoftListByCoop(SoftListRequest& request) {
    std::wstring keyword;
    std::wstring softIds;
    SplitKeyword(request.text, keyword, softIds);
    const std::string kw = KeywordUrlText(keyword);
    std::wstring url;
    if (!kw.empty()) {
        wchar_t query[kUrlCapacity];
        const std::wstring address = ServiceAddress(Service::InterfaceServer);
        const int n = std::swprintf(query, kUrlCapacity,
                                    L"%ls/index.php?c=Search&a=getSoftListByCoop&cver=v1&start=%u&count=%u&kw=%hs&%ls",
                                    address.c_str(), static_cast<unsigned>(request.start),
                                    static_cast<unsigned>(request.count), kw.c_str(), queryTail_.c_str());
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
    Queue(std::move(answer));
}

// Polls the answer; when it is in, stores the total, the ids and the
// records and collects the short names. Pending: false with `outcome`
// Pending.
bool CSoftListMgr::ReadSoftListReply(SoftListRequest& request, PendingFetch::State& outcome,
                                     bex::PluginRef<>& names) {
    std::vector<AnswerSoft> softs;
    std::wstring total;
    outcome = PendingFetch::State::Failed;
    if (started_ && request.fetch.Started()) {
        outcome = request.fetch.Poll([this, &softs, &total](const BYTE* data, size_t size) {
            return ReadSoftAnswer(data, size, appIds_.get(), nullptr, softs, &total);
        }, kPollMs);
    }
    if (outcome != PendingFetch::State::Succeeded) return false;
    if (FAILED(plugin::CreateKernelObject(k::kObjectList, names))) return false;
    Locked lock(lock_);
    SearchState* state = FindSearch(request);
    if (!started_ || !state) return false;
    searchTotals_[state->keyword] = Total(total);
    state->ids.clear();
    ListContext context;
    context.systemText = systemText_;
    context.bitness = bitness_;
    for (const AnswerSoft& soft : softs) {
        if (soft.id == 0) continue;  // no id, and none left to give
        CSoftListData*& record = searchItems_[soft.id];
        if (!record) record = NewSoftListData();
        if (!record) {
            searchItems_.erase(soft.id);
            continue;
        }
        state->ids.push_back(soft.id);
        record->Data().softId = soft.id;
        FillSearchRecord(record->Data(), soft.fields, context);
        bex::PluginRef<> name;
        if (record->Data().bname[0] && plugin::RenewKernelString(name, record->Data().bname))
            bex::ListAppend(names.Get(), name.Get());
    }
    return !state->ids.empty();
}

void CSoftListMgr::ParseSearchXml(SoftListRequest& request) {
    PendingFetch::State outcome;
    bex::PluginRef<> names;
    const bool read = ReadSoftListReply(request, outcome, names);
    if (outcome == PendingFetch::State::Pending) return Queue(std::move(request));
    if (!read) return SearchEnded(request, false);
    SoftListRequest scores;
    scores.details = PendingCompletion::StartDetails(details_.Get(), names.Get(), kScoreKind);
    if (!scores.details.Started()) return SearchEnded(request, false);
    scores.kind = kSearchScores;
    scores.arg1 = request.arg1;
    scores.text = request.text;
    Queue(std::move(scores));
}

void CSoftListMgr::AttachSearchScores(SoftListRequest& request) {
    const LONG status = started_ ? request.details.Poll(kPollMs) : 0;
    if (status == -1) return Queue(std::move(request));
    if (status != 1) return SearchEnded(request, false);
    {
        Locked lock(lock_);
        SearchState* state = FindSearch(request);
        if (!started_ || !state) return SearchEnded(request, false);
        for (uint32_t id : state->ids) {
            const auto it = searchItems_.find(id);
            if (it != searchItems_.end()) AttachScores(it->second->Data());
        }
    }
    SearchEnded(request, true);
}

void CSoftListMgr::ParseCoopSearchXml(SoftListRequest& request) {
    PendingFetch::State outcome;
    bex::PluginRef<> names;
    const bool read = ReadSoftListReply(request, outcome, names);
    if (outcome == PendingFetch::State::Pending) return Queue(std::move(request));
    SearchEnded(request, read);
}

}  // namespace catalog
