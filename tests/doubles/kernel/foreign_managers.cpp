// Foreign objects for the classes whose wrappers forward slots (70, the
// list manager; 301, the recommendations): each slot the wrappers may call
// takes exactly its own number of arguments (__stdcall: the callee pops
// them, so a caller passing another count leaves its stack unbalanced),
// logs them and answers 0. Other slots stay unexpected.
// Log line:
//   foreign <class>.<slot> [0x<arg>,...]
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace {

struct Foreign : ServiceObject {};

// Their slots are the catalogue's own interfaces, which this side does not
// compile against: each is stated here with its count of words.
class ForeignTable : public BaseSlots {
public:
    template <int Slot, typename Fn>
    void Set(Fn fn) {
        static_assert(Slot >= 3 && Slot < protocol::kMaxSlots, "a slot of the table");
        slots_[Slot] = reinterpret_cast<void*>(fn);
    }
};

template <size_t>
using Word = uintptr_t;

void LogCall(uint32_t classId, int slot, std::initializer_list<uintptr_t> args) {
    std::wstring line = L"foreign " + std::to_wstring(classId) + L"." + std::to_wstring(slot) + L" [";
    bool first = true;
    for (uintptr_t arg : args) {
        line += (first ? L"" : L",") + Hex(static_cast<uint32_t>(arg));
        first = false;
    }
    Log(line + L"]");
}

template <int Slot, size_t... I>
struct Logged {
    static uintptr_t BEX_CALL Call(ServiceObject* self, Word<I>... args) {
        LogCall(self->classId, Slot, {args...});
        return 0;
    }
};

template <int Slot, size_t... I>
void SetLogged(ForeignTable& table, std::index_sequence<I...>) {
    table.Set<Slot>(&Logged<Slot, I...>::Call);
}

template <int Slot, size_t N>
void SetLogged(ForeignTable& table) {
    SetLogged<Slot>(table, std::make_index_sequence<N>());
}

// Slot 21 of the list manager gives a text.
const wchar_t* BEX_CALL Keyword(ServiceObject* self, uintptr_t searchId) {
    LogCall(self->classId, 21, {searchId});
    return L"FOREIGN";
}

IBexPlugin* Make(const ForeignTable& table, uint32_t classId) {
    auto* object = new Foreign;
    object->table = table.Get();
    object->classId = classId;
    object->destroy = &DestroyAs<Foreign>;
    return HandOut(object);
}

}  // namespace

IBexPlugin* MakeForeignListManager() {
    static const ForeignTable table = [] {
        ForeignTable t;
        SetLogged<3, 0>(t);
        SetLogged<4, 0>(t);
        SetLogged<5, 2>(t);
        SetLogged<6, 1>(t);
        SetLogged<7, 1>(t);
        SetLogged<8, 1>(t);
        SetLogged<9, 3>(t);
        SetLogged<10, 4>(t);
        SetLogged<11, 4>(t);
        SetLogged<12, 3>(t);
        SetLogged<13, 3>(t);
        SetLogged<14, 4>(t);
        SetLogged<15, 4>(t);
        SetLogged<16, 4>(t);
        SetLogged<17, 2>(t);
        SetLogged<18, 2>(t);
        SetLogged<19, 2>(t);
        SetLogged<20, 2>(t);
        t.Set<21>(&Keyword);
        SetLogged<22, 3>(t);
        return t;
    }();
    return Make(table, kForeignListManager);
}

IBexPlugin* MakeForeignReCommend() {
    static const ForeignTable table = [] {
        ForeignTable t;
        SetLogged<3, 0>(t);
        SetLogged<4, 0>(t);
        SetLogged<5, 4>(t);
        SetLogged<6, 4>(t);
        SetLogged<7, 0>(t);
        return t;
    }();
    return Make(table, kForeignReCommend);
}

}  // namespace standin
