#include "companion/kernel/startup_items.h"

#include "companion/kernel/debugger_hook.h"
#include "protocol/bex_kernel.h"
#include "protocol/kernel_calls.h"
#include "protocol/plugin_ref.h"

namespace companion {

namespace k = protocol::kernel;

namespace {

// Every call into a kernel object is timed, its release too.
struct TimedRelease {
    void operator()(IBexPlugin* object) const noexcept {
        CTimingScope scope(object);
        object->Release();
    }
};
using KernelRef = protocol::PluginRef<IBexPlugin, TimedRelease>;

template <typename S, typename... Args>
typename S::Result Timed(S slot, IBexPlugin* object, Args... args) {
    CTimingScope scope(object);
    return protocol::Call(slot, object, args...);
}

// A new object of `classId`; empty when the kernel gives none (a failure
// hands over no reference, whatever it left in the slot).
KernelRef Create(protocol::BexPluginFn entry, uint32_t classId) {
    IBexPlugin* object = nullptr;
    if (entry(static_cast<int>(classId), &object) < 0) return KernelRef();
    return KernelRef(object);
}

}  // namespace

int CountStartupItemsInState2(protocol::BexPluginFn entry) {
    const KernelRef list = Create(entry, k::kObjectList);
    if (!list) return -1;
    const KernelRef source = Create(entry, k::kStartupItems);
    if (!source) return -1;
    if (Timed(k::startup_items::kFill, source.Get(), list.Get()) < 0) return -1;
    int n = 0;
    {
        CTimingScope scope(list.Get());
        n = protocol::ListCount(list.Get());
    }
    if (n > kMaxStartupItems) n = kMaxStartupItems;
    int counted = 0;
    for (int i = 0; i < n; ++i) {
        IBexPlugin* raw = nullptr;
        if (Timed(k::object_list::kItem, list.Get(), i, &raw) < 0) break;
        const KernelRef item(raw);
        if (item && Timed(k::startup_items::kItemState, item.Get()) == 2) ++counted;
    }
    return counted;
}

}  // namespace companion
