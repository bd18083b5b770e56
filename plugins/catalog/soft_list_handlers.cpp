// The list manager's worker: catalogue and list requests, their answers and
// scores. Each handler does its kernel work (fetches, records made, strings,
// the store, the details service) outside the state's lock and takes the
// lock only to read or change the maps and post events.
#include <utility>

#include "plugins/catalog/list_answers.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr DWORD kPollMs = 50;
constexpr int kCatalogKinds = 4;
constexpr wchar_t kScoreKind[] = L"softlist";

LPARAM ListParam(int index, int page) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(index), static_cast<WORD>(page)));
}

}  // namespace

void CSoftListMgr::HandleRequest(void* self, SoftListRequest& request) {
    auto* mgr = static_cast<CSoftListMgr*>(self);
    const Services services = mgr->CurrentServices();
    if (services) mgr->Handle(request, *services);
}

void CSoftListMgr::Handle(SoftListRequest& request, const SoftListServices& services) {
    switch (request.kind) {
    case kCatalogFetch:
        return ChooseCatalogUrl(request.arg1, services);
    case kListFetch:
        return FetchListPage(request, services);
    case kCatalogAnswer:
        return ParseCatalogXml(request);
    case kListAnswer:
        return ParseSoftListXml(request, services);
    case kListScores:
        return AttachListScores(request, services);
    case kSearchFetch:
        return SearchSoftList(request, services);
    case kSearchAnswer:
        return ParseSearchXml(request, services);
    case kSearchScores:
        return AttachSearchScores(request, services);
    case kCoopFetch:
        return SearchSoftListByCoop(request, services);
    case kCoopAnswer:
        return ParseCoopSearchXml(request, services);
    default:
        return;  // dropped
    }
}

// ---- records and scores ----

RecordSet CSoftListMgr::NewRecords(const std::set<uint32_t>& ids, const SoftListCache* cache,
                                   const std::wstring& setKey) {
    RecordSet made = cache && !ids.empty() ? cache->LoadRecords(setKey, ids) : RecordSet();
    for (uint32_t id : ids) {
        if (made.count(id)) continue;
        RecordRef record(NewSoftListData());
        if (!record) break;
        made.emplace(id, std::move(record));
    }
    return made;
}

CSoftListData* CSoftListMgr::Adopt(RecordSet& set, RecordSet& made, uint32_t id) {
    const auto it = set.find(id);
    if (it != set.end()) return it->second.Get();
    const auto from = made.find(id);
    if (from == made.end() || !from->second) return nullptr;
    return set.emplace(id, std::move(from->second)).first->second.Get();
}

void CSoftListMgr::LookUpScores(k::Details* details, std::vector<SoftScores>& scores) {
    for (SoftScores& s : scores) {
        if (s.shortName.empty()) continue;
        const protocol::PluginRef<k::details::Item> item = plugin::DetailsFind(details, s.shortName.c_str());
        if (!item) continue;
        s.found = true;
        const wchar_t* score = protocol::Call(k::details::kItemText1, item.Get());
        const wchar_t* comment = protocol::Call(k::details::kItemText2, item.Get());
        const wchar_t* votes = protocol::Call(k::details::kItemText3, item.Get());
        s.score = score ? score : L"";
        s.comment = comment ? comment : L"";
        s.votes = votes ? votes : L"";
    }
}

void CSoftListMgr::ApplyScores(tagSoftListData& r, const SoftScores& s) {
    if (!s.found) return;
    if (!s.score.empty()) {
        std::wstring display;
        ScoreFromText(s.score.c_str(), r.score, display);
        SetField(r.scoreText, display.c_str());
    }
    SetField(r.scoreComment, s.comment.c_str());
    SetField(r.pollnum, s.votes.c_str());
}

// ---- catalogues ----

void CSoftListMgr::ChooseCatalogUrl(int kind, const SoftListServices& services) {
    if (kind < 0 || kind >= kCatalogKinds) return;
    int number = 0;
    if (kind == 0) {
        protocol::PluginRef<k::Environment> environment;
        if (SUCCEEDED(plugin::CreateKernelObject(environment)))
            number = protocol::Call(k::environment::kNumber, environment.Get());
    }
    const std::wstring url = CatalogUrl(kind, number, ::GetTickCount(), services.queryTail);
    if (url.empty()) return;
    SoftListRequest answer;
    answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started()) return;
    answer.kind = kCatalogAnswer;
    answer.arg1 = kind;
    worker_.Queue(std::move(answer));
}

void CSoftListMgr::ParseCatalogXml(SoftListRequest& request) {
    const int kind = request.arg1;
    std::vector<AnswerSoft> softs;
    PendingFetch::State state = PendingFetch::State::Failed;
    if (started_ && request.fetch.Started()) {
        const HANDLE stop = worker_.StopEvent();
        state = request.fetch.Poll([&softs, stop](const BYTE* data, size_t size) {
            return ReadSoftAnswer(data, size, nullptr, nullptr, softs, nullptr, stop);
        }, kPollMs);
    }
    if (state == PendingFetch::State::Pending) return worker_.Queue(std::move(request));
    CatalogEntries fresh;
    if (state == PendingFetch::State::Succeeded) {
        for (const AnswerSoft& soft : softs) {
            CatalogEntry entry(NewSoftCatalogData());
            if (!entry) break;
            FillCatalogRecord(entry->Data(), soft.fields, kind);
            fresh.push_back(std::move(entry));
        }
    }
    CatalogEntries old;  // released after the lock, with what was not taken
    state_.With([&](SoftListState& s) {
        if (state == PendingFetch::State::Succeeded && started_) {
            old.swap(s.Entries(kind));
            s.Entries(kind).swap(fresh);
        }
        s.Notify(0, kind, 0);
    });
}

// ---- lists ----

void CSoftListMgr::ListFailed(int kind, const std::wstring& name, int index, int page) {
    state_.With([&](SoftListState& s) {
        if (started_) s.lists[ListKey(kind, name, page)].state = kFailed;
        s.Notify(1, kind, ListParam(index, page));
        s.Notify(3, kind, ListParam(index, page));
    });
}

void CSoftListMgr::FetchListPage(SoftListRequest& request, const SoftListServices& services) {
    const std::wstring url = state_.With([&](SoftListState& s) {
        const CSoftCatalogData* entry = s.FindEntry(request.arg1, request.text);
        if (!entry || request.text.empty()) return std::wstring();
        const std::wstring start = ListStart(request.page, entry->Data().pageSize);
        return start.empty() ? start : FillListUrl(entry->Data().urlFormat, start, services.queryTail);
    });
    SoftListRequest answer;
    if (!url.empty()) answer.fetch = PendingFetch::Start(url.c_str());
    if (!answer.fetch.Started()) return ListFailed(request.arg1, request.text, request.index, request.page);
    answer.kind = kListAnswer;
    answer.arg1 = request.arg1;
    answer.text = request.text;
    answer.index = request.index;
    answer.page = request.page;
    worker_.Queue(std::move(answer));
}

void CSoftListMgr::ParseSoftListXml(SoftListRequest& request, const SoftListServices& services) {
    const int kind = request.arg1;
    const std::wstring key = ListKey(kind, request.text, request.page);
    std::vector<AnswerSoft> softs;
    std::wstring title;
    PendingFetch::State state = PendingFetch::State::Failed;
    if (started_ && request.fetch.Started()) {
        const HANDLE stop = worker_.StopEvent();
        state = request.fetch.Poll([&softs, &title, stop](const BYTE* data, size_t size) {
            return ReadSoftAnswer(data, size, nullptr, &title, softs, nullptr, stop);
        }, kPollMs);
    }
    if (state == PendingFetch::State::Pending) return worker_.Queue(std::move(request));
    protocol::PluginRef<k::ObjectList> names;
    if (state != PendingFetch::State::Succeeded || FAILED(plugin::CreateKernelObject(names)))
        return ListFailed(kind, request.text, request.index, request.page);

    // The records memory lacks come from the stored set, read once for the
    // whole answer, or are made new.
    const std::wstring setKey = RecordSetKey(kind, request.text);
    std::set<uint32_t> missing;
    state_.With([&](SoftListState& s) {
        const RecordSet& set = s.recordSets[setKey];
        for (const AnswerSoft& soft : softs)
            if (soft.id != 0 && !set.count(soft.id)) missing.insert(soft.id);
    });
    RecordSet made = NewRecords(missing, &services.cache, setKey);
    ListContext context;
    context.scoreRanked = IsScoreRanked(request.text);
    context.systemText = services.systemText;
    context.bitness = services.bitness;
    std::vector<std::wstring> shortNames;
    std::vector<RecordRef> letGo;  // released after the lock
    const bool stored = state_.With([&](SoftListState& s) {
        if (!started_) return false;
        ListState& list = s.lists[key];
        if (!title.empty()) list.title = title;
        list.ids.clear();
        list.setKey = setKey;
        RecordSet& set = s.recordSets[setKey];
        for (const AnswerSoft& soft : softs) {
            if (soft.id == 0) continue;
            list.ids.push_back(soft.id);
            CSoftListData* record = Adopt(set, made, soft.id);
            if (!record) continue;
            record->Data().softId = soft.id;
            FillListRecord(record->Data(), soft.fields, context);
            shortNames.emplace_back(record->Data().bname);
        }
        s.BoundRecords(key, letGo);
        return true;
    });
    if (!stored) return ListFailed(kind, request.text, request.index, request.page);
    for (const std::wstring& shortName : shortNames) {
        protocol::PluginRef<k::String> name;
        if (plugin::RenewKernelString(name, shortName.c_str())) protocol::ListAppend(names.Get(), name.Get());
    }
    if (protocol::ListCount(names.Get()) == 0) return ListFailed(kind, request.text, request.index, request.page);
    const LPARAM lParam = ListParam(request.index, request.page);
    if (context.scoreRanked) {
        state_.With([&](SoftListState& s) {
            s.Notify(1, kind, lParam);
            s.Notify(3, kind, lParam);
            if (started_) s.lists[key].state = kLoaded;
            s.Notify(1, kind, lParam);
            s.Notify(7, kind, lParam);
            s.Notify(3, kind, lParam);
        });
        return;
    }
    state_.With([&](SoftListState& s) {
        s.Notify(1, kind, lParam);
        s.Notify(3, kind, lParam);
    });
    SoftListRequest scores;
    scores.details = PendingCompletion::StartDetails(services.details.Get(), names.Get(), kScoreKind);
    if (!scores.details.Started()) return ListFailed(kind, request.text, request.index, request.page);
    scores.kind = kListScores;
    scores.arg1 = kind;
    scores.text = request.text;
    scores.index = request.index;
    scores.page = request.page;
    worker_.Queue(std::move(scores));
}

void CSoftListMgr::AttachListScores(SoftListRequest& request, const SoftListServices& services) {
    const int kind = request.arg1;
    const LONG status = started_ ? request.details.Poll(kPollMs) : 0;
    if (status == -1) return worker_.Queue(std::move(request));
    if (status != 1) return ListFailed(kind, request.text, request.index, request.page);
    const std::wstring setKey = RecordSetKey(kind, request.text);
    std::vector<SoftScores> scores;
    state_.With([&](SoftListState& s) {
        for (const auto& [id, record] : s.recordSets[setKey]) scores.emplace_back(id, record->Data().bname);
    });
    LookUpScores(services.details.Get(), scores);
    const bool attached = state_.With([&](SoftListState& s) {
        if (!started_) return false;
        RecordSet& set = s.recordSets[setKey];
        for (const SoftScores& score : scores) {
            const auto it = set.find(score.id);
            if (it != set.end()) ApplyScores(it->second->Data(), score);
        }
        // Another page's answer may have let go of this one's records.
        ListState& list = s.lists[ListKey(kind, request.text, request.page)];
        if (!s.PageHeld(list)) return false;
        list.state = kLoaded;
        const LPARAM lParam = ListParam(request.index, request.page);
        s.Notify(1, kind, lParam);
        s.Notify(7, kind, lParam);
        s.Notify(3, kind, lParam);
        return true;
    });
    if (!attached) ListFailed(kind, request.text, request.index, request.page);
}

}  // namespace catalog
