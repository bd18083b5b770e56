// The slots of the kernel services that only Lumvex calls, beside the
// shared declarations of protocol/bex_kernel.h. Every slot __stdcall with
// the object first and a 32-bit result.
#pragma once

namespace setup_slots {

// 49: software query.
namespace software {
constexpr int kBegin = 3;      // () true: the query may be used
constexpr int kPrepare = 21;   // ()
constexpr int kIsPresent = 13;  // (soft id, 1, 0, 0, 0, 0, 0) non-zero: present
constexpr int kEnd = 4;         // () ends the query
constexpr int kCount = 7;       // () the number of updates
}  // namespace software

// 307: software entries.
namespace item_list {
constexpr int kRefresh = 3;    // ()
constexpr int kCount = 4;      // ()
constexpr int kEntry = 5;      // (index, IBexPlugin** entry) >= 0: found
constexpr int kEntryText = 4;  // entry: () const wchar_t*
}  // namespace item_list

// 402: executable entries.
namespace entry_list {
constexpr int kCount = 4;  // ()
constexpr int kEntry = 6;  // (index, wchar_t path[260], DWORD* extra)
constexpr int kPathChars = 260;
}  // namespace entry_list

}  // namespace setup_slots
