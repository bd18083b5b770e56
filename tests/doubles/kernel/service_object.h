// The stand-in's service objects: plain records with a hand-made table of
// slots, so each class lists exactly the slots the plug-ins may call. Every
// other slot of the table logs UNEXPECTED and ends the process: a wrong
// slot number fails loudly instead of corrupting the stack.
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/bex_plugin.h"
#include "protocol/slot_call.h"
#include "tests/doubles/typed_slots.h"

namespace standin {

struct ServiceObject {
    void* const* table;  // first, where a caller looks for it
    volatile LONG count;
    uint32_t classId;
    void (*destroy)(ServiceObject* self);
};

// Slots 0 to 2 answered for any ServiceObject and the others unexpected.
class BaseSlots {
public:
    BaseSlots();
    void* const* Get() const { return slots_; }

protected:
    void* slots_[protocol::kMaxSlots];
};

// The table of the objects of one interface of the contract (bex_kernel.h),
// set through the slots' descriptions (typed_slots.h).
template <typename Interface>
class SlotTable : public BaseSlots {
public:
    template <int Index, typename Signature>
    void Set(protocol::Slot<Interface, Index, Signature> slot,
             typename protocol::Slot<Interface, Index, Signature>::Function fn) {
        SetSlot(slots_, slot, fn);
    }
};

// Takes a new object of type T (derived from ServiceObject, with its table
// set) into the live count and hands it out as the caller's reference, as
// an object of the contract of type `As` (a class or part of bex_kernel.h).
void Register(ServiceObject* object);
template <typename As = IBexPlugin, typename T>
As* HandOut(T* object) {
    Register(object);
    return reinterpret_cast<As*>(object);
}
// The stand-in's own record behind an object it handed out.
template <typename T, typename Object>
T* Self(Object* object) {
    return reinterpret_cast<T*>(object);
}
template <typename T>
void DestroyAs(ServiceObject* self) {
    delete static_cast<T*>(self);
}

// A new object of type T (derived from ServiceObject) on `table`, not yet
// handed out.
template <typename T>
T* NewServiceObject(const BaseSlots& table, uint32_t classId) {
    auto* object = new T;
    object->table = table.Get();
    object->classId = classId;
    object->destroy = &DestroyAs<T>;
    return object;
}

// Kernel services by class id; null for a class the stand-in does not serve.
IBexPlugin* MakeService(uint32_t classId);
// The foreign object: answers slot 0 with `classId`; no other own slot,
// except for 70 and 301, whose wrappers' slots it logs (services.h).
IBexPlugin* MakeForeign(uint32_t classId);

}  // namespace standin
