#include "plugins/common/kernel_calls.h"

namespace plugin {

namespace k = protocol::kernel;

k::String* RenewKernelString(protocol::PluginRef<k::String>& slot, const wchar_t* text) {
    k::String* string = RenewKernelObject(slot);
    if (string) protocol::StringSetText(string, text ? text : L"");
    return string;
}

protocol::PluginRef<> CreateByClassId(uint32_t classId) {
    IBexPlugin* object = nullptr;
    // Only a success hands over a reference.
    if (FAILED(CallHost(static_cast<int>(classId), &object))) return {};
    return protocol::PluginRef<>(object);
}

bool FetchStart(k::HttpFetch* fetch, const wchar_t* url, IBexAsyncResult* result) {
    return fetch && url && protocol::Call(k::http_fetch::kStart, fetch, url, result) != 0;
}

bool DetailsStart(k::Details* details, k::ObjectList* names, const wchar_t* kind, IBexAsyncResult* result) {
    return details && protocol::Call(k::details::kStart, details, names, kind, result) != 0;
}

protocol::PluginRef<k::details::Item> DetailsFind(k::Details* details, const wchar_t* name) {
    if (!details) return {};
    k::details::Item* raw = nullptr;
    // "Not found" hands over nothing.
    if (protocol::Call(k::details::kFind, details, name, &raw) == 0) return {};
    return protocol::PluginRef<k::details::Item>(raw);
}

protocol::PluginRef<IBexAsyncResult> CompletionInit(protocol::PluginRef<k::Completion> completion, HANDLE event,
                                                    void* context) {
    if (!completion) return {};
    protocol::Call(k::completion::kInit, completion.Get(), event, context);
    // From here on the object is what its slot 6 made it.
    return protocol::PluginRef<IBexAsyncResult>(k::As<IBexAsyncResult>(completion.Detach()));
}

}  // namespace plugin
