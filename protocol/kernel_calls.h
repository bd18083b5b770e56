// Typed callers of the kernel services that several classes share: strings,
// object lists, byte buffers, the value store and the numbered store,
// options, notices, statistics. Each turns a kernel answer that does not
// hold up (negative result, success without an object, null data with a
// size, a size other than asked for, a text longer than its stated length)
// into "missing"; nothing reads past a size. The object may be null: the
// call is then "missing" or "failed" without calling out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"

namespace protocol {

// 3: string.
bool StringSetText(IBexPlugin* string, const wchar_t* text);  // slot 3
wchar_t* StringBuffer(IBexPlugin* string, int length);        // slot 6: length + 1 characters
bool StringEnd(IBexPlugin* string);                           // slot 8
std::optional<std::wstring> StringText(IBexPlugin* string);   // slots 10 and 11
// A string handed over through an out-parameter, as its text; empty when
// there is none.
std::wstring TextOf(const PluginRef<>& string);

// An object a slot wrote to an out-parameter, owned only when the slot
// `succeeded`: a failure hands over nothing, whatever it wrote.
PluginRef<> Handed(bool succeeded, IBexPlugin* object);

// 4: object list.
bool ListAppend(IBexPlugin* list, IBexPlugin* item);  // slot 3
int ListCount(IBexPlugin* list);                      // slot 4; 0 when negative
PluginRef<> ListItem(IBexPlugin* list, int index);    // slot 6

// 7: byte buffer.
struct ByteView {
    const BYTE* data;
    size_t size;
};
BYTE* BufferAllocate(IBexPlugin* buffer, int size);      // slot 3, checked by slot 5
std::optional<ByteView> BufferData(IBexPlugin* buffer);  // slots 4 and 5; empty is missing
// Slots 4 and 5 where an empty buffer is a value of its own: {null, 0}.
std::optional<ByteView> BufferBytes(IBexPlugin* buffer);

// 94: value store. A get fills `buffer` (class 7) and answers its bytes,
// valid while the buffer lives; missing when the store has no such value or
// the buffer does not hold up. `extra` is written only when found.
bool ValueSet(IBexPlugin* store, int type, const wchar_t* name, const void* data, size_t size, bool large,
              uint32_t extra);                                                           // slot 5
std::optional<ByteView> ValueGet(IBexPlugin* store, int type, const wchar_t* name, IBexPlugin* buffer,
                                 uint32_t* extra);                                       // slot 6
bool ValueSetByNumber(IBexPlugin* store, int type, uint32_t number, const void* data, size_t size);  // slot 3
std::optional<ByteView> ValueGetByNumber(IBexPlugin* store, int type, uint32_t number,
                                         IBexPlugin* buffer);                                     // slot 4

// 107: numbered store, with the same rules.
bool NumberedSet(IBexPlugin* store, int type, uint32_t key, const void* data, size_t size);   // slot 3
std::optional<ByteView> NumberedGet(IBexPlugin* store, int type, uint32_t key, IBexPlugin* buffer);  // slot 4
bool NumberedClear(IBexPlugin* store, int type);                                             // slot 7

// 10: system, slot 6 with kind 16: the 16-bit system code (the system
// text it hands over is let go); 0 without an object.
WORD SystemCode(IBexPlugin* system);

// 23: shortcut, slot 5: a link's target; missing when it can't be resolved.
std::optional<std::wstring> ShortcutTarget(IBexPlugin* shortcut, const wchar_t* linkPath);

// 40: environment, slot 4: the manager's folder with its trailing
// backslash; missing when the kernel gives none.
std::optional<std::wstring> ManagerFolder(IBexPlugin* environment);

// 47: options.
std::optional<DWORD> OptionNumber(IBexPlugin* options, const wchar_t* key);           // slot 3
bool SetOptionNumber(IBexPlugin* options, const wchar_t* key, DWORD value);           // slot 4
std::optional<std::wstring> OptionText(IBexPlugin* options, const wchar_t* key);      // slot 5
bool SetOptionText(IBexPlugin* options, const wchar_t* key, const wchar_t* text);     // slot 6
bool SaveOptions(IBexPlugin* options);                                                // slot 7
// Slot 8: the cookie of a new watch, missing when none was made.
std::optional<uint32_t> WatchOption(IBexPlugin* options, const wchar_t* key, kernel::options::WatchCallback callback,
                                    void* context);
bool UnwatchOption(IBexPlugin* options, uint32_t cookie);  // slot 9

// 101: notice.
bool NoticeBegin(IBexPlugin* notice);                                  // slot 3
bool NoticeRegister(IBexPlugin* notice, HWND window, UINT message);    // slot 5
bool NoticeStart(IBexPlugin* notice, int count);                       // slot 8
PluginRef<> NoticeData(IBexPlugin* notice);                            // slot 9: a class-7 buffer
void NoticeEnd(IBexPlugin* notice);                                    // slot 4

// 51: statistics, slot 5: __cdecl, variadic with a wide format (%ls / %hs
// only); the arguments go as they are given.
template <typename... Args>
int StatisticsSend(IBexPlugin* statistics, const wchar_t* format, Args... args) {
    if (!statistics || !format) return 0;
    return Call(kernel::statistics::kSend, statistics, format, args...);
}

}  // namespace protocol
