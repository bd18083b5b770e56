// The kernel's service classes: objects that `BexPlugin(class id, &object)`
// makes, each an IBexPlugin owned by the caller. Per class: its id and one
// `protocol::Slot` per slot the plug-ins and Corvalle rely on (slot_call.h), the
// only way to call it. The stand-in kernel of the tests registers its
// services through the same constants. Slots not listed are not called.
//
// What both sides assume where the kernel leaves a detail open:
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
#include "protocol/slot_call.h"

namespace protocol::kernel {

// An object of one kernel class, and the interface of that class's slots.
// It is the IBexPlugin the kernel hands out, the very pointer, typed by its
// class: only that class's slots and the callers written for it take it,
// one class's object converts to no other's, and a plain IBexPlugin to
// none. Nothing on this side makes one or derives from one; an object gets
// its type where the kernel made it for that class id (CreateService,
// kernel_calls.h), where a slot's declaration says what it hands out, or
// through As below.
template <uint32_t Id>
struct Service : IBexPlugin {
    using Object = Service;
    static constexpr uint32_t kClassId = Id;
    Service() = delete;
};
// An object a service hands out that is no class of its own (an item, an
// answer), typed as that kind of its owner's.
template <uint32_t OwnerId, int Kind = 0>
struct Part : IBexPlugin {
    using Object = Part;
    static constexpr uint32_t kOwnerId = OwnerId;
    Part() = delete;
};

// An object of the border as the class or part that the contract says it
// is where no declaration can: an item of a list whose items the contract
// names (strings, start-up items), an object handed in through a slot of
// ours (a client's id buffer, a request's reply). Unchecked, as every
// answer of the kernel is; the very pointer.
template <typename T>
T* As(IBexPlugin* object) {
    return static_cast<T*>(object);
}

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

using String = Service<kString>;
using ObjectList = Service<kObjectList>;
using ByteBuffer = Service<kByteBuffer>;
using System = Service<kSystem>;
using Lookup = Service<kLookup>;
using Browser = Service<kBrowser>;
using Shortcut = Service<kShortcut>;
using Keyword = Service<kKeyword>;
using ImageCodec = Service<kImageCodec>;
using Environment = Service<kEnvironment>;
using HttpFetch = Service<kHttpFetch>;
using Details = Service<kDetails>;
using Options = Service<kOptions>;
using Software = Service<kSoftware>;
using Statistics = Service<kStatistics>;
using StartupItems = Service<kStartupItems>;
using Bitness = Service<kBitness>;
using FileReader = Service<kFileReader>;
using Notification = Service<kNotification>;
using ValueStore = Service<kValueStore>;
using Downloads = Service<kDownloads>;
using SoftwareQuery = Service<kSoftwareQuery>;
using Notice = Service<kNotice>;
using NumberedStore = Service<kNumberedStore>;
using ItemList = Service<kItemList>;
using EntryList = Service<kEntryList>;
using Completion = Service<kCompletion>;

// 3: string.
namespace string {
using Of = String;
inline constexpr Slot<Of, 3, int(const wchar_t* text)> kSetText{};
inline constexpr Slot<Of, 6, wchar_t*(int length)> kBuffer{};
inline constexpr Slot<Of, 8, int()> kEnd{};
inline constexpr Slot<Of, 10, const wchar_t*()> kText{};
inline constexpr Slot<Of, 11, int()> kLength{};
}  // namespace string

// 4: object list. Slot 6: negative, no item.
namespace object_list {
using Of = ObjectList;
inline constexpr Slot<Of, 3, int(IBexPlugin* item)> kAppend{};
inline constexpr Slot<Of, 4, int()> kCount{};
inline constexpr Slot<Of, 6, int(int index, IBexPlugin** item)> kItem{};
}  // namespace object_list

// 7: byte buffer. Slot 3 returns the data; slot 4 null: empty.
namespace byte_buffer {
using Of = ByteBuffer;
inline constexpr Slot<Of, 3, void*(int size)> kAllocate{};
inline constexpr Slot<Of, 4, void*()> kData{};
inline constexpr Slot<Of, 5, int()> kSize{};
}  // namespace byte_buffer

// 10: system. Slot 6 (16, &string) gives the system text in a new class-3
// string and returns the 16-bit system code.
namespace system_info {
using Of = System;
inline constexpr Slot<Of, 6, int(int kind, String** text)> kDescribe{};
constexpr int kDescribeKind = 16;
}  // namespace system_info

// 21: lookup, and the answer object it finds.
namespace lookup {
using Of = Lookup;
using Answer = Part<kLookup>;
inline constexpr Slot<Of, 6, int(const wchar_t* text, Answer** found, uint32_t* extra)> kFind{};
inline constexpr Slot<Answer, 10, const wchar_t*()> kFoundText{};
inline constexpr Slot<Answer, 11, int()> kFoundValid{};
}  // namespace lookup

// 22: browser.
namespace browser {
using Of = Browser;
inline constexpr Slot<Of, 4, int(const wchar_t* path, int zero, String** text)> kReadRegistry{};
}  // namespace browser

// 23: shortcut. Slot 5 (link path, &str) >= 0: the link's target in a new
// class-3 string.
namespace shortcut {
using Of = Shortcut;
inline constexpr Slot<Of, 5, int(const wchar_t* linkPath, String** target)> kTarget{};
}  // namespace shortcut

// 24: keyword. Slot 3 (keyword, &object) non-zero with an object: its slot
// 4 gives the keyword as 8-bit text escaped for a URL, valid while the
// object lives.
namespace keyword {
using Of = Keyword;
using Encoded = Part<kKeyword>;
inline constexpr Slot<Of, 3, int(const wchar_t* keyword, Encoded** object)> kMake{};
inline constexpr Slot<Encoded, 4, const char*()> kUrlText{};
}  // namespace keyword

// The image type of classes 26 and 93: an HBITMAP of a 32-bit top-down DIB
// section with premultiplied alpha (as PNG decoding gives it); the caller
// owns and deletes every image it is handed.

// 26: image codec. Slot 3 (data, size) decodes a PNG, null on failure;
// slot 4 (image, path) saves it as a PNG file, non-zero: saved.
namespace image_codec {
using Of = ImageCodec;
inline constexpr Slot<Of, 3, HBITMAP(const void* data, int size)> kDecode{};
inline constexpr Slot<Of, 4, int(HBITMAP image, const wchar_t* path)> kSave{};
}  // namespace image_codec

// 40: environment. Texts come back as new class-3 strings.
namespace environment {
using Of = Environment;
inline constexpr Slot<Of, 4, int(String** folder)> kManagerFolder{};  // with a trailing backslash
inline constexpr Slot<Of, 6, int(String** tail)> kQueryTail{};        // may be empty
inline constexpr Slot<Of, 7, int()> kNumber{};
inline constexpr Slot<Of, 12, int()> kMayQuery{};  // non-zero: queries to the servers are allowed
}  // namespace environment

// 41: HTTP fetch. Non-zero: started; the kernel completes the result with
// status 1 and a byte buffer (class 7) holding the reply's body.
namespace http_fetch {
using Of = HttpFetch;
inline constexpr Slot<Of, 6, int(const wchar_t* url, IBexAsyncResult* result)> kStart{};
}  // namespace http_fetch

// 43: details. Start takes an object list (class 4) of strings (class 3),
// one name each, and completes the result with status 1 and no object.
// Find: non-zero when found; the found item has three texts.
namespace details {
using Of = Details;
using Item = Part<kDetails>;
inline constexpr Slot<Of, 3, int(ObjectList* names, const wchar_t* kind, IBexAsyncResult* result)> kStart{};
inline constexpr Slot<Of, 4, int(const wchar_t* name, Item** item)> kFind{};
inline constexpr Slot<Item, 3, const wchar_t*()> kItemText1{};
inline constexpr Slot<Item, 4, const wchar_t*()> kItemText2{};
inline constexpr Slot<Item, 5, const wchar_t*()> kItemText3{};
}  // namespace details

// 47: options. Slot 3 (key, &dword) non-zero: found and written.
// Slot 5 (key, &str) non-zero: found, the text in a new class-3 string.
// Slots 4 and 6 write; slot 7 () saves. Slot 8 (key, callback, context,
// &cookie) non-zero: the watch is made and `callback(context)` runs (on a
// thread of the store's) whenever the key's value changes; slot 9 (cookie)
// ends the watch.
namespace options {
using Of = Options;
using WatchCallback = void(BEX_CALL*)(void* context);
inline constexpr Slot<Of, 3, int(const wchar_t* key, DWORD* value)> kGetNumber{};
inline constexpr Slot<Of, 4, int(const wchar_t* key, DWORD value)> kSetNumber{};
inline constexpr Slot<Of, 5, int(const wchar_t* key, String** text)> kGetText{};
inline constexpr Slot<Of, 6, int(const wchar_t* key, const wchar_t* text)> kSetText{};
inline constexpr Slot<Of, 7, int()> kSave{};
inline constexpr Slot<Of, 8, int(const wchar_t* key, WatchCallback callback, void* context, uint32_t* cookie)>
    kWatch{};
inline constexpr Slot<Of, 9, int(uint32_t cookie)> kUnwatch{};
}  // namespace options

// 49: software. Slot 3 () must answer true before anything else is asked;
// slot 4 () ends the query. Slot 7 () counts the updates; slot 21 ()
// prepares the presence test of slot 13 (soft id, 1, 0, 0, 0, 0, 0),
// non-zero: present.
namespace software {
using Of = Software;
inline constexpr Slot<Of, 3, int()> kBegin{};
inline constexpr Slot<Of, 4, int()> kEnd{};
inline constexpr Slot<Of, 7, int()> kUpdateCount{};
inline constexpr Slot<Of, 13, int(uint32_t softId, int one, int reserved1, int reserved2, int reserved3,
                                  int reserved4, int reserved5)>
    kIsPresent{};
inline constexpr Slot<Of, 21, int()> kPrepare{};
}  // namespace software

// 51: statistics. The only __cdecl slot: variadic with a wide format
// (%ls / %hs only), the caller pops.
namespace statistics {
using Of = Statistics;
inline constexpr Slot<Of, 5, int(const wchar_t* format, ...)> kSend{};
}  // namespace statistics

// 78: start-up items. Slot 3 appends one class-4 list entry per item; an
// item's slot 9 answers its state.
namespace startup_items {
using Of = StartupItems;
using Item = Part<kStartupItems>;
inline constexpr Slot<Of, 3, int(ObjectList* list)> kFill{};
inline constexpr Slot<Item, 9, int()> kItemState{};
}  // namespace startup_items

// 81: bitness. Slot 3 answers true on a 64-bit system.
namespace bitness {
using Of = Bitness;
inline constexpr Slot<Of, 3, int()> kIs64Bit{};
}  // namespace bitness

// 86: file reader. Slot 3 gives the file's text (UTF-8, or UTF-16 with its
// mark) in a new class-3 string; non-zero when read.
namespace file_reader {
using Of = FileReader;
inline constexpr Slot<Of, 3, int(const wchar_t* path, String** text)> kRead{};
}  // namespace file_reader

// 93: notification. Slot 6 (wide path of a PNG file) gives the picture as an
// image, null on failure; slot 7 (images, count, path) takes the images
// (any of them may be null) for the duration of the call.
namespace notification {
using Of = Notification;
inline constexpr Slot<Of, 6, HBITMAP(const wchar_t* pngPath)> kImageFromFile{};
inline constexpr Slot<Of, 7, int(HBITMAP* images, int count, const wchar_t* path)> kShow{};
}  // namespace notification

// 94: value store. Values have a type and a number or a name; a value kept by
// name carries a 32-bit extra value and a large flag (1: the value may be
// big). Get allocates the byte buffer (class 7) to the value's size. Set
// returns non-zero when kept; get returns a negative value when the value is
// missing and leaves `extra` alone then.
namespace value_store {
using Of = ValueStore;
inline constexpr Slot<Of, 3,
                      int(int type, uint32_t number, const void* data, int size, int reserved1, int reserved2)>
    kSetByNumber{};
inline constexpr Slot<Of, 4, int(int type, uint32_t number, ByteBuffer* buffer, int reserved)> kGetByNumber{};
inline constexpr Slot<Of, 5, int(int type, const wchar_t* name, const void* data, int size, int large,
                                 uint32_t extra)>
    kSet{};
inline constexpr Slot<Of, 6, int(int type, const wchar_t* name, ByteBuffer* buffer, uint32_t* extra)> kGet{};
}  // namespace value_store

// 96: downloads. Slot 16 () the download folder, a text the object owns
// (valid while it lives); null: none.
namespace downloads {
using Of = Downloads;
inline constexpr Slot<Of, 16, const wchar_t*()> kFolder{};
}  // namespace downloads

// 99: software query. Slot 3 (0, 0) answers true when the query may be
// told; slot 31 takes a soft id, eleven texts of its list record (vname,
// durls, uurls, dname, args, hint2, pname, os, ver, size text, shell) and a
// final 0.
namespace software_query {
using Of = SoftwareQuery;
inline constexpr Slot<Of, 3, int(int reserved1, int reserved2)> kReady{};
inline constexpr Slot<Of, 31,
                      int(uint32_t softId, const wchar_t* vname, const wchar_t* durls, const wchar_t* uurls,
                          const wchar_t* dname, const wchar_t* args, const wchar_t* hint2, const wchar_t* pname,
                          const wchar_t* os, const wchar_t* ver, const wchar_t* sizeText, const wchar_t* shell,
                          int reserved)>
    kTell{};
}  // namespace software_query

// 101: notice. Slot 3 () true: usable; 5 (window, message) registers the
// window for the message; 8 (n) non-zero: started; 9 (&buffer, 0) a class-7
// buffer of 32-bit entries; 4 () ends the registration.
namespace notice {
using Of = Notice;
inline constexpr Slot<Of, 3, int()> kBegin{};
inline constexpr Slot<Of, 4, int()> kEnd{};
inline constexpr Slot<Of, 5, int(HWND window, UINT message)> kRegister{};
inline constexpr Slot<Of, 8, int(int count)> kStart{};
inline constexpr Slot<Of, 9, int(ByteBuffer** buffer, int reserved)> kData{};
constexpr UINT kMessage = 2026;
constexpr WPARAM kDataReady = 17;
}  // namespace notice

// 107: numbered store: values by type and 32-bit key. Get allocates the
// byte buffer (class 7) to the value's size and returns the size, negative
// when missing; slot 7 removes every value of a type.
namespace numbered_store {
using Of = NumberedStore;
inline constexpr Slot<Of, 3, int(int type, uint32_t key, const void* data, int size, int reserved1, int reserved2)>
    kSet{};
inline constexpr Slot<Of, 4, int(int type, uint32_t key, ByteBuffer* buffer, int reserved)> kGet{};
inline constexpr Slot<Of, 7, int(int type)> kClear{};
}  // namespace numbered_store

// 307: software entries. Slot 4 () counts them; a count of 0 asks for slot
// 3 () (refresh) first; slot 5 (index, &entry) >= 0: the entry, whose slot 4
// () is its text.
namespace item_list {
using Of = ItemList;
using Entry = Part<kItemList>;
inline constexpr Slot<Of, 3, int()> kRefresh{};
inline constexpr Slot<Of, 4, int()> kCount{};
inline constexpr Slot<Of, 5, int(int index, Entry** entry)> kEntry{};
inline constexpr Slot<Entry, 4, const wchar_t*()> kEntryText{};
}  // namespace item_list

// 402: executable entries. Slot 6 (index, path, &extra) >= 0: the path,
// written into a buffer of kPathChars characters.
namespace entry_list {
using Of = EntryList;
constexpr int kPathChars = 260;
inline constexpr Slot<Of, 4, int()> kCount{};
inline constexpr Slot<Of, 6, int(int index, wchar_t* path, DWORD* extra)> kEntry{};
}  // namespace entry_list

// 406: completion. Slot 6 makes the object an IBexAsyncResult that sets
// `event` when completed and answers `context` from GetContext.
namespace completion {
using Of = Completion;
inline constexpr Slot<Of, 6, int(HANDLE event, void* context)> kInit{};
// The IBexAsyncResult it then is (bex_plugin.h), for the stand-in's table.
inline constexpr Slot<Of, 3, void*()> kGetContext{};
inline constexpr Slot<Of, 4, LONG(LONG status, IBexPlugin* result)> kComplete{};
inline constexpr Slot<Of, 5, LONG(IBexPlugin** out)> kGetResult{};
}  // namespace completion

}  // namespace protocol::kernel
