// Classes 49 (software query), 307 (software entries) and 402 (executable
// entries), answering from the [software], [items] and [entries] sections
// of the configuration (lists separated by '|').
#include <string>
#include <vector>

#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

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
int BEX_CALL SoftwareBegin(IBexPlugin*) {
    Log(L"49.3");
    return ConfigInt(L"software", L"ready", 1);
}
int BEX_CALL SoftwarePrepare(IBexPlugin*) {
    Log(L"49.21");
    return 1;
}
int BEX_CALL SoftwareIsPresent(IBexPlugin*, uint32_t softId, int one, int, int, int, int, int) {
    Log(L"49.13 " + std::to_wstring(softId) + L" " + std::to_wstring(one));
    for (const std::wstring& id : ConfigList(L"software", L"present"))
        if (id == std::to_wstring(softId)) return 1;
    return 0;
}

// The count query: [software] count=<n>.
int BEX_CALL SoftwareEndQuery(IBexPlugin*) {
    Log(L"49.4");
    return 1;
}
int BEX_CALL SoftwareCount(IBexPlugin*) {
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

const wchar_t* BEX_CALL ItemText(IBexPlugin* self) { return Self<Item>(self)->text.c_str(); }
int BEX_CALL ItemListRefresh(IBexPlugin* self) {
    Log(L"307.3");
    Self<ItemList>(self)->refreshed = true;
    return 1;
}
int BEX_CALL ItemListCount(IBexPlugin* self) {
    ItemList* list = Self<ItemList>(self);
    // emptyUntilRefresh=1: a list the kernel has not filled yet.
    if (!list->refreshed && ConfigInt(L"items", L"emptyUntilRefresh", 0)) return 0;
    return static_cast<int>(list->texts.size());
}
int BEX_CALL ItemListEntry(IBexPlugin* self, int index, IBexPlugin** item) {
    ItemList* list = Self<ItemList>(self);
    if (item) *item = nullptr;
    if (!item || index < 0 || static_cast<size_t>(index) >= list->texts.size()) return -1;
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(4, &ItemText);
        return t;
    }();
    Item* entry = NewServiceObject<Item>(table, 307);
    entry->text = list->texts[static_cast<size_t>(index)];
    *item = HandOut(entry);
    return 0;
}

struct EntryList : ServiceObject {
    std::vector<std::wstring> paths;
};

int BEX_CALL EntryListCount(IBexPlugin* self) { return static_cast<int>(Self<EntryList>(self)->paths.size()); }
int BEX_CALL EntryListEntry(IBexPlugin* self, int index, wchar_t* buffer, DWORD* extra) {
    EntryList* list = Self<EntryList>(self);
    if (!buffer || index < 0 || static_cast<size_t>(index) >= list->paths.size()) return -1;
    const std::wstring& path = list->paths[static_cast<size_t>(index)];
    const size_t n = path.size() < 259 ? path.size() : 259;
    path.copy(buffer, n);
    buffer[n] = L'\0';
    if (extra) *extra = 0;
    return 0;
}

}  // namespace

IBexPlugin* MakeSoftware() {
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(3, &SoftwareBegin);
        t.Set(4, &SoftwareEndQuery);
        t.Set(7, &SoftwareCount);
        t.Set(13, &SoftwareIsPresent);
        t.Set(21, &SoftwarePrepare);
        return t;
    }();
    return HandOut(NewServiceObject<Software>(table, 49));
}

IBexPlugin* MakeItemList() {
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(3, &ItemListRefresh);
        t.Set(4, &ItemListCount);
        t.Set(5, &ItemListEntry);
        return t;
    }();
    ItemList* list = NewServiceObject<ItemList>(table, 307);
    list->texts = ConfigList(L"items", L"texts");
    return HandOut(list);
}

IBexPlugin* MakeEntryList() {
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(4, &EntryListCount);
        t.Set(6, &EntryListEntry);
        return t;
    }();
    EntryList* list = NewServiceObject<EntryList>(table, 402);
    list->paths = ConfigList(L"entries", L"paths");
    return HandOut(list);
}

}  // namespace standin
