// Owning reference to an object of the border: releases it on every path,
// through `Releaser` (a caller that times every call into the kernel times
// the release too).
#pragma once

#include <type_traits>
#include <utility>

#include "protocol/bex_plugin.h"

namespace protocol {

struct PlainRelease {
    template <typename T>
    void operator()(T* object) const noexcept {
        object->Release();
    }
};

template <typename T = IBexPlugin, typename Releaser = PlainRelease>
class PluginRef {
public:
    PluginRef() noexcept = default;
    // Takes over one reference the caller owns.
    explicit PluginRef(T* object) noexcept : p_(object) {}
    ~PluginRef() { Reset(); }

    PluginRef(PluginRef&& other) noexcept : p_(other.Detach()) {}
    PluginRef& operator=(PluginRef&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    PluginRef(const PluginRef&) = delete;
    PluginRef& operator=(const PluginRef&) = delete;

    // A new reference of its own to `object`.
    static PluginRef AddRefed(T* object) noexcept {
        if (object) object->AddRef();
        return PluginRef(object);
    }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    // Takes over one reference the caller owns, also to the object already
    // held: that one then holds two, and the older goes.
    void Reset(T* object = nullptr) noexcept {
        T* old = std::exchange(p_, object);
        if (old) Releaser()(old);
    }
    // For out-parameters: releases what was held.
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    // The same, typed as BexPlugin's creation argument.
    IBexPlugin** PutPlugin() noexcept {
        static_assert(std::is_base_of<IBexPlugin, T>::value, "an object of the border");
        Reset();
        return reinterpret_cast<IBexPlugin**>(&p_);
    }

private:
    T* p_ = nullptr;
};

// An object a call wrote to an out-parameter, owned only when the call
// `succeeded`: a failure hands over nothing, whatever it wrote. Every
// caller of the border takes its objects through this one rule.
template <typename T, typename Releaser = PlainRelease>
PluginRef<T, Releaser> Handed(bool succeeded, T* object) noexcept {
    return succeeded ? PluginRef<T, Releaser>(object) : PluginRef<T, Releaser>();
}

}  // namespace protocol
