#include "plugins/common/kernel_calls.h"

#include "plugins/common/kernel_binding.h"

namespace plugin {

namespace k = bex::kernel;

HRESULT CreateKernelObject(uint32_t classId, bex::PluginRef<>& slot) {
    IBexPlugin** out = slot.Put();
    const HRESULT hr = CallHost(static_cast<int>(classId), out);
    if (FAILED(hr)) {
        // Only a success hands over a reference.
        *out = nullptr;
        return hr;
    }
    return slot ? hr : E_FAIL;
}

IBexPlugin* RenewKernelObject(uint32_t classId, bex::PluginRef<>& slot) {
    CreateKernelObject(classId, slot);
    return slot.Get();
}

IBexPlugin* RenewKernelString(bex::PluginRef<>& slot, const wchar_t* text) {
    IBexPlugin* string = RenewKernelObject(k::kString, slot);
    if (string) bex::StringSetText(string, text ? text : L"");
    return string;
}

bool FetchStart(IBexPlugin* fetch, const wchar_t* url, IBexAsyncResult* result) {
    return fetch && url && bex::Call(k::http_fetch::kStart, fetch, url, result) != 0;
}

bool DetailsStart(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind, IBexAsyncResult* result) {
    return details && bex::Call(k::details::kStart, details, names, kind, result) != 0;
}

bex::PluginRef<> DetailsFind(IBexPlugin* details, const wchar_t* name) {
    if (!details) return {};
    IBexPlugin* raw = nullptr;
    // "Not found" hands over nothing.
    if (bex::Call(k::details::kFind, details, name, &raw) == 0) return {};
    return bex::PluginRef<>(raw);
}

bool CompletionInit(IBexPlugin* completion, HANDLE event, void* context) {
    if (!completion) return false;
    bex::Call(k::completion::kInit, completion, event, context);
    return true;
}

}  // namespace plugin
