// The stand-ins' tables of slots: a slot described in protocol/ is set only
// through its description, with a function of exactly the declared type, so
// a stand-in whose signature differs from what our programs call does not
// compile.
#pragma once

#include "protocol/slot_call.h"

namespace standin {

template <typename Interface, int Index, typename Signature>
void SetSlot(void** slots, protocol::Slot<Interface, Index, Signature>,
             typename protocol::Slot<Interface, Index, Signature>::Function fn) {
    slots[Index] = reinterpret_cast<void*>(fn);
}

}  // namespace standin
