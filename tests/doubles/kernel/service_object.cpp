#include "tests/doubles/kernel/service_object.h"

#include <utility>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

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

BaseSlots::BaseSlots() {
    FillUnexpected(slots_, std::make_integer_sequence<int, protocol::kMaxSlots>());
    slots_[0] = reinterpret_cast<void*>(&GetClassId);
    slots_[1] = reinterpret_cast<void*>(&AddRef);
    slots_[2] = reinterpret_cast<void*>(&Release);
}

void Register(ServiceObject* object) {
    object->count = 1;
    CountServiceAlive(1);
}

IBexPlugin* MakeForeign(uint32_t classId) {
    if (classId == kForeignListManager) return MakeForeignListManager();
    if (classId == kForeignReCommend) return MakeForeignReCommend();
    static const BaseSlots table;
    auto* object = new Foreign;
    object->table = table.Get();
    object->classId = classId;
    object->destroy = &DestroyAs<Foreign>;
    return HandOut(object);
}

IBexPlugin* MakeService(uint32_t classId) {
    switch (classId) {
    case k::kString:
        return MakeString();
    case k::kObjectList:
        return MakeObjectList();
    case k::kByteBuffer:
        return MakeByteBuffer();
    case k::kSystem:
        return MakeSystem();
    case k::kEnvironment:
        return MakeEnvironment();
    case k::kHttpFetch:
        return MakeHttpFetch();
    case k::kDetails:
        return MakeDetails();
    case k::kValueStore:
        return MakeValueStore();
    case k::kKeyword:
        return MakeKeyword();
    case k::kSoftware:
        return MakeSoftware();
    case k::kBitness:
        return MakeBitness();
    case k::kSoftwareQuery:
        return MakeSoftwareQuery();
    case k::kFileReader:
        return MakeFileReader();
    case k::kNumberedStore:
        return MakeNumberedStore();
    case k::kCompletion:
        return MakeCompletion();
    case k::kItemList:
        return MakeItemList();
    case k::kEntryList:
        return MakeEntryList();
    case k::kStartupItems:
        return MakeStartupItems();
    case k::kShortcut:
        return MakeShortcut();
    case k::kOptions:
        return MakeOptions();
    case k::kStatistics:
        return MakeStatistics();
    case k::kDownloads:
        return MakeDownloads();
    case k::kImageCodec:
        return MakeImageCodec();
    case k::kNotification:
        return MakeNotification();
    case k::kNotice:
        return MakeNotice();
    case k::kLookup:
        return MakeLookup();
    case k::kBrowser:
        return MakeBrowser();
    default:
        return nullptr;
    }
}

}  // namespace standin
