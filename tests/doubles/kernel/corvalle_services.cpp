// What Corvalle asks of the kernel: the start-up items (class 78) and the
// debugger interface (code -5).
//   [startup] items=<n> (default 0), state2=<k> (default all): the first k
//             items are in state 2, the others in state 1
//   [kernel]  debugger=record: -5 hands out a debugger that logs
//             "enter <id>" and "leave <id>"; anything else: null
// Log lines: "78.3" (the list filled), "item.9" (a state read),
// "release 78" and "release item" (the last release of each).
#include <windows.h>

#include <string>

#include "protocol/bex_debugger.h"
#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct StartupItem : ServiceObject {
    int state = 1;
};
struct StartupSource : ServiceObject {};

template <typename T>
void DestroyLogged(ServiceObject* self) {
    Log(self->classId == k::kStartupItems ? L"release 78" : L"release item");
    delete static_cast<T*>(self);
}

int BEX_CALL ItemState(k::startup_items::Item* self) {
    Log(L"item.9");
    return Self<StartupItem>(self)->state;
}

IBexPlugin* MakeItem(int state) {
    static const SlotTable<k::startup_items::Item> table = [] {
        SlotTable<k::startup_items::Item> t;
        t.Set(k::startup_items::kItemState, &ItemState);
        return t;
    }();
    auto* item = new StartupItem;
    item->table = table.Get();
    item->classId = 0;  // not a class of its own
    item->destroy = &DestroyLogged<StartupItem>;
    item->state = state;
    return HandOut(item);
}

int BEX_CALL Fill(k::StartupItems*, k::ObjectList* list) {
    Log(L"78.3");
    if (!list) return -1;
    const int items = ConfigInt(L"startup", L"items", 0);
    const int inState2 = ConfigInt(L"startup", L"state2", items);
    for (int i = 0; i < items; ++i) {
        IBexPlugin* item = MakeItem(i < inState2 ? 2 : 1);
        protocol::Call(k::object_list::kAppend, list, item);
        item->Release();
    }
    return 0;
}

class RecordingDebugger : public CBexDebuggerDummy {
public:
    void BEX_CALL Enter(uint32_t id) override { Log(L"enter " + Hex(id)); }
    void BEX_CALL Leave(uint32_t id, uint64_t) override { Log(L"leave " + Hex(id)); }
};

}  // namespace

IBexPlugin* MakeStartupItems() {
    static const SlotTable<k::startup_items::Of> table = [] {
        SlotTable<k::startup_items::Of> t;
        t.Set(k::startup_items::kFill, &Fill);
        return t;
    }();
    auto* source = new StartupSource;
    source->table = table.Get();
    source->classId = k::kStartupItems;
    source->destroy = &DestroyLogged<StartupSource>;
    return HandOut(source);
}

IBexDebugger* KernelDebugger() {
    static RecordingDebugger recording;
    if (Config(L"kernel", L"debugger", L"") == L"record") return &recording;
    return nullptr;
}

}  // namespace standin
