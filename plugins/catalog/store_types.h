// Every type number under which Tandrel keeps values in the kernel's stores
// between runs, in one table: the numbers are stored, so a number once
// given to one kind of value is never given to another.
#pragma once

namespace catalog {

// The value store (class 94), each value by name unless said otherwise.
constexpr int kStoreListRecords = 6;     // a list's record set, by its key
constexpr int kStoreListPages = 7;       // "text<key>" and "data<key>": a list page's title and ids
constexpr int kStoreCatalogEntries = 8;  // "<kind>-<index>": one catalogue entry
constexpr int kStoreCatalogCounts = 9;   // by number (the catalogue kind): how many entries it has
constexpr int kStoreSoftInfo = 16;       // "data": the software information's cache
constexpr int kStoreAppIdUsage = 22;     // "AppIdUsage": the app ids given out

// The numbered store (class 107), each value by its key.
constexpr int kNumberedRecommendCounts = 20;  // key 0: the counted ids; key id: its count
constexpr int kNumberedRecommendedIds = 21;   // key 0: ids recommended since the last save

}  // namespace catalog
