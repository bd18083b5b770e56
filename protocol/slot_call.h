// Calls slot `slot` of an outside object's table of functions (__stdcall,
// the object first), for interfaces known only by their slot numbers.
#pragma once

#include "protocol/bex_plugin.h"

namespace bex {

template <typename R, typename T, typename... Args>
R CallSlot(T* object, int slot, Args... args) {
    using Fn = R(BEX_CALL*)(T*, Args...);
    void* const* table = *reinterpret_cast<void* const* const*>(object);
    return reinterpret_cast<Fn>(table[slot])(object, args...);
}

}  // namespace bex
