// The kernel's service classes: objects that `BexPlugin(class id, &object)`
// makes, each an IBexPlugin owned by the caller. Per class: its id, the slot
// numbers the plug-ins rely on, and each slot's function type (the object
// first, __stdcall unless said otherwise). Slots not listed are not called.
//
// Decisions taken here where the kernel's description is silent:
// - Every slot returns a 32-bit value; "set", "append" and "started" slots
//   return non-zero for success.
// - String (3): slot 6 (n) returns a writable buffer of n+1 characters;
//   slot 8 () then sets the length from the text written into it.
// - Object list (4): slot 3 takes its own reference to the item; slot 6 gives
//   the item with a reference the caller releases.
// - Details (43): the request completes with status 1 and no result object.
// - Statistics (51): slot 5 is __cdecl (the caller pops) with a wide format.
// - Options (47): slots 3 and 5 report "found" as non-zero; slot 8's
//   callback is `void __stdcall (void* context)` and its cookie a u32.
// - Downloads (96): slot 16 returns the folder as a text the object owns.
// - Lookup (21): slot 6 takes a command line and finds the program in it;
//   its answer object has slot 11 (non-zero: valid) and slot 10 (the text);
//   `extra` is a u32 the caller ignores.
// - Browser (22): slot 4 reads the registry path "ROOT\key\value" (HKCU,
//   HKLM, HKCR; the part after the last backslash names the value, empty
//   for the default value); non-zero when found, the text in a new class-3
//   string.
#pragma once

#include <cstdint>

#include "protocol/bex_plugin.h"

namespace bex::kernel {

// Class ids of the kernel's services.
constexpr uint32_t kString = 3;
constexpr uint32_t kObjectList = 4;
constexpr uint32_t kByteBuffer = 7;
constexpr uint32_t kSystem = 10;
constexpr uint32_t kLookup = 21;
constexpr uint32_t kBrowser = 22;
constexpr uint32_t kShortcut = 23;
constexpr uint32_t kKeyword = 24;
constexpr uint32_t kImageCodec = 26;
constexpr uint32_t kEnvironment = 40;
constexpr uint32_t kHttpFetch = 41;
constexpr uint32_t kDetails = 43;
constexpr uint32_t kOptions = 47;
constexpr uint32_t kSoftware = 49;
constexpr uint32_t kStatistics = 51;
constexpr uint32_t kStartupItems = 78;
constexpr uint32_t kBitness = 81;
constexpr uint32_t kFileReader = 86;
constexpr uint32_t kNotification = 93;
constexpr uint32_t kValueStore = 94;
constexpr uint32_t kDownloads = 96;
constexpr uint32_t kSoftwareQuery = 99;
constexpr uint32_t kNotice = 101;
constexpr uint32_t kNumberedStore = 107;
constexpr uint32_t kItemList = 307;
constexpr uint32_t kEntryList = 402;
constexpr uint32_t kCompletion = 406;

// 3: string.
namespace string {
constexpr int kSetText = 3;
using SetTextFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* text);
constexpr int kBuffer = 6;
using BufferFn = wchar_t*(BEX_CALL*)(IBexPlugin* self, int length);
constexpr int kEnd = 8;
using EndFn = int(BEX_CALL*)(IBexPlugin* self);
constexpr int kText = 10;
using TextFn = const wchar_t*(BEX_CALL*)(IBexPlugin* self);
constexpr int kLength = 11;
using LengthFn = int(BEX_CALL*)(IBexPlugin* self);
}  // namespace string

// 4: object list.
namespace object_list {
constexpr int kAppend = 3;
using AppendFn = int(BEX_CALL*)(IBexPlugin* self, IBexPlugin* item);
constexpr int kCount = 4;
using CountFn = int(BEX_CALL*)(IBexPlugin* self);
constexpr int kItem = 6;  // negative: no item
using ItemFn = int(BEX_CALL*)(IBexPlugin* self, int index, IBexPlugin** item);
}  // namespace object_list

// 7: byte buffer.
namespace byte_buffer {
constexpr int kAllocate = 3;  // returns the data
using AllocateFn = void*(BEX_CALL*)(IBexPlugin* self, int size);
constexpr int kData = 4;  // null: empty
using DataFn = void*(BEX_CALL*)(IBexPlugin* self);
constexpr int kSize = 5;
using SizeFn = int(BEX_CALL*)(IBexPlugin* self);
}  // namespace byte_buffer

// 10: system. Slot 6 (16, &string) gives the system text in a new class-3
// string and returns the 16-bit system code.
namespace system_info {
constexpr int kDescribe = 6;
constexpr int kDescribeKind = 16;
using DescribeFn = int(BEX_CALL*)(IBexPlugin* self, int kind, IBexPlugin** text);
}  // namespace system_info

// 40: environment. Texts come back as new class-3 strings.
namespace environment {
constexpr int kManagerFolder = 4;  // with a trailing backslash
using ManagerFolderFn = int(BEX_CALL*)(IBexPlugin* self, IBexPlugin** folder);
constexpr int kQueryTail = 6;  // may be empty
using QueryTailFn = int(BEX_CALL*)(IBexPlugin* self, IBexPlugin** tail);
constexpr int kNumber = 7;
using NumberFn = int(BEX_CALL*)(IBexPlugin* self);
constexpr int kMayQuery = 12;  // non-zero: queries to the servers are allowed
using MayQueryFn = int(BEX_CALL*)(IBexPlugin* self);
}  // namespace environment

// 94: value store. Values have a type and a number or a name; a value kept by
// name carries a 32-bit extra value and a large flag (1: the value may be
// big). Get allocates the byte buffer (class 7) to the value's size.
// Decided here: set returns non-zero when kept; get returns a negative value
// when the value is missing and leaves `extra` alone then.
namespace value_store {
constexpr int kSetByNumber = 3;
using SetByNumberFn = int(BEX_CALL*)(IBexPlugin* self, int type, uint32_t number, const void* data, int size,
                                     int reserved1, int reserved2);
constexpr int kGetByNumber = 4;
using GetByNumberFn = int(BEX_CALL*)(IBexPlugin* self, int type, uint32_t number, IBexPlugin* buffer,
                                     int reserved);
constexpr int kSet = 5;
using SetFn = int(BEX_CALL*)(IBexPlugin* self, int type, const wchar_t* name, const void* data, int size,
                             int large, uint32_t extra);
constexpr int kGet = 6;
using GetFn = int(BEX_CALL*)(IBexPlugin* self, int type, const wchar_t* name, IBexPlugin* buffer,
                             uint32_t* extra);
}  // namespace value_store
// 21: lookup.
namespace lookup {
constexpr int kFind = 6;
using FindFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* text, IBexPlugin** found, uint32_t* extra);
constexpr int kFoundText = 10;
constexpr int kFoundValid = 11;
}  // namespace lookup

// 22: browser.
namespace browser {
constexpr int kReadRegistry = 4;
using ReadRegistryFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* path, int zero, IBexPlugin** text);
}  // namespace browser

// 23: shortcut. Slot 5 (link path, &str) >= 0: the link's target in a new
// class-3 string.
namespace shortcut {
constexpr int kTarget = 5;
using TargetFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* linkPath, IBexPlugin** target);
}  // namespace shortcut

// 47: options. Slot 3 (key, &dword) non-zero: found and written.
// Slot 5 (key, &str) non-zero: found, the text in a new class-3 string.
// Slots 4 and 6 write; slot 7 () saves. Slot 8 (key, callback, context,
// &cookie) non-zero: the watch is made and `callback(context)` runs (on a
// thread of the store's) whenever the key's value changes; slot 9 (cookie)
// ends the watch.
namespace options {
constexpr int kGetNumber = 3;
using GetNumberFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* key, DWORD* value);
constexpr int kSetNumber = 4;
using SetNumberFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* key, DWORD value);
constexpr int kGetText = 5;
using GetTextFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* key, IBexPlugin** text);
constexpr int kSetText = 6;
using SetTextFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* key, const wchar_t* text);
constexpr int kSave = 7;
using SaveFn = int(BEX_CALL*)(IBexPlugin* self);
using WatchCallback = void(BEX_CALL*)(void* context);
constexpr int kWatch = 8;
using WatchFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* key, WatchCallback callback, void* context,
                               uint32_t* cookie);
constexpr int kUnwatch = 9;
using UnwatchFn = int(BEX_CALL*)(IBexPlugin* self, uint32_t cookie);
}  // namespace options

// 96: downloads. Slot 16 () the download folder, a text the object owns
// (valid while it lives); null: none.
namespace downloads {
constexpr int kFolder = 16;
using FolderFn = const wchar_t*(BEX_CALL*)(IBexPlugin* self);
}  // namespace downloads

// The image type of classes 26 and 93: an HBITMAP of a 32-bit top-down DIB
// section with premultiplied alpha (as PNG decoding gives it); the caller
// owns and deletes every image it is handed.

// 26: image codec. Slot 3 (data, size) decodes a PNG, null on failure;
// slot 4 (image, path) saves it as a PNG file, non-zero: saved.
namespace image_codec {
constexpr int kDecode = 3;
using DecodeFn = HBITMAP(BEX_CALL*)(IBexPlugin* self, const void* data, int size);
constexpr int kSave = 4;
using SaveFn = int(BEX_CALL*)(IBexPlugin* self, HBITMAP image, const wchar_t* path);
}  // namespace image_codec

// 93: notification. Slot 6 (wide path of a PNG file) gives the picture as an
// image, null on failure; slot 7 (images, count, path) takes the images
// (any of them may be null) for the duration of the call.
namespace notification {
constexpr int kImageFromFile = 6;
using ImageFromFileFn = HBITMAP(BEX_CALL*)(IBexPlugin* self, const wchar_t* pngPath);
constexpr int kShow = 7;
using ShowFn = int(BEX_CALL*)(IBexPlugin* self, HBITMAP* images, int count, const wchar_t* path);
}  // namespace notification

// 101: notice. Slot 3 () true: usable; 5 (window, message) registers the
// window for the message; 8 (n) non-zero: started; 9 (&buffer, 0) a class-7
// buffer of 32-bit entries; 4 () ends the registration.
namespace notice {
constexpr int kBegin = 3;
constexpr int kEnd = 4;
constexpr int kRegister = 5;
using RegisterFn = int(BEX_CALL*)(IBexPlugin* self, HWND window, UINT message);
constexpr int kStart = 8;
constexpr int kData = 9;
using DataFn = int(BEX_CALL*)(IBexPlugin* self, IBexPlugin** buffer, int reserved);
constexpr UINT kMessage = 2026;
constexpr WPARAM kDataReady = 17;
}  // namespace notice

// 41: HTTP fetch. Non-zero: started; the kernel completes the result with
// status 1 and a byte buffer (class 7) holding the reply's body.
namespace http_fetch {
constexpr int kStart = 6;
using StartFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* url, IBexAsyncResult* result);
}  // namespace http_fetch

// 43: details. Start takes an object list (class 4) of strings (class 3),
// one name each, and completes the result with status 1 and no object.
namespace details {
constexpr int kStart = 3;
using StartFn = int(BEX_CALL*)(IBexPlugin* self, IBexPlugin* names, const wchar_t* kind,
                               IBexAsyncResult* result);
constexpr int kFind = 4;  // non-zero: found
using FindFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* name, IBexPlugin** item);
// Texts of a found item, slots 3, 4 and 5.
constexpr int kItemText1 = 3;
constexpr int kItemText2 = 4;
constexpr int kItemText3 = 5;
using ItemTextFn = const wchar_t*(BEX_CALL*)(IBexPlugin* item);
}  // namespace details

// 51: statistics. The only __cdecl slot: variadic, the caller pops.
namespace statistics {
constexpr int kSend = 5;
using SendFn = int(__cdecl*)(IBexPlugin* self, const wchar_t* format, ...);
}  // namespace statistics

// 49: software. Slot 3 must answer true before the catalogue may start.
namespace software {
constexpr int kReady = 3;
using ReadyFn = int(BEX_CALL*)(IBexPlugin* self);
}  // namespace software

// 81: bitness. Slot 3 answers true on a 64-bit system.
namespace bitness {
constexpr int kIs64Bit = 3;
using Is64BitFn = int(BEX_CALL*)(IBexPlugin* self);
}  // namespace bitness

// 99: software query. Slot 3 (0, 0) answers true when the query may be
// told; slot 31 takes a soft id, eleven texts of its list record (vname,
// durls, uurls, dname, args, hint2, pname, os, ver, size text, shell) and a
// final 0.
namespace software_query {
constexpr int kReady = 3;
using ReadyFn = int(BEX_CALL*)(IBexPlugin* self, int reserved1, int reserved2);
constexpr int kTell = 31;
using TellFn = int(BEX_CALL*)(IBexPlugin* self, uint32_t softId, const wchar_t* vname, const wchar_t* durls,
                              const wchar_t* uurls, const wchar_t* dname, const wchar_t* args, const wchar_t* hint2,
                              const wchar_t* pname, const wchar_t* os, const wchar_t* ver, const wchar_t* sizeText,
                              const wchar_t* shell, int reserved);
}  // namespace software_query

// 24: keyword. Slot 3 (keyword, &object) non-zero with an object: its slot
// 4 gives the keyword as 8-bit text escaped for a URL, valid while the
// object lives.
namespace keyword {
constexpr int kMake = 3;
using MakeFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* keyword, IBexPlugin** object);
constexpr int kUrlText = 4;
using UrlTextFn = const char*(BEX_CALL*)(IBexPlugin* object);
}  // namespace keyword

// 86: file reader. Slot 3 gives the file's text (UTF-8, or UTF-16 with its
// mark) in a new class-3 string; non-zero when read.
namespace file_reader {
constexpr int kRead = 3;
using ReadFn = int(BEX_CALL*)(IBexPlugin* self, const wchar_t* path, IBexPlugin** text);
}  // namespace file_reader

// 107: numbered store: values by type and 32-bit key. Get allocates the
// byte buffer (class 7) to the value's size and returns the size, negative
// when missing; slot 7 removes every value of a type.
namespace numbered_store {
constexpr int kSet = 3;
using SetFn = int(BEX_CALL*)(IBexPlugin* self, int type, uint32_t key, const void* data, int size, int reserved1,
                             int reserved2);
constexpr int kGet = 4;
using GetFn = int(BEX_CALL*)(IBexPlugin* self, int type, uint32_t key, IBexPlugin* buffer, int reserved);
constexpr int kClear = 7;
using ClearFn = int(BEX_CALL*)(IBexPlugin* self, int type);
}  // namespace numbered_store

// 406: completion. Slot 6 makes the object an IBexAsyncResult that sets
// `event` when completed and answers `context` from GetContext.
namespace completion {
constexpr int kInit = 6;
using InitFn = int(BEX_CALL*)(IBexPlugin* self, HANDLE event, void* context);
}  // namespace completion

}  // namespace bex::kernel

namespace bex::kernel {

// 78: start-up items. Slot 3 appends one class-4 list entry per item; an
// item's slot 9 answers its state.
namespace startup_items {
constexpr int kFill = 3;
using FillFn = int(BEX_CALL*)(IBexPlugin* self, IBexPlugin* list);
constexpr int kItemState = 9;
using ItemStateFn = int(BEX_CALL*)(IBexPlugin* item);
}  // namespace startup_items

}  // namespace bex::kernel
