// What the list manager's lock guards, and the one way to it.
//
// No call into the kernel while this lock is held. The kernel takes a lock
// of its own around AddRef of a shared object and around every notice it
// counts; a thread that held ours while calling it would deadlock against a
// client coming back through the kernel. So a body given to With() reads
// and changes the maps below, moves owning references in and out, and
// posts messages, nothing else: records are made (a -3 notice) before,
// strings, buffers and the store are asked before or after, on copies and
// owning references. What a body takes out of the maps it moves into a
// local of its caller declared before the call, so that the last release
// (a -4 notice) comes once the lock is left. AddRef and Release of the
// manager itself never take this lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "plugins/catalog/locked.h"
#include "plugins/catalog/soft_list_data.h"
#include "protocol/plugin_ref.h"

namespace catalog {

enum ListStateCode { kUnasked = 0, kLoading = 1, kFailed = 2, kLoaded = 3 };

struct ListState {
    int state = kUnasked;  // read back from the store: ids and title, not asked in this run
    std::wstring title;
    std::vector<uint32_t> ids;
    std::wstring setKey;  // the record set of its records, once answered in this run
};

struct SearchState {
    int state = kUnasked;
    LONG searchId = 0;
    std::wstring keyword;  // upper case
    int start = 0;
    std::vector<uint32_t> ids;
};

using RecordRef = protocol::PluginRef<CSoftListData>;
using RecordSet = std::map<uint32_t, RecordRef>;
using RecordSets = std::map<std::wstring, RecordSet>;
using CatalogEntry = protocol::PluginRef<CSoftCatalogData>;
using CatalogEntries = std::vector<CatalogEntry>;
using Catalogs = std::map<int, CatalogEntries>;
using Lists = std::map<std::wstring, ListState>;
using CoopKey = std::pair<std::wstring, int>;

struct SoftListServices;

// Records held in memory are bounded in count, whatever the servers answer:
// once an answer takes the list records (or the search records) past their
// bound, every one of them but the answer's own is let go of, and a page
// or search that was loaded and lost records of its own counts as failed,
// so that the next request asks again.
struct SoftListState {
    static constexpr size_t kMaxHeldRecords = 1000;  // over all record sets
    static constexpr size_t kMaxSearchItems = 1000;

    std::shared_ptr<const SoftListServices> services;  // null before the first Start
    std::map<HWND, UINT> listeners;
    RecordSets recordSets;  // record-set key -> soft id -> record
    Lists lists;            // upper-case list key
    Catalogs catalogs;
    std::map<std::wstring, SearchState> searches;
    std::map<CoopKey, SearchState> coopSearches;
    std::map<std::wstring, LONG> searchTotals;
    RecordSet searchItems;
    LONG nextSearchId = 1;
    // Counts the Stops: what was read from the store before one is not kept
    // after it (it may be older than what that Stop saved).
    uint32_t run = 0;

    // The kind's entries (an empty list for a kind not seen yet).
    CatalogEntries& Entries(int kind) { return catalogs[kind]; }
    // The first entry of `kind` named `name` ignoring case, or null.
    const CSoftCatalogData* FindEntry(int kind, const std::wstring& name);
    // The index of that entry, or -1.
    int EntryIndex(int kind, const std::wstring& name);
    // The name of the entry at `index`, empty when there is none.
    std::wstring EntryName(int kind, int index);
    // Posts (code, kind or source) to every listener with its own message.
    void Notify(int code, int kind, LPARAM lParam) const;

    // List records held, over all record sets.
    size_t HeldRecords() const;
    // Whether every record of the page is held.
    bool PageHeld(const ListState& list) const;
    // Past kMaxHeldRecords: keeps only the records of the page `keepKey`;
    // the others go to `letGo`, to be released once the lock is left.
    void BoundRecords(const std::wstring& keepKey, std::vector<RecordRef>& letGo);
    // Whether every record of the search is held.
    bool SearchHeld(const SearchState& search) const;
    // Past kMaxSearchItems: keeps only the records of `keep`, as above.
    void BoundSearchItems(const SearchState& keep, std::vector<RecordRef>& letGo);
};

class GuardedState {
public:
    GuardedState() noexcept { ::InitializeCriticalSection(&lock_); }
    ~GuardedState() { ::DeleteCriticalSection(&lock_); }
    GuardedState(const GuardedState&) = delete;
    GuardedState& operator=(const GuardedState&) = delete;

    // Runs `body(state)` under the lock and returns what it returns.
    template <typename Body>
    auto With(Body&& body) {
        Locked lock(lock_);
        return body(state_);
    }

    // Whether `threadId` holds the lock now (a worker is never ended then).
    bool HeldBy(DWORD threadId) const noexcept { return catalog::HeldBy(lock_, threadId); }

private:
    CRITICAL_SECTION lock_;
    SoftListState state_;
};

}  // namespace catalog
