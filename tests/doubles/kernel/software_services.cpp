// Classes 49 (software query), 307 (software entries) and 402 (executable
// entries), answering from the [software], [items] and [entries] sections
// of the configuration (lists separated by '|').
#include <string>
#include <vector>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

std::vector<std::wstring> ConfigList(const wchar_t* section, const wchar_t* key) {
    std::vector<std::wstring> items;
    const std::wstring text = Config(section, key, L"");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'|', start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

struct Software : ServiceObject {};

// [software] ready=<n> (default 1): whether the query can start.
int BEX_CALL SoftwareBegin(k::Software*) {
    Log(L"49.3");
    return ConfigInt(L"software", L"ready", 1);
}
int BEX_CALL SoftwarePrepare(k::Software*) {
    Log(L"49.21");
    return 1;
}
int BEX_CALL SoftwareIsPresent(k::Software*, uint32_t softId, int one, int, int, int, int, int) {
    Log(L"49.13 " + std::to_wstring(softId) + L" " + std::to_wstring(one));
    for (const std::wstring& id : ConfigList(L"software", L"present"))
        if (id == std::to_wstring(softId)) return 1;
    return 0;
}

// The count query: [software] count=<n>.
int BEX_CALL SoftwareEndQuery(k::Software*) {
    Log(L"49.4");
    return 1;
}
int BEX_CALL SoftwareCount(k::Software*) {
    Log(L"49.7");
    return ConfigInt(L"software", L"count", 0);
}

// 307: the entry texts are read when the list is made.
struct Item : ServiceObject {
    std::wstring text;
};
struct ItemList : ServiceObject {
    std::vector<std::wstring> texts;
    bool refreshed = false;
};

const wchar_t* BEX_CALL ItemText(k::item_list::Entry* self) { return Self<Item>(self)->text.c_str(); }
int BEX_CALL ItemListRefresh(k::ItemList* self) {
    Log(L"307.3");
    Self<ItemList>(self)->refreshed = true;
    return 1;
}
int BEX_CALL ItemListCount(k::ItemList* self) {
    ItemList* list = Self<ItemList>(self);
    // emptyUntilRefresh=1: a list the kernel has not filled yet.
    if (!list->refreshed && ConfigInt(L"items", L"emptyUntilRefresh", 0)) return 0;
    return static_cast<int>(list->texts.size());
}
int BEX_CALL ItemListEntry(k::ItemList* self, int index, k::item_list::Entry** item) {
    ItemList* list = Self<ItemList>(self);
    if (item) *item = nullptr;
    if (!item || index < 0 || static_cast<size_t>(index) >= list->texts.size()) return -1;
    static const BaseSlots table = [] {
        SlotTable<k::item_list::Entry> t;
        t.Set(k::item_list::kEntryText, &ItemText);
        return t;
    }();
    Item* entry = NewServiceObject<Item>(table, k::kItemList);
    entry->text = list->texts[static_cast<size_t>(index)];
    *item = HandOut<k::item_list::Entry>(entry);
    return 0;
}

struct EntryList : ServiceObject {
    std::vector<std::wstring> paths;
};

int BEX_CALL EntryListCount(k::EntryList* self) { return static_cast<int>(Self<EntryList>(self)->paths.size()); }
int BEX_CALL EntryListEntry(k::EntryList* self, int index, wchar_t* buffer, DWORD* extra) {
    EntryList* list = Self<EntryList>(self);
    if (!buffer || index < 0 || static_cast<size_t>(index) >= list->paths.size()) return -1;
    const std::wstring& path = list->paths[static_cast<size_t>(index)];
    const size_t n = path.size() < k::entry_list::kPathChars - 1 ? path.size() : k::entry_list::kPathChars - 1;
    path.copy(buffer, n);
    buffer[n] = L'\0';
    if (extra) *extra = 0;
    return 0;
}

}  // namespace

IBexPlugin* MakeSoftware() {
    static const BaseSlots table = [] {
        SlotTable<k::software::Of> t;
        t.Set(k::software::kBegin, &SoftwareBegin);
        t.Set(k::software::kEnd, &SoftwareEndQuery);
        t.Set(k::software::kUpdateCount, &SoftwareCount);
        t.Set(k::software::kIsPresent, &SoftwareIsPresent);
        t.Set(k::software::kPrepare, &SoftwarePrepare);
        return t;
    }();
    return HandOut(NewServiceObject<Software>(table, k::kSoftware));
}

IBexPlugin* MakeItemList() {
    static const BaseSlots table = [] {
        SlotTable<k::item_list::Of> t;
        t.Set(k::item_list::kRefresh, &ItemListRefresh);
        t.Set(k::item_list::kCount, &ItemListCount);
        t.Set(k::item_list::kEntry, &ItemListEntry);
        return t;
    }();
    ItemList* list = NewServiceObject<ItemList>(table, k::kItemList);
    list->texts = ConfigList(L"items", L"texts");
    return HandOut(list);
}

IBexPlugin* MakeEntryList() {
    static const BaseSlots table = [] {
        SlotTable<k::entry_list::Of> t;
        t.Set(k::entry_list::kCount, &EntryListCount);
        t.Set(k::entry_list::kEntry, &EntryListEntry);
        return t;
    }();
    EntryList* list = NewServiceObject<EntryList>(table, k::kEntryList);
    list->paths = ConfigList(L"entries", L"paths");
    return HandOut(list);
}

}  // namespace standin
