#include "plugins/common/kernel_calls.h"

#include "plugins/common/kernel_binding.h"

namespace plugin {

namespace k = protocol::kernel;

HRESULT CreateKernelObject(uint32_t classId, protocol::PluginRef<>& slot) {
    IBexPlugin** out = slot.Put();
    const HRESULT hr = CallHost(static_cast<int>(classId), out);
    if (FAILED(hr)) {
        // Only a success hands over a reference.
        *out = nullptr;
        return hr;
    }
    return slot ? hr : E_FAIL;
}

IBexPlugin* RenewKernelObject(uint32_t classId, protocol::PluginRef<>& slot) {
    CreateKernelObject(classId, slot);
    return slot.Get();
}

IBexPlugin* RenewKernelString(protocol::PluginRef<>& slot, const wchar_t* text) {
    IBexPlugin* string = RenewKernelObject(k::kString, slot);
    if (string) protocol::StringSetText(string, text ? text : L"");
    return string;
}

bool FetchStart(IBexPlugin* fetch, const wchar_t* url, IBexAsyncResult* result) {
    return fetch && url && protocol::Call(k::http_fetch::kStart, fetch, url, result) != 0;
}

bool DetailsStart(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind, IBexAsyncResult* result) {
    return details && protocol::Call(k::details::kStart, details, names, kind, result) != 0;
}

protocol::PluginRef<> DetailsFind(IBexPlugin* details, const wchar_t* name) {
    if (!details) return {};
    IBexPlugin* raw = nullptr;
    // "Not found" hands over nothing.
    if (protocol::Call(k::details::kFind, details, name, &raw) == 0) return {};
    return protocol::PluginRef<>(raw);
}

bool CompletionInit(IBexPlugin* completion, HANDLE event, void* context) {
    if (!completion) return false;
    protocol::Call(k::completion::kInit, completion, event, context);
    return true;
}

}  // namespace plugin
