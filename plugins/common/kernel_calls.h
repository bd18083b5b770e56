// Calls into the kernel's service objects by slot number, and the typed
// callers the plug-ins use. Each typed caller turns a kernel answer that
// does not hold up (negative result, success without an object, null data
// with a size, a size other than asked for, a text longer than its stated
// length) into "missing"; nothing reads past a size.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "plugins/common/plugin_ref.h"
#include "protocol/bex_kernel.h"
#include "protocol/slot_call.h"

namespace plugin {

using bex::CallSlot;

// First form: releases and clears what `slot` holds, then BexPlugin(id,
// slot). E_FAIL when unbound; a success without an object counts as E_FAIL.
HRESULT CreateKernelObject(uint32_t classId, PluginRef<>& slot);
// Second form: the same, ignoring the result; returns what the slot holds.
IBexPlugin* RenewKernelObject(uint32_t classId, PluginRef<>& slot);
// Its string form: a class-3 string whose text is set to `text` (slot 3).
IBexPlugin* RenewKernelString(PluginRef<>& slot, const wchar_t* text);

// 3: string.
bool StringSetText(IBexPlugin* string, const wchar_t* text);            // slot 3
wchar_t* StringBuffer(IBexPlugin* string, int length);                  // slot 6: length + 1 characters
bool StringEnd(IBexPlugin* string);                                     // slot 8
std::optional<std::wstring> StringText(IBexPlugin* string);             // slots 10 and 11

// 4: object list.
bool ListAppend(IBexPlugin* list, IBexPlugin* item);                    // slot 3
int ListCount(IBexPlugin* list);                                        // slot 4; 0 when negative
PluginRef<> ListItem(IBexPlugin* list, int index);                      // slot 6

// 7: byte buffer.
struct ByteView {
    const BYTE* data;
    size_t size;
};
BYTE* BufferAllocate(IBexPlugin* buffer, int size);                     // slot 3, checked by slot 5
std::optional<ByteView> BufferData(IBexPlugin* buffer);                 // slots 4 and 5; empty is missing

// 41: HTTP fetch.
bool FetchStart(IBexPlugin* fetch, const wchar_t* url, IBexAsyncResult* result);  // slot 6

// 43: details.
bool DetailsStart(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind,
                  IBexAsyncResult* result);                              // slot 3
PluginRef<> DetailsFind(IBexPlugin* details, const wchar_t* name);      // slot 4

// 406: completion.
bool CompletionInit(IBexPlugin* completion, HANDLE event, void* context);  // slot 6

// 51: statistics, slot 5: __cdecl, variadic with a wide format (%ls / %hs
// only).
template <typename... Args>
int StatisticsSend(IBexPlugin* statistics, const wchar_t* format, Args... args) {
    void* const* table = *reinterpret_cast<void* const* const*>(statistics);
    const auto send = reinterpret_cast<bex::kernel::statistics::SendFn>(table[bex::kernel::statistics::kSend]);
    return send(statistics, format, args...);
}

}  // namespace plugin
