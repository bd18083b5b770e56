#include "companion/kernel/startup_items.h"

#include "companion/kernel/debugger_hook.h"
#include "protocol/bex_kernel.h"
#include "protocol/slot_call.h"

namespace k = bex::kernel;

namespace {

// One reference to a kernel object, released in a timing scope.
class KernelRef {
public:
    KernelRef() = default;
    ~KernelRef() { Reset(); }
    KernelRef(const KernelRef&) = delete;
    KernelRef& operator=(const KernelRef&) = delete;
    IBexPlugin* Get() const { return object_; }
    IBexPlugin** Put() {
        Reset();
        return &object_;
    }
    // A failed call hands over no reference, whatever it left in the slot.
    void Drop() { object_ = nullptr; }
    void Reset() {
        if (!object_) return;
        CTimingScope scope(object_);
        object_->Release();
        object_ = nullptr;
    }

private:
    IBexPlugin* object_ = nullptr;
};

template <typename R, typename... Args>
R Timed(IBexPlugin* object, int slot, Args... args) {
    CTimingScope scope(object);
    return bex::CallSlot<R>(object, slot, args...);
}

}  // namespace

int CountStartupItemsInState2(bex::BexPluginFn entry) {
    KernelRef list, source;
    if (entry(static_cast<int>(k::kObjectList), list.Put()) < 0) {
        list.Drop();
        return -1;
    }
    if (entry(static_cast<int>(k::kStartupItems), source.Put()) < 0) {
        source.Drop();
        return -1;
    }
    if (!list.Get() || !source.Get()) return -1;
    if (Timed<int>(source.Get(), k::startup_items::kFill, list.Get()) < 0) return -1;
    int n = Timed<int>(list.Get(), k::object_list::kCount);
    if (n > kMaxStartupItems) n = kMaxStartupItems;
    int counted = 0;
    for (int i = 0; i < n; ++i) {
        KernelRef item;
        if (Timed<int>(list.Get(), k::object_list::kItem, i, item.Put()) < 0) {
            item.Drop();
            break;
        }
        if (item.Get() && Timed<int>(item.Get(), k::startup_items::kItemState) == 2) ++counted;
    }
    return counted;
}
