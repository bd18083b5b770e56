// The owning list of timed-shutdown records that the shutdown page shows.
#pragma once

#include <memory>
#include <vector>

#include "settings/SettingsFile.h"

class TShutDownList {
public:
    TShutDownList() = default;
    TShutDownList(const TShutDownList&) = delete;
    TShutDownList& operator=(const TShutDownList&) = delete;

    // Takes the record over; returns its index.
    int Add(std::unique_ptr<TShutDownAlertInfo> record);
    int Add(const TShutDownAlertInfo& record) { return Add(std::make_unique<TShutDownAlertInfo>(record)); }
    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0..Count-1.
    TShutDownAlertInfo* Items(int index) const;
    // Takes the entry out of the list and hands the record to the caller,
    // who decides whether it lives on; null for an index outside the list.
    std::unique_ptr<TShutDownAlertInfo> Delete(int index);
    // The index of `record` in the list, or -1.
    int IndexOf(const TShutDownAlertInfo* record) const;
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TShutDownAlertInfo>> items_;
};
