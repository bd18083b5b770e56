#include "tests/doubles/kernel/service_object.h"

#include <utility>

#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace {

template <int N>
void BEX_CALL UnexpectedSlot(ServiceObject* self) {
    Unexpected(self ? self->classId : 0, N);
}

template <int... N>
void FillUnexpected(void** slots, std::integer_sequence<int, N...>) {
    ((slots[N] = reinterpret_cast<void*>(&UnexpectedSlot<N>)), ...);
}

uint32_t BEX_CALL GetClassId(ServiceObject* self) { return self->classId; }
LONG BEX_CALL AddRef(ServiceObject* self) { return ::InterlockedIncrement(&self->count); }
LONG BEX_CALL Release(ServiceObject* self) {
    const LONG now = ::InterlockedDecrement(&self->count);
    if (now == 0) {
        CountServiceAlive(-1);
        self->destroy(self);
    }
    return now;
}

struct Foreign : ServiceObject {};

}  // namespace

SlotTable::SlotTable() {
    FillUnexpected(slots_, std::make_integer_sequence<int, kTableSlots>());
    Set(0, &GetClassId);
    Set(1, &AddRef);
    Set(2, &Release);
}

void Register(ServiceObject* object) {
    object->count = 1;
    CountServiceAlive(1);
}

IBexPlugin* MakeForeign(uint32_t classId) {
    if (classId == 70) return MakeForeignListManager();
    if (classId == 301) return MakeForeignReCommend();
    static const SlotTable table;
    auto* object = new Foreign;
    object->table = table.Get();
    object->classId = classId;
    object->destroy = &DestroyAs<Foreign>;
    return HandOut(object);
}

IBexPlugin* MakeService(uint32_t classId) {
    switch (classId) {
    case 3:
        return MakeString();
    case 4:
        return MakeObjectList();
    case 7:
        return MakeByteBuffer();
    case 10:
        return MakeSystem();
    case 40:
        return MakeEnvironment();
    case 41:
        return MakeHttpFetch();
    case 43:
        return MakeDetails();
    case 94:
        return MakeValueStore();
    case 24:
        return MakeKeyword();
    case 49:
        return MakeSoftware();
    case 81:
        return MakeBitness();
    case 99:
        return MakeSoftwareQuery();
    case 86:
        return MakeFileReader();
    case 107:
        return MakeNumberedStore();
    case 406:
        return MakeCompletion();
    case 307:
        return MakeItemList();
    case 402:
        return MakeEntryList();
    case 78:
        return MakeStartupItems();
    case 23:
        return MakeShortcut();
    case 47:
        return MakeOptions();
    case 51:
        return MakeStatistics();
    case 96:
        return MakeDownloads();
    case 26:
        return MakeImageCodec();
    case 93:
        return MakeNotification();
    case 101:
        return MakeNotice();
    case 21:
        return MakeLookup();
    case 22:
        return MakeBrowser();
    default:
        return nullptr;
    }
}

}  // namespace standin
