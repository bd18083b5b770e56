// The catalogue's records as the kernel reads them: each slot by its number
// and its declared type, so a test checks the slot numbers of the contract
// and not only the order of the C++ interface. `At<R, N, T>` names slot N of
// a record of class R returning T, for tables of rows (`.slot`, `.read`).
#pragma once

#include <cstdint>

#include "protocol/slot_call.h"

namespace record_slots {

template <uint32_t ClassId>
struct Record {
    using Object = IBexPlugin;
};
using List = Record<68>;
using Catalog = Record<69>;
using Info = Record<108>;

template <typename T>
struct Reader {
    int slot;
    T (*read)(IBexPlugin* record);
};

template <typename R, int N, typename T>
inline constexpr Reader<T> At{N,
                              [](IBexPlugin* record) { return protocol::Call(protocol::Slot<R, N, T()>{}, record); }};

// Slot N of a record, with the arguments it takes.
template <typename R, int N, typename Signature, typename... Args>
auto Call(IBexPlugin* record, Args... args) {
    return protocol::Call(protocol::Slot<R, N, Signature>{}, record, args...);
}

}  // namespace record_slots
