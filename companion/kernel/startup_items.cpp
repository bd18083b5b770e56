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
        protocol::PlainRelease()(object);
    }
};
template <typename T>
using KernelRef = protocol::PluginRef<T, TimedRelease>;

template <typename S, typename... Args>
typename S::Result Timed(S slot, typename S::Object* object, Args... args) {
    CTimingScope scope(object);
    return protocol::Call(slot, object, args...);
}

// A new object of class T; empty when the kernel gives none (a failure
// hands over no reference, whatever it left in the slot).
template <typename T>
KernelRef<T> Create(protocol::BexPluginFn entry) {
    KernelRef<T> object;
    protocol::CreateService(entry, object);
    return object;
}

}  // namespace

int CountStartupItemsInState2(protocol::BexPluginFn entry) {
    const KernelRef<k::ObjectList> list = Create<k::ObjectList>(entry);
    if (!list) return -1;
    const KernelRef<k::StartupItems> source = Create<k::StartupItems>(entry);
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
        const bool listed = Timed(k::object_list::kItem, list.Get(), i, &raw) >= 0;
        // The list holds what the start-up items' slot 3 put in it.
        const KernelRef<k::startup_items::Item> item =
            protocol::Handed<k::startup_items::Item, TimedRelease>(listed, k::As<k::startup_items::Item>(raw));
        if (!listed) break;
        if (item && Timed(k::startup_items::kItemState, item.Get()) == 2) ++counted;
    }
    return counted;
}

}  // namespace companion
