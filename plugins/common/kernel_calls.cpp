#include "plugins/common/kernel_calls.h"

#include <cwchar>

#include "plugins/common/kernel_binding.h"

namespace plugin {

namespace k = bex::kernel;

HRESULT CreateKernelObject(uint32_t classId, PluginRef<>& slot) {
    IBexPlugin** out = slot.Put();
    const HRESULT hr = CallHost(static_cast<int>(classId), out);
    if (FAILED(hr)) {
        // Only a success hands over a reference.
        *out = nullptr;
        return hr;
    }
    return slot ? hr : E_FAIL;
}

IBexPlugin* RenewKernelObject(uint32_t classId, PluginRef<>& slot) {
    CreateKernelObject(classId, slot);
    return slot.Get();
}

IBexPlugin* RenewKernelString(PluginRef<>& slot, const wchar_t* text) {
    IBexPlugin* string = RenewKernelObject(k::kString, slot);
    if (string) StringSetText(string, text ? text : L"");
    return string;
}

bool StringSetText(IBexPlugin* string, const wchar_t* text) {
    return string && CallSlot<int>(string, k::string::kSetText, text) != 0;
}

wchar_t* StringBuffer(IBexPlugin* string, int length) {
    if (!string || length < 0) return nullptr;
    return CallSlot<wchar_t*>(string, k::string::kBuffer, length);
}

bool StringEnd(IBexPlugin* string) { return string && CallSlot<int>(string, k::string::kEnd) != 0; }

std::optional<std::wstring> StringText(IBexPlugin* string) {
    if (!string) return std::nullopt;
    const wchar_t* text = CallSlot<const wchar_t*>(string, k::string::kText);
    const int length = CallSlot<int>(string, k::string::kLength);
    if (!text || length < 0) return std::nullopt;
    // The stated length bounds the read; a shorter text ends at its NUL.
    return std::wstring(text, wcsnlen(text, static_cast<size_t>(length)));
}

bool ListAppend(IBexPlugin* list, IBexPlugin* item) {
    return list && item && CallSlot<int>(list, k::object_list::kAppend, item) != 0;
}

int ListCount(IBexPlugin* list) {
    if (!list) return 0;
    const int count = CallSlot<int>(list, k::object_list::kCount);
    return count < 0 ? 0 : count;
}

PluginRef<> ListItem(IBexPlugin* list, int index) {
    PluginRef<> item;
    if (!list || index < 0) return item;
    IBexPlugin* raw = nullptr;
    if (CallSlot<int>(list, k::object_list::kItem, index, &raw) < 0) return item;
    item.Reset(raw);
    return item;
}

BYTE* BufferAllocate(IBexPlugin* buffer, int size) {
    if (!buffer || size < 0) return nullptr;
    void* data = CallSlot<void*>(buffer, k::byte_buffer::kAllocate, size);
    if (!data) return nullptr;
    if (CallSlot<int>(buffer, k::byte_buffer::kSize) != size) return nullptr;
    return static_cast<BYTE*>(data);
}

std::optional<ByteView> BufferData(IBexPlugin* buffer) {
    if (!buffer) return std::nullopt;
    const void* data = CallSlot<void*>(buffer, k::byte_buffer::kData);
    const int size = CallSlot<int>(buffer, k::byte_buffer::kSize);
    if (!data || size <= 0) return std::nullopt;
    return ByteView{static_cast<const BYTE*>(data), static_cast<size_t>(size)};
}

bool FetchStart(IBexPlugin* fetch, const wchar_t* url, IBexAsyncResult* result) {
    return fetch && url && CallSlot<int>(fetch, k::http_fetch::kStart, url, result) != 0;
}

bool DetailsStart(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind, IBexAsyncResult* result) {
    return details && CallSlot<int>(details, k::details::kStart, names, kind, result) != 0;
}

PluginRef<> DetailsFind(IBexPlugin* details, const wchar_t* name) {
    PluginRef<> item;
    if (!details) return item;
    IBexPlugin* raw = nullptr;
    if (CallSlot<int>(details, k::details::kFind, name, &raw) == 0) {
        // "Not found" hands over nothing.
        return item;
    }
    item.Reset(raw);
    return item;
}

bool CompletionInit(IBexPlugin* completion, HANDLE event, void* context) {
    if (!completion) return false;
    CallSlot<int>(completion, k::completion::kInit, event, context);
    return true;
}

}  // namespace plugin
