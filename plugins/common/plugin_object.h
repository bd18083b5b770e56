// The base of every plug-in object: class id, interlocked reference count
// and one of the two release rules, and the factory that every table entry
// shares.
//
// Rule A (records, the asynchronous result): the decrement to exactly 0
// sends the -4 notice and destroys the object.
// Rule B (managers, wrappers): the decrement to 0 keeps the object (its last
// client left; the kernel still holds it) and calls the class's
// OnLastClientGone hook; only the decrement to exactly -1 sends the -4
// notice and destroys it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>

#include "base/exception_barrier.h"
#include "plugins/common/kernel_binding.h"
#include "protocol/bex_plugin.h"
#include "protocol/plugin_ref.h"

namespace plugin {

enum class ReleaseRule { A, B };

// The release rules as helpers, for classes that keep their count elsewhere
// than PluginObject does. `destroy` frees the object; `atZero` is rule B's
// hook. Both return what Release returns.
template <typename Destroy>
LONG ReleaseByRuleA(volatile LONG& count, uint32_t classId, Destroy destroy) noexcept {
    const LONG now = ::InterlockedDecrement(&count);
    if (now != 0) return now;
    NotifyDestroyed(classId);
    destroy();
    return 0;
}

template <typename Destroy, typename AtZero>
LONG ReleaseByRuleB(volatile LONG& count, uint32_t classId, Destroy destroy, AtZero atZero) noexcept {
    const LONG now = ::InterlockedDecrement(&count);
    if (now == 0) {
        atZero();
        return 0;
    }
    if (now != -1) return now;
    NotifyDestroyed(classId);
    destroy();
    return 0;
}

// CRTP base: Derived final : PluginObject<Derived, Interface, Id, Rule> (final:
// it is deleted as itself, no virtual destructor takes a slot). Derived
// has a public constructor and destructor that do not throw; a rule-B class
// may define `void OnLastClientGone() noexcept` and `void DestroySelf() noexcept`.
template <typename Derived, typename Interface, uint32_t Id, ReleaseRule Rule>
class PluginObject : public Interface {
public:
    static constexpr uint32_t kClassId = Id;

    uint32_t BEX_CALL GetClassId() noexcept override { return Id; }
    LONG BEX_CALL AddRef() noexcept override { return ::InterlockedIncrement(&count_); }
    LONG BEX_CALL Release() noexcept override {
        Derived* self = static_cast<Derived*>(this);
        auto destroy = [self] { self->DestroySelf(); };
        if constexpr (Rule == ReleaseRule::A) {
            return ReleaseByRuleA(count_, Id, destroy);
        } else {
            return ReleaseByRuleB(count_, Id, destroy, [self] { self->OnLastClientGone(); });
        }
    }

    void OnLastClientGone() noexcept {}
    // The destruction after the -4 notice. A class with threads of its own
    // hides it: the final release may come on one of them, which cannot
    // wait for itself.
    void DestroySelf() noexcept { delete static_cast<Derived*>(this); }

protected:
    PluginObject() = default;
    ~PluginObject() = default;

    volatile LONG count_ = 1;
};

// The factory of every table entry:
// 1. `out` null: E_INVALIDARG, nothing allocated.
// 2. Host callback unbound: E_OUTOFMEMORY, `*out` not written (tested before
//    allocating, so nothing leaks).
// 3. Allocate; failure: E_OUTOFMEMORY.
// 4. The -3 notice, then construct (count 1). A wrapper's constructor asks
//    the kernel for its inner object.
// 5. `*out` = the object, S_OK.
template <typename T>
HRESULT CreatePluginObject(IBexPlugin** out) noexcept {
    if (!out) return E_INVALIDARG;
    if (!HostCallback()) return E_OUTOFMEMORY;
    void* memory = ::operator new(sizeof(T), std::nothrow);
    if (!memory) return E_OUTOFMEMORY;
    NotifyCreated(T::kClassId);
    T* object = base::CallGuarded(L"plug-in factory", static_cast<T*>(nullptr), [memory] { return new (memory) T(); });
    if (!object) {
        // The notice went out: balance it.
        ::operator delete(memory);
        NotifyDestroyed(T::kClassId);
        return E_OUTOFMEMORY;
    }
    *out = object;
    return S_OK;
}

// The same for the library's own use: the new object with the caller's
// reference, null when the factory failed.
template <typename T>
protocol::PluginRef<T> NewPluginObject() noexcept {
    IBexPlugin* object = nullptr;
    const HRESULT result = CreatePluginObject<T>(&object);
    return protocol::Handed(SUCCEEDED(result), static_cast<T*>(object));
}

}  // namespace plugin
