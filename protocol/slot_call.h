// Interfaces of outside objects known only by their slot numbers: the
// kernel's services, the clean-up library's sweeper, the app centre's data.
// Each slot is described once, as a `Slot` constant that names its
// interface, its number and its function type; a slot is called only
// through its description, so an argument list that does not convert to the
// declared parameters does not compile (under __stdcall the callee pops what
// the declaration says, and a call with another list corrupts the stack).
#pragma once

#include <type_traits>
#include <utility>

#include "protocol/bex_plugin.h"

namespace protocol {

// Slots per table in the stand-ins; every described slot lies below it.
constexpr int kMaxSlots = 64;

// `Interface` is a tag type with `using Object = ...;` (the type of the
// object's pointer, its first word being the table). `Signature` is the
// slot's function type without the object: `int(const wchar_t* text)`.
// Slots are __stdcall with the object first; a variadic signature is the one
// __cdecl kind (the caller pops).
template <typename Interface, int Index, typename Signature>
struct Slot;

template <typename Interface, int Index, typename R, typename... Args>
struct Slot<Interface, Index, R(Args...)> {
    static_assert(Index >= 3, "slots 0 to 2 are the base interface's");
    static_assert(Index < kMaxSlots, "the slot lies outside the tables");
    using Of = Interface;
    using Object = typename Interface::Object;
    using Result = R;
    using Function = R(BEX_CALL*)(Object* self, Args...);
    static constexpr int kIndex = Index;
};

template <typename Interface, int Index, typename R, typename... Args>
struct Slot<Interface, Index, R(Args..., ...)> {
    static_assert(Index >= 3, "slots 0 to 2 are the base interface's");
    static_assert(Index < kMaxSlots, "the slot lies outside the tables");
    using Of = Interface;
    using Object = typename Interface::Object;
    using Result = R;
    using Function = R(__cdecl*)(Object* self, Args..., ...);
    static constexpr int kIndex = Index;
};

// The function a described slot of `object` holds.
template <typename S>
typename S::Function SlotFunction(typename S::Object* object) {
    void* const* table = *reinterpret_cast<void* const* const*>(object);
    return reinterpret_cast<typename S::Function>(table[S::kIndex]);
}

// Calls the described slot of `object` (not null) with `args`, converted to
// the declared parameters.
template <typename Interface, int Index, typename Signature, typename... Args>
typename Slot<Interface, Index, Signature>::Result Call(Slot<Interface, Index, Signature>,
                                                       typename Interface::Object* object, Args&&... args) {
    using S = Slot<Interface, Index, Signature>;
    static_assert(std::is_invocable_v<typename S::Function, typename S::Object*, Args...>,
                  "the arguments do not fit the slot's declared function");
    return SlotFunction<S>(object)(object, std::forward<Args>(args)...);
}

}  // namespace protocol
