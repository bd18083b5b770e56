#include "protocol/kernel_calls.h"

#include <climits>
#include <cwchar>

namespace protocol {

namespace k = kernel;

namespace {

// A size the kernel's 32-bit parameters can carry.
bool FitsInt(size_t size) { return size <= static_cast<size_t>(INT_MAX); }

}  // namespace

bool StringSetText(k::String* string, const wchar_t* text) {
    return string && Call(k::string::kSetText, string, text) != 0;
}

wchar_t* StringBuffer(k::String* string, int length) {
    if (!string || length < 0) return nullptr;
    return Call(k::string::kBuffer, string, length);
}

bool StringEnd(k::String* string) { return string && Call(k::string::kEnd, string) != 0; }

std::optional<std::wstring> StringText(k::String* string) {
    if (!string) return std::nullopt;
    const wchar_t* text = Call(k::string::kText, string);
    const int length = Call(k::string::kLength, string);
    if (!text || length < 0) return std::nullopt;
    // The stated length bounds the read; a shorter text ends at its NUL.
    return std::wstring(text, wcsnlen(text, static_cast<size_t>(length)));
}

std::wstring TextOf(const PluginRef<k::String>& string) {
    if (!string) return std::wstring();
    return StringText(string.Get()).value_or(std::wstring());
}

bool ListAppend(k::ObjectList* list, IBexPlugin* item) {
    return list && item && Call(k::object_list::kAppend, list, item) != 0;
}

int ListCount(k::ObjectList* list) {
    if (!list) return 0;
    const int count = Call(k::object_list::kCount, list);
    return count < 0 ? 0 : count;
}

PluginRef<> ListItem(k::ObjectList* list, int index) {
    if (!list || index < 0) return PluginRef<>();
    IBexPlugin* raw = nullptr;
    const int result = Call(k::object_list::kItem, list, index, &raw);
    return Handed(result >= 0, raw);
}

BYTE* BufferAllocate(k::ByteBuffer* buffer, int size) {
    if (!buffer || size < 0) return nullptr;
    void* data = Call(k::byte_buffer::kAllocate, buffer, size);
    if (!data) return nullptr;
    if (Call(k::byte_buffer::kSize, buffer) != size) return nullptr;
    return static_cast<BYTE*>(data);
}

std::optional<ByteView> BufferBytes(k::ByteBuffer* buffer) {
    if (!buffer) return std::nullopt;
    const void* data = Call(k::byte_buffer::kData, buffer);
    const int size = Call(k::byte_buffer::kSize, buffer);
    if (size < 0 || (size > 0 && !data)) return std::nullopt;
    if (size == 0) return ByteView{nullptr, 0};
    return ByteView{static_cast<const BYTE*>(data), static_cast<size_t>(size)};
}

std::optional<ByteView> BufferData(k::ByteBuffer* buffer) {
    const std::optional<ByteView> bytes = BufferBytes(buffer);
    if (!bytes || bytes->size == 0) return std::nullopt;
    return bytes;
}

bool ValueSet(k::ValueStore* store, int type, const wchar_t* name, const void* data, size_t size, bool large,
              uint32_t extra) {
    if (!store || !name || !FitsInt(size)) return false;
    return Call(k::value_store::kSet, store, type, name, data, static_cast<int>(size), large ? 1 : 0, extra) != 0;
}

std::optional<ByteView> ValueGet(k::ValueStore* store, int type, const wchar_t* name, k::ByteBuffer* buffer,
                                 uint32_t* extra) {
    if (!store || !name || !buffer) return std::nullopt;
    uint32_t got = 0;
    if (Call(k::value_store::kGet, store, type, name, buffer, &got) < 0) return std::nullopt;
    const std::optional<ByteView> bytes = BufferBytes(buffer);
    if (bytes && extra) *extra = got;
    return bytes;
}

bool ValueSetByNumber(k::ValueStore* store, int type, uint32_t number, const void* data, size_t size) {
    if (!store || !FitsInt(size)) return false;
    return Call(k::value_store::kSetByNumber, store, type, number, data, static_cast<int>(size), 0, 0) != 0;
}

std::optional<ByteView> ValueGetByNumber(k::ValueStore* store, int type, uint32_t number,
                                         k::ByteBuffer* buffer) {
    if (!store || !buffer) return std::nullopt;
    if (Call(k::value_store::kGetByNumber, store, type, number, buffer, 0) < 0) return std::nullopt;
    return BufferBytes(buffer);
}

bool NumberedSet(k::NumberedStore* store, int type, uint32_t key, const void* data, size_t size) {
    if (!store || !FitsInt(size)) return false;
    return Call(k::numbered_store::kSet, store, type, key, data, static_cast<int>(size), 0, 0) != 0;
}

std::optional<ByteView> NumberedGet(k::NumberedStore* store, int type, uint32_t key, k::ByteBuffer* buffer) {
    if (!store || !buffer) return std::nullopt;
    if (Call(k::numbered_store::kGet, store, type, key, buffer, 0) < 0) return std::nullopt;
    return BufferBytes(buffer);
}

bool NumberedClear(k::NumberedStore* store, int type) {
    return store && Call(k::numbered_store::kClear, store, type) != 0;
}

WORD SystemCode(k::System* system) {
    if (!system) return 0;
    k::String* text = nullptr;
    const int code = Call(k::system_info::kDescribe, system, k::system_info::kDescribeKind, &text);
    // The text comes with the code, asked for or not.
    PluginRef<k::String> dropped(text);
    return static_cast<WORD>(code & 0xFFFF);
}

std::optional<std::wstring> ShortcutTarget(k::Shortcut* shortcut, const wchar_t* linkPath) {
    if (!shortcut) return std::nullopt;
    k::String* raw = nullptr;
    const int result = Call(k::shortcut::kTarget, shortcut, linkPath, &raw);
    const PluginRef<k::String> target = Handed(result >= 0, raw);
    if (!target) return std::nullopt;
    return StringText(target.Get());
}

std::optional<std::wstring> ManagerFolder(k::Environment* environment) {
    if (!environment) return std::nullopt;
    k::String* raw = nullptr;
    const int result = Call(k::environment::kManagerFolder, environment, &raw);
    const PluginRef<k::String> folder = Handed(result >= 0, raw);
    if (!folder) return std::nullopt;
    return StringText(folder.Get());
}

std::optional<DWORD> OptionNumber(k::Options* options, const wchar_t* key) {
    if (!options) return std::nullopt;
    DWORD value = 0;
    if (Call(k::options::kGetNumber, options, key, &value) == 0) return std::nullopt;
    return value;
}

bool SetOptionNumber(k::Options* options, const wchar_t* key, DWORD value) {
    return options && Call(k::options::kSetNumber, options, key, value) != 0;
}

std::optional<std::wstring> OptionText(k::Options* options, const wchar_t* key) {
    if (!options) return std::nullopt;
    k::String* raw = nullptr;
    const int found = Call(k::options::kGetText, options, key, &raw);
    const PluginRef<k::String> text = Handed(found != 0, raw);
    if (!text) return std::nullopt;
    return StringText(text.Get());
}

bool SetOptionText(k::Options* options, const wchar_t* key, const wchar_t* text) {
    return options && Call(k::options::kSetText, options, key, text) != 0;
}

bool SaveOptions(k::Options* options) { return options && Call(k::options::kSave, options) != 0; }

std::optional<uint32_t> WatchOption(k::Options* options, const wchar_t* key, k::options::WatchCallback callback,
                                    void* context) {
    if (!options || !callback) return std::nullopt;
    uint32_t cookie = 0;
    if (Call(k::options::kWatch, options, key, callback, context, &cookie) == 0) return std::nullopt;
    return cookie;
}

bool UnwatchOption(k::Options* options, uint32_t cookie) {
    return options && Call(k::options::kUnwatch, options, cookie) != 0;
}

bool NoticeBegin(k::Notice* notice) { return notice && Call(k::notice::kBegin, notice) != 0; }

bool NoticeRegister(k::Notice* notice, HWND window, UINT message) {
    return notice && Call(k::notice::kRegister, notice, window, message) != 0;
}

bool NoticeStart(k::Notice* notice, int count) { return notice && Call(k::notice::kStart, notice, count) != 0; }

PluginRef<k::ByteBuffer> NoticeData(k::Notice* notice) {
    if (!notice) return PluginRef<k::ByteBuffer>();
    k::ByteBuffer* raw = nullptr;
    const int result = Call(k::notice::kData, notice, &raw, 0);
    return Handed(result >= 0, raw);
}

void NoticeEnd(k::Notice* notice) {
    if (notice) Call(k::notice::kEnd, notice);
}

}  // namespace protocol
