// The software information manager's records in memory, bounded in count:
// a server may name any ids and a client may ask for any, but at most
// `capacity` records are held, and the one used longest ago goes first.
// Not locked itself: its owner guards it. It never calls out: what it lets
// go of is handed to the caller, who releases it once out of its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "plugins/catalog/soft_info_data.h"
#include "protocol/plugin_ref.h"

namespace catalog {

using SoftInfoRef = protocol::PluginRef<CSoftInfoData>;

class SoftInfoCache {
public:
    explicit SoftInfoCache(size_t capacity) noexcept : capacity_(capacity) {}
    SoftInfoCache(const SoftInfoCache&) = delete;
    SoftInfoCache& operator=(const SoftInfoCache&) = delete;

    // The record of `id`, or null.
    CSoftInfoData* Find(uint32_t id) const;
    // Marks the record of `id` (if any) as used now.
    void Touch(uint32_t id);
    // Holds `record` for `id`, used now; the record it replaces, and the
    // ones it pushes out, go to `dropped`.
    void Put(uint32_t id, SoftInfoRef record, std::vector<SoftInfoRef>& dropped);
    // Every record, to `dropped`.
    void Clear(std::vector<SoftInfoRef>& dropped);

    size_t Size() const noexcept { return byId_.size(); }
    // The records in ascending id order.
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const auto& [id, entry] : byId_) visit(id, *entry.record.Get());
    }

private:
    struct Entry {
        SoftInfoRef record;
        uint64_t used = 0;
    };

    size_t capacity_;
    uint64_t clock_ = 0;
    std::map<uint32_t, Entry> byId_;
    std::map<uint64_t, uint32_t> byUse_;  // when last used -> id
};

}  // namespace catalog
