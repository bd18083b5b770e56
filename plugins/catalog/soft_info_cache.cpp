#include "plugins/catalog/soft_info_cache.h"

#include <utility>

namespace catalog {

CSoftInfoData* SoftInfoCache::Find(uint32_t id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second.record.Get();
}

void SoftInfoCache::Touch(uint32_t id) {
    const auto it = byId_.find(id);
    if (it == byId_.end()) return;
    byUse_.erase(it->second.used);
    it->second.used = ++clock_;
    byUse_.emplace(it->second.used, id);
}

void SoftInfoCache::Put(uint32_t id, SoftInfoRef record, std::vector<SoftInfoRef>& dropped) {
    if (!record || capacity_ == 0) {
        dropped.push_back(std::move(record));
        return;
    }
    auto it = byId_.find(id);
    if (it != byId_.end()) {
        // The one it replaces (or a second reference to the same) goes.
        if (it->second.record.Get() != record.Get()) std::swap(it->second.record, record);
        dropped.push_back(std::move(record));
        Touch(id);
        return;
    }
    while (byId_.size() >= capacity_ && !byUse_.empty()) {
        const auto oldest = byUse_.begin();
        const auto gone = byId_.find(oldest->second);
        dropped.push_back(std::move(gone->second.record));
        byId_.erase(gone);
        byUse_.erase(oldest);
    }
    Entry& entry = byId_[id];
    entry.record = std::move(record);
    entry.used = ++clock_;
    byUse_.emplace(entry.used, id);
}

void SoftInfoCache::Clear(std::vector<SoftInfoRef>& dropped) {
    for (auto& [id, entry] : byId_) dropped.push_back(std::move(entry.record));
    byId_.clear();
    byUse_.clear();
}

}  // namespace catalog
