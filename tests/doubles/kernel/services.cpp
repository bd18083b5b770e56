// Classes 3 (string), 4 (object list) and 7 (byte buffer).
#include "tests/doubles/kernel/services.h"

#include <string>
#include <vector>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/service_object.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct String : ServiceObject {
    std::wstring text;
    std::vector<wchar_t> buffer;
};

int BEX_CALL StringSet(k::String* self, const wchar_t* text) {
    Self<String>(self)->text = text ? text : L"";
    return 1;
}
wchar_t* BEX_CALL StringBuffer(k::String* self, int length) {
    String* s = Self<String>(self);
    if (length < 0) return nullptr;
    s->buffer.assign(static_cast<size_t>(length) + 1, L'\0');
    return s->buffer.data();
}
int BEX_CALL StringEnd(k::String* self) {
    String* s = Self<String>(self);
    if (s->buffer.empty()) return 0;
    s->buffer.back() = L'\0';
    s->text = s->buffer.data();
    return 1;
}
const wchar_t* BEX_CALL StringText(k::String* self) { return Self<String>(self)->text.c_str(); }
int BEX_CALL StringLength(k::String* self) { return static_cast<int>(Self<String>(self)->text.size()); }

struct ObjectList : ServiceObject {
    std::vector<IBexPlugin*> items;
};

void DestroyList(ServiceObject* self) {
    auto* list = static_cast<ObjectList*>(self);
    for (IBexPlugin* item : list->items) item->Release();
    delete list;
}
int BEX_CALL ListAppend(k::ObjectList* self, IBexPlugin* item) {
    if (!item) return 0;
    item->AddRef();
    Self<ObjectList>(self)->items.push_back(item);
    return 1;
}
int BEX_CALL ListCount(k::ObjectList* self) { return static_cast<int>(Self<ObjectList>(self)->items.size()); }
int BEX_CALL ListItem(k::ObjectList* self, int index, IBexPlugin** item) {
    ObjectList* list = Self<ObjectList>(self);
    if (item) *item = nullptr;
    if (!item || index < 0 || static_cast<size_t>(index) >= list->items.size()) return -1;
    *item = list->items[static_cast<size_t>(index)];
    (*item)->AddRef();
    return 0;
}

struct ByteBuffer : ServiceObject {
    std::vector<BYTE> bytes;
    bool nullData = false;  // a broken reply: no data, a size stated
    int statedSize = 0;
};

void* BEX_CALL BufferAllocate(k::ByteBuffer* self, int size) {
    ByteBuffer* b = Self<ByteBuffer>(self);
    if (size < 0) return nullptr;
    b->bytes.assign(static_cast<size_t>(size) + 1, 0);  // room for a terminator the caller may add
    b->statedSize = size;
    return b->bytes.data();
}
void* BEX_CALL BufferData(k::ByteBuffer* self) {
    ByteBuffer* b = Self<ByteBuffer>(self);
    return b->nullData || b->bytes.empty() ? nullptr : b->bytes.data();
}
int BEX_CALL BufferSize(k::ByteBuffer* self) { return Self<ByteBuffer>(self)->statedSize; }

ByteBuffer* NewByteBuffer() {
    static const SlotTable<k::byte_buffer::Of> table = [] {
        SlotTable<k::byte_buffer::Of> t;
        t.Set(k::byte_buffer::kAllocate, &BufferAllocate);
        t.Set(k::byte_buffer::kData, &BufferData);
        t.Set(k::byte_buffer::kSize, &BufferSize);
        return t;
    }();
    return NewServiceObject<ByteBuffer>(table, k::kByteBuffer);
}

}  // namespace

k::String* MakeString() {
    static const SlotTable<k::string::Of> table = [] {
        SlotTable<k::string::Of> t;
        t.Set(k::string::kSetText, &StringSet);
        t.Set(k::string::kBuffer, &StringBuffer);
        t.Set(k::string::kEnd, &StringEnd);
        t.Set(k::string::kText, &StringText);
        t.Set(k::string::kLength, &StringLength);
        return t;
    }();
    return HandOut<k::String>(NewServiceObject<String>(table, k::kString));
}

IBexPlugin* MakeObjectList() {
    static const SlotTable<k::object_list::Of> table = [] {
        SlotTable<k::object_list::Of> t;
        t.Set(k::object_list::kAppend, &ListAppend);
        t.Set(k::object_list::kCount, &ListCount);
        t.Set(k::object_list::kItem, &ListItem);
        return t;
    }();
    ObjectList* list = NewServiceObject<ObjectList>(table, k::kObjectList);
    list->destroy = &DestroyList;
    return HandOut(list);
}

k::ByteBuffer* MakeByteBuffer() { return HandOut<k::ByteBuffer>(NewByteBuffer()); }

k::ByteBuffer* MakeByteBufferWith(const std::string& bytes, bool nullData) {
    ByteBuffer* b = NewByteBuffer();
    b->bytes.assign(bytes.begin(), bytes.end());
    b->statedSize = nullData && bytes.empty() ? 16 : static_cast<int>(bytes.size());
    b->nullData = nullData;
    return HandOut<k::ByteBuffer>(b);
}

k::String* MakeStringWith(const std::wstring& text) {
    k::String* string = MakeString();
    Self<String>(string)->text = text;
    return string;
}

}  // namespace standin
