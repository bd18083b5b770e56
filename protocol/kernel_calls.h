// Typed callers of the kernel services that several classes share: strings,
// object lists, byte buffers, the value store and the numbered store,
// options, notices, statistics. Each turns a kernel answer that does not
// hold up (negative result, success without an object, null data with a
// size, a size other than asked for, a text longer than its stated length)
// into "missing"; nothing reads past a size. Each takes the object of its
// own class (bex_kernel.h), which may be null: the call is then "missing"
// or "failed" without calling out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"

namespace protocol {

// BexPlugin(T's class id, &object) through `entry` (null: E_FAIL): `made`
// is released first, then gets the new object, typed as its class, with
// the caller's reference. A failure hands over nothing, whatever the entry
// wrote, and a success without an object is E_FAIL.
template <typename T, typename Releaser>
HRESULT CreateService(BexPluginFn entry, PluginRef<T, Releaser>& made) {
    made.Reset();
    if (!entry) return kFail;
    IBexPlugin* object = nullptr;
    const HRESULT result = ResultStatus(entry(static_cast<int>(T::kClassId), &object));
    if (FAILED(result)) return result;
    if (!object) return kFail;
    made.Reset(kernel::As<T>(object));
    return result;
}

// 3: string.
bool StringSetText(kernel::String* string, const wchar_t* text);  // slot 3
wchar_t* StringBuffer(kernel::String* string, int length);        // slot 6: length + 1 characters
bool StringEnd(kernel::String* string);                           // slot 8
std::optional<std::wstring> StringText(kernel::String* string);   // slots 10 and 11
// A string handed over through an out-parameter, as its text; empty when
// there is none.
std::wstring TextOf(const PluginRef<kernel::String>& string);

// 4: object list.
bool ListAppend(kernel::ObjectList* list, IBexPlugin* item);  // slot 3
int ListCount(kernel::ObjectList* list);                      // slot 4; 0 when negative
PluginRef<> ListItem(kernel::ObjectList* list, int index);    // slot 6
// Slot 6 of a list whose items the contract names the class of.
template <typename T>
PluginRef<T> ListItemOf(kernel::ObjectList* list, int index) {
    return PluginRef<T>(kernel::As<T>(ListItem(list, index).Detach()));
}

// 7: byte buffer.
struct ByteView {
    const BYTE* data;
    size_t size;
};
BYTE* BufferAllocate(kernel::ByteBuffer* buffer, int size);      // slot 3, checked by slot 5
std::optional<ByteView> BufferData(kernel::ByteBuffer* buffer);  // slots 4 and 5; empty is missing
// Slots 4 and 5 where an empty buffer is a value of its own: {null, 0}.
std::optional<ByteView> BufferBytes(kernel::ByteBuffer* buffer);

// 94: value store. A get fills `buffer` (class 7) and answers its bytes,
// valid while the buffer lives; missing when the store has no such value or
// the buffer does not hold up. `extra` is written only when found.
bool ValueSet(kernel::ValueStore* store, int type, const wchar_t* name, const void* data, size_t size, bool large,
              uint32_t extra);  // slot 5
std::optional<ByteView> ValueGet(kernel::ValueStore* store, int type, const wchar_t* name,
                                 kernel::ByteBuffer* buffer, uint32_t* extra);  // slot 6
bool ValueSetByNumber(kernel::ValueStore* store, int type, uint32_t number, const void* data,
                      size_t size);  // slot 3
std::optional<ByteView> ValueGetByNumber(kernel::ValueStore* store, int type, uint32_t number,
                                         kernel::ByteBuffer* buffer);  // slot 4

// 107: numbered store, with the same rules.
bool NumberedSet(kernel::NumberedStore* store, int type, uint32_t key, const void* data, size_t size);  // slot 3
std::optional<ByteView> NumberedGet(kernel::NumberedStore* store, int type, uint32_t key,
                                    kernel::ByteBuffer* buffer);  // slot 4
bool NumberedClear(kernel::NumberedStore* store, int type);      // slot 7

// 10: system, slot 6 with kind 16: the 16-bit system code (the system
// text it hands over is let go); 0 without an object.
WORD SystemCode(kernel::System* system);

// 23: shortcut, slot 5: a link's target; missing when it can't be resolved.
std::optional<std::wstring> ShortcutTarget(kernel::Shortcut* shortcut, const wchar_t* linkPath);

// 40: environment, slot 4: the manager's folder with its trailing
// backslash; missing when the kernel gives none.
std::optional<std::wstring> ManagerFolder(kernel::Environment* environment);

// 47: options.
std::optional<DWORD> OptionNumber(kernel::Options* options, const wchar_t* key);        // slot 3
bool SetOptionNumber(kernel::Options* options, const wchar_t* key, DWORD value);        // slot 4
std::optional<std::wstring> OptionText(kernel::Options* options, const wchar_t* key);   // slot 5
bool SetOptionText(kernel::Options* options, const wchar_t* key, const wchar_t* text);  // slot 6
bool SaveOptions(kernel::Options* options);                                             // slot 7
// Slot 8: the cookie of a new watch, missing when none was made.
std::optional<uint32_t> WatchOption(kernel::Options* options, const wchar_t* key,
                                    kernel::options::WatchCallback callback, void* context);
bool UnwatchOption(kernel::Options* options, uint32_t cookie);  // slot 9

// 101: notice.
bool NoticeBegin(kernel::Notice* notice);                                // slot 3
bool NoticeRegister(kernel::Notice* notice, HWND window, UINT message);  // slot 5
bool NoticeStart(kernel::Notice* notice, int count);                     // slot 8
PluginRef<kernel::ByteBuffer> NoticeData(kernel::Notice* notice);        // slot 9
void NoticeEnd(kernel::Notice* notice);                                  // slot 4

// 51: statistics, slot 5: __cdecl, variadic with a wide format (%ls / %hs
// only); the arguments go as they are given.
template <typename... Args>
int StatisticsSend(kernel::Statistics* statistics, const wchar_t* format, Args... args) {
    if (!statistics || !format) return 0;
    return Call(kernel::statistics::kSend, statistics, format, args...);
}

}  // namespace protocol
