#include "plugins/catalog/soft_list_state.h"

namespace catalog {

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

}  // namespace catalog
