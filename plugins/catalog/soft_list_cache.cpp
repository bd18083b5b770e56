#include "plugins/catalog/soft_list_cache.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/log.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/store_types.h"
#include "plugins/common/kernel_calls.h"
#include "protocol/bex_kernel.h"

namespace catalog {

namespace k = protocol::kernel;

namespace {

constexpr uint32_t kRecordSetVersion = 1;

std::wstring EntryName(int kind, int index) { return std::to_wstring(kind) + L"-" + std::to_wstring(index); }

uint32_t StoredId(const BYTE* record) {
    uint32_t id = 0;
    std::memcpy(&id, record, sizeof(id));
    return id;
}

}  // namespace

std::optional<protocol::ByteView> SoftListCache::Get(int type, const std::wstring& name,
                                                    protocol::PluginRef<k::ByteBuffer>& buffer,
                                                    uint32_t* extra) const {
    if (!store_ || FAILED(plugin::CreateKernelObject(buffer))) return std::nullopt;
    return protocol::ValueGet(store_.Get(), type, name.c_str(), buffer.Get(), extra);
}

size_t SoftListCache::StoredRecords(const protocol::ByteView& bytes, uint32_t extra) {
    return std::min({static_cast<size_t>(extra >> 16), bytes.size / sizeof(tagSoftListData), kMaxStoredRecords});
}

CatalogEntries SoftListCache::LoadCatalog(int kind) const {
    CatalogEntries entries;
    protocol::PluginRef<k::ByteBuffer> buffer;
    if (!store_ || FAILED(plugin::CreateKernelObject(buffer))) return entries;
    const auto bytes =
        protocol::ValueGetByNumber(store_.Get(), kStoreCatalogCounts, static_cast<uint32_t>(kind), buffer.Get());
    if (!bytes || bytes->size != sizeof(uint32_t)) return entries;
    uint32_t count = 0;
    std::memcpy(&count, bytes->data, sizeof(count));
    // A count beyond what is stored costs one read, not one per number.
    for (uint32_t i = 0; i < std::min(count, kMaxStoredEntries); ++i) {
        CatalogEntry entry = LoadCatalogEntry(kind, static_cast<int>(i));
        if (!entry) break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

CatalogEntry SoftListCache::LoadCatalogEntry(int kind, int index) const {
    protocol::PluginRef<k::ByteBuffer> buffer;
    const auto bytes = Get(kStoreCatalogEntries, EntryName(kind, index), buffer, nullptr);
    if (!bytes || bytes->size != sizeof(tagSoftCatalogData)) return CatalogEntry();
    CatalogEntry entry(NewSoftCatalogData());
    if (!entry) return entry;
    std::memcpy(&entry->Data(), bytes->data, sizeof(tagSoftCatalogData));
    TerminateTexts(entry->Data());
    return entry;
}

std::optional<ListState> SoftListCache::LoadList(const std::wstring& key) const {
    ListState state;
    bool found = false;
    protocol::PluginRef<k::ByteBuffer> text;
    if (const auto bytes = Get(kStoreListPages, L"text" + key, text, nullptr)) {
        state.title.assign(bytes->size / sizeof(wchar_t), L'\0');
        if (!state.title.empty()) std::memcpy(&state.title[0], bytes->data, state.title.size() * sizeof(wchar_t));
        state.title = state.title.c_str();  // up to an embedded NUL
        found = true;
    }
    protocol::PluginRef<k::ByteBuffer> data;
    if (const auto bytes = Get(kStoreListPages, L"data" + key, data, nullptr)) {
        state.ids = ReadIds(*bytes);
        if (state.ids.size() > kMaxStoredEntries) state.ids.resize(kMaxStoredEntries);
        found = true;
    }
    if (!found) return std::nullopt;
    return state;
}

RecordSet SoftListCache::LoadRecords(const std::wstring& setKey, const std::set<uint32_t>& ids) const {
    RecordSet records;
    protocol::PluginRef<k::ByteBuffer> buffer;
    uint32_t extra = 0;
    const auto bytes = ids.empty() ? std::nullopt : Get(kStoreListRecords, setKey, buffer, &extra);
    if (!bytes) return records;
    const size_t count = StoredRecords(*bytes, extra);
    for (size_t i = 0; i < count && records.size() < ids.size(); ++i) {
        const BYTE* at = bytes->data + i * sizeof(tagSoftListData);
        const uint32_t id = StoredId(at);
        if (!ids.count(id) || records.count(id)) continue;
        tagSoftListData stored;
        std::memcpy(&stored, at, sizeof(stored));
        RecordRef record(NewSoftListData());
        if (!record) break;
        CopyStoredListRecord(record->Data(), stored);
        records.emplace(id, std::move(record));
    }
    return records;
}

void SoftListCache::Save(const Catalogs& catalogs, const Lists& lists, const RecordSets& sets) const {
    if (!store_) return;
    size_t refused = 0;
    for (int kind = 0; kind < 4; ++kind) {
        const auto it = catalogs.find(kind);
        const uint32_t count =
            it == catalogs.end() ? 0 : std::min(static_cast<uint32_t>(it->second.size()), kMaxStoredEntries);
        if (!protocol::ValueSetByNumber(store_.Get(), kStoreCatalogCounts, static_cast<uint32_t>(kind), &count,
                                        sizeof(count)))
            ++refused;
        for (uint32_t i = 0; i < count; ++i)
            if (!protocol::ValueSet(store_.Get(), kStoreCatalogEntries, EntryName(kind, static_cast<int>(i)).c_str(),
                                    &it->second[i]->Data(), sizeof(tagSoftCatalogData), false, 0))
                ++refused;
    }
    for (const auto& [key, list] : lists) {
        if (!list.title.empty() &&
            !protocol::ValueSet(store_.Get(), kStoreListPages, (L"text" + key).c_str(), list.title.data(),
                                list.title.size() * sizeof(wchar_t), false, 0))
            ++refused;
        if (!list.ids.empty() &&
            !protocol::ValueSet(store_.Get(), kStoreListPages, (L"data" + key).c_str(), list.ids.data(),
                                std::min<size_t>(list.ids.size(), kMaxStoredEntries) * sizeof(uint32_t), false, 0))
            ++refused;
    }
    for (const auto& [key, set] : sets)
        if (!SaveRecordSet(key, set)) ++refused;
    // One line for the whole save: a store that refuses one value mostly
    // refuses them all.
    if (refused)
        base::LogLine(L"software list", L"the kernel's store refused " + std::to_wstring(refused) +
                                            L" values; not kept for the next run");
}

bool SoftListCache::SaveRecordSet(const std::wstring& key, const RecordSet& set) const {
    std::vector<BYTE> data;
    size_t count = 0;
    auto add = [&](const BYTE* record) {
        data.insert(data.end(), record, record + sizeof(tagSoftListData));
        ++count;
    };
    for (const auto& [id, record] : set) {
        if (count == kMaxStoredRecords) break;
        if (record) add(reinterpret_cast<const BYTE*>(&record->Data()));
    }
    // Records are read back one by one as they are asked for: those this
    // run never asked for follow, as far as the set has room.
    protocol::PluginRef<k::ByteBuffer> stored;
    uint32_t storedExtra = 0;
    if (const auto bytes = count < kMaxStoredRecords ? Get(kStoreListRecords, key, stored, &storedExtra)
                                                     : std::nullopt) {
        const size_t n = StoredRecords(*bytes, storedExtra);
        for (size_t i = 0; i < n && count < kMaxStoredRecords; ++i) {
            const BYTE* record = bytes->data + i * sizeof(tagSoftListData);
            if (!set.count(StoredId(record))) add(record);
        }
    }
    if (count == 0) return true;
    const uint32_t extra = static_cast<uint32_t>(count) << 16 | kRecordSetVersion;
    return protocol::ValueSet(store_.Get(), kStoreListRecords, key.c_str(), data.data(), data.size(), true, extra);
}

}  // namespace catalog
