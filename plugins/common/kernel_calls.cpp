#include "plugins/common/kernel_calls.h"

#include <string>

#include "base/log.h"

namespace plugin {

namespace k = protocol::kernel;

k::String* RenewKernelString(protocol::PluginRef<k::String>& slot, const wchar_t* text) {
    k::String* string = RenewKernelObject(slot);
    if (string) protocol::StringSetText(string, text ? text : L"");
    return string;
}

protocol::PluginRef<> CreateByClassId(uint32_t classId) {
    IBexPlugin* object = nullptr;
    const HRESULT result = CallHost(static_cast<int>(classId), &object);
    // An unbound kernel was told once, when the binding failed.
    if (FAILED(result) && HostCallback())
        base::LogLine(L"kernel", L"class " + std::to_wstring(classId) + L" was not made");
    return protocol::Handed(SUCCEEDED(result), object);
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
    const int found = protocol::Call(k::details::kFind, details, name, &raw);
    return protocol::Handed(found != 0, raw);
}

protocol::PluginRef<IBexAsyncResult> CompletionInit(protocol::PluginRef<k::Completion> completion, HANDLE event,
                                                    void* context) {
    if (!completion) return {};
    protocol::Call(k::completion::kInit, completion.Get(), event, context);
    // From here on the object is what its slot 6 made it.
    return protocol::PluginRef<IBexAsyncResult>(k::As<IBexAsyncResult>(completion.Detach()));
}

}  // namespace plugin
