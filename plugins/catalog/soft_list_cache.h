// The list manager's cache in the kernel's value store: per catalogue kind
// the number of entries (type 9) and the entries (8), per list page its
// title and ids (7), per record set its records (6). It owns the store and
// never touches the manager's lock: it reads into values and references it
// hands back, and writes what it is handed.
//
// Stored values are bounded: a kind's entries and a list's ids at
// kMaxStoredEntries, a record set at kMaxStoredRecords records, written
// back pruned. The records of this run go first, then those stored before
// in their stored order, so a record not seen for a while drops out once
// that many newer ones came; a longer stored set counts its first records
// only.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "plugins/catalog/soft_list_state.h"
#include "protocol/bex_kernel.h"
#include "protocol/kernel_calls.h"
#include "protocol/plugin_ref.h"

namespace catalog {

class SoftListCache {
public:
    static constexpr uint32_t kMaxStoredEntries = 1000;
    static constexpr size_t kMaxStoredRecords = 1000;

    SoftListCache() = default;
    explicit SoftListCache(protocol::PluginRef<protocol::kernel::ValueStore> store) noexcept
        : store_(std::move(store)) {}

    // The kind's stored entries in order (a gap ends them).
    CatalogEntries LoadCatalog(int kind) const;
    CatalogEntry LoadCatalogEntry(int kind, int index) const;
    // A list page's stored title and ids, not asked in this run.
    std::optional<ListState> LoadList(const std::wstring& key) const;
    // Records of the set for those of `ids` it holds, from one read.
    RecordSet LoadRecords(const std::wstring& setKey, const std::set<uint32_t>& ids) const;

    void Save(const Catalogs& catalogs, const Lists& lists, const RecordSets& sets) const;

private:
    // A stored value's bytes, valid while `buffer` (made here) lives.
    std::optional<protocol::ByteView> Get(int type, const std::wstring& name,
                                          protocol::PluginRef<protocol::kernel::ByteBuffer>& buffer,
                                          uint32_t* extra) const;
    // The records a stored set may count: its first ones, whole and claimed.
    static size_t StoredRecords(const protocol::ByteView& bytes, uint32_t extra);
    // False when the store refused it.
    bool SaveRecordSet(const std::wstring& key, const RecordSet& set) const;

    protocol::PluginRef<protocol::kernel::ValueStore> store_;
};

}  // namespace catalog
