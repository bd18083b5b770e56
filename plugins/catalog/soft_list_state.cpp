#include "plugins/catalog/soft_list_state.h"

#include <iterator>
#include <set>

namespace catalog {

namespace {

bool AllHeld(const std::vector<uint32_t>& ids, const RecordSet& set) {
    for (uint32_t id : ids)
        if (!set.count(id)) return false;
    return true;
}

template <typename Searches>
void FailSearchesNotHeld(Searches& searches, const SoftListState& s) {
    for (auto& entry : searches)
        if (entry.second.state == kLoaded && !s.SearchHeld(entry.second)) entry.second.state = kFailed;
}

}  // namespace

const CSoftCatalogData* SoftListState::FindEntry(int kind, const std::wstring& name) {
    const int index = EntryIndex(kind, name);
    return index < 0 ? nullptr : Entries(kind)[static_cast<size_t>(index)].Get();
}

int SoftListState::EntryIndex(int kind, const std::wstring& name) {
    const CatalogEntries& entries = Entries(kind);
    for (size_t i = 0; i < entries.size(); ++i)
        if (::lstrcmpiW(entries[i]->Data().name, name.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

std::wstring SoftListState::EntryName(int kind, int index) {
    const CatalogEntries& entries = Entries(kind);
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return std::wstring();
    return entries[static_cast<size_t>(index)]->Data().name;
}

void SoftListState::Notify(int code, int kind, LPARAM lParam) const {
    const WPARAM wParam = static_cast<WPARAM>(MAKELONG(static_cast<WORD>(code), static_cast<WORD>(kind)));
    for (const auto& [window, message] : listeners) ::PostMessageW(window, message, wParam, lParam);
}

size_t SoftListState::HeldRecords() const {
    size_t held = 0;
    for (const auto& entry : recordSets) held += entry.second.size();
    return held;
}

bool SoftListState::PageHeld(const ListState& list) const {
    const auto set = recordSets.find(list.setKey);
    return set != recordSets.end() && AllHeld(list.ids, set->second);
}

void SoftListState::BoundRecords(const std::wstring& keepKey, std::vector<RecordRef>& letGo) {
    if (HeldRecords() <= kMaxHeldRecords) return;
    const auto page = lists.find(keepKey);
    const ListState keep = page == lists.end() ? ListState() : page->second;
    const std::set<uint32_t> kept(keep.ids.begin(), keep.ids.end());
    for (auto set = recordSets.begin(); set != recordSets.end();) {
        RecordSet& records = set->second;
        for (auto it = records.begin(); it != records.end();) {
            if (set->first == keep.setKey && kept.count(it->first)) {
                ++it;
                continue;
            }
            letGo.push_back(std::move(it->second));
            it = records.erase(it);
        }
        set = records.empty() ? recordSets.erase(set) : std::next(set);
    }
    for (auto& entry : lists)
        if (entry.second.state == kLoaded && !PageHeld(entry.second)) entry.second.state = kFailed;
}

bool SoftListState::SearchHeld(const SearchState& search) const { return AllHeld(search.ids, searchItems); }

void SoftListState::BoundSearchItems(const SearchState& keep, std::vector<RecordRef>& letGo) {
    if (searchItems.size() <= kMaxSearchItems) return;
    const std::set<uint32_t> kept(keep.ids.begin(), keep.ids.end());
    for (auto it = searchItems.begin(); it != searchItems.end();) {
        if (kept.count(it->first)) {
            ++it;
            continue;
        }
        letGo.push_back(std::move(it->second));
        it = searchItems.erase(it);
    }
    FailSearchesNotHeld(searches, *this);
    FailSearchesNotHeld(coopSearches, *this);
}

}  // namespace catalog
