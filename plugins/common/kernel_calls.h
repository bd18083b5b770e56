// The kernel's objects as the plug-ins make them through their binding, and
// the typed callers of the services only the catalogue asks (fetch,
// details, completion). The callers every side shares are in
// protocol/kernel_calls.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugins/common/kernel_binding.h"
#include "protocol/kernel_calls.h"
#include "protocol/plugin_ref.h"

namespace plugin {

// First form, for a class of the kernel's own (bex_kernel.h): releases and
// clears what `slot` holds, then BexPlugin(T's class id, slot); the class
// is the slot's type. E_FAIL when unbound; a success without an object
// counts as E_FAIL.
template <typename T>
HRESULT CreateKernelObject(protocol::PluginRef<T>& slot) {
    return protocol::CreateService(HostCallback(), slot);
}
// Second form: the same, ignoring the result; returns what the slot holds.
template <typename T>
T* RenewKernelObject(protocol::PluginRef<T>& slot) {
    CreateKernelObject(slot);
    return slot.Get();
}
// Its string form: a class-3 string whose text is set to `text` (slot 3).
protocol::kernel::String* RenewKernelString(protocol::PluginRef<protocol::kernel::String>& slot, const wchar_t* text);

// An object asked of the kernel by class id, as the border's plain
// IBexPlugin: for a plug-in class, whose object the kernel serves is the
// kernel's choice, and the caller recognises its own. Null when the kernel
// gives none.
protocol::PluginRef<> CreateByClassId(uint32_t classId);

// The same, typed as the interface `I` (`I::kClassId`) when the object
// answers that class id; null otherwise.
template <typename I>
protocol::PluginRef<I> CreateClassObject() {
    protocol::PluginRef<> object = CreateByClassId(I::kClassId);
    if (!object || object->GetClassId() != I::kClassId) return {};
    return protocol::PluginRef<I>(static_cast<I*>(object.Detach()));
}

// 41: HTTP fetch.
bool FetchStart(protocol::kernel::HttpFetch* fetch, const wchar_t* url, IBexAsyncResult* result);  // slot 6

// 43: details.
bool DetailsStart(protocol::kernel::Details* details, protocol::kernel::ObjectList* names, const wchar_t* kind,
                  IBexAsyncResult* result);  // slot 3
protocol::PluginRef<protocol::kernel::details::Item> DetailsFind(protocol::kernel::Details* details,
                                                                 const wchar_t* name);  // slot 4

// 406: completion, slot 6: the object, made an IBexAsyncResult that sets
// `event` and answers `context`; null without one.
protocol::PluginRef<IBexAsyncResult> CompletionInit(protocol::PluginRef<protocol::kernel::Completion> completion,
                                                    HANDLE event, void* context);

}  // namespace plugin
