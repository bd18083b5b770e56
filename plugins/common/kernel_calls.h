// The kernel's objects as the plug-ins make them through their binding, and
// the typed callers of the services only the catalogue asks (fetch,
// details, completion). The callers every side shares are in
// protocol/kernel_calls.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/kernel_calls.h"
#include "protocol/plugin_ref.h"

namespace plugin {

// First form: releases and clears what `slot` holds, then BexPlugin(id,
// slot). E_FAIL when unbound; a success without an object counts as E_FAIL.
HRESULT CreateKernelObject(uint32_t classId, protocol::PluginRef<>& slot);
// Second form: the same, ignoring the result; returns what the slot holds.
IBexPlugin* RenewKernelObject(uint32_t classId, protocol::PluginRef<>& slot);
// Its string form: a class-3 string whose text is set to `text` (slot 3).
IBexPlugin* RenewKernelString(protocol::PluginRef<>& slot, const wchar_t* text);

// An object of a plug-in class asked of the kernel by its interface's class
// id (`I::kClassId`), typed as that interface; null when the kernel gives
// none, or an object of another class.
template <typename I>
protocol::PluginRef<I> CreateClassObject() {
    protocol::PluginRef<> object;
    if (FAILED(CreateKernelObject(I::kClassId, object)) || object->GetClassId() != I::kClassId) return {};
    return protocol::PluginRef<I>(static_cast<I*>(object.Detach()));
}

// 41: HTTP fetch.
bool FetchStart(IBexPlugin* fetch, const wchar_t* url, IBexAsyncResult* result);  // slot 6

// 43: details.
bool DetailsStart(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind,
                  IBexAsyncResult* result);                          // slot 3
protocol::PluginRef<> DetailsFind(IBexPlugin* details, const wchar_t* name);  // slot 4

// 406: completion.
bool CompletionInit(IBexPlugin* completion, HANDLE event, void* context);  // slot 6

}  // namespace plugin
