#include "settings/TimerList.h"

int TShutDownList::Add(std::unique_ptr<TShutDownAlertInfo> record) {
    if (!record) return -1;
    items_.push_back(std::move(record));
    return Count() - 1;
}

TShutDownAlertInfo* TShutDownList::Items(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

std::unique_ptr<TShutDownAlertInfo> TShutDownList::Delete(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    std::unique_ptr<TShutDownAlertInfo> record = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return record;
}

int TShutDownList::IndexOf(const TShutDownAlertInfo* record) const {
    for (int n = 0; n < Count(); ++n)
        if (items_[static_cast<size_t>(n)].get() == record) return n;
    return -1;
}
