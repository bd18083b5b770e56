// The border between the kernel library (bexkernl.dll) and the plug-in
// libraries. Both plug-ins, Corvalle and the test stand-in of the kernel
// compile against this one declaration, so a wrong calling convention, slot
// or record layout shows up at compile time instead of as a corrupted stack.
//
// Every method and function here is __stdcall (g++ on i686 would make member
// functions __thiscall). No interface has a virtual destructor: g++ would give
// it two slots. Objects are released through their own Release slot.
//
// The deliverables are 32-bit, and so is the kernel they meet. The same
// sources also build for 64-bit Windows, where the tests run on machines
// that cannot run 32-bit code: there x64 has one calling convention (the
// compiler ignores __stdcall), pointers in the class table are 8 bytes, and
// the entry's result is 8 bytes wide. Each of these is said below, beside
// what it concerns.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#define BEX_CALL __stdcall

// Base interface of every object that crosses the border. Slots 0 to 2.
struct IBexPlugin {
    virtual uint32_t BEX_CALL GetClassId() = 0;  // slot 0
    virtual LONG BEX_CALL AddRef() = 0;          // slot 1: the new count
    virtual LONG BEX_CALL Release() = 0;         // slot 2: by the class's release rule
};

// Completion object of a background request (the kernel's class 406 or the
// plug-ins' own class 8). The kernel calls Complete when the request ends.
struct IBexAsyncResult : IBexPlugin {
    virtual void* BEX_CALL GetContext() = 0;                            // slot 3
    virtual LONG BEX_CALL Complete(LONG status, IBexPlugin* result) = 0;  // slot 4: 0
    virtual LONG BEX_CALL GetResult(IBexPlugin** out) = 0;              // slot 5: the status; *out gets a reference
};

namespace protocol {

// Status of a completed request that every caller treats as success.
constexpr LONG kStatusSuccess = 1;

// The kernel's one entry: `BexPlugin(code, arg)`, exported undecorated.
// Its result is an HRESULT, but for kCodeDebugger, which answers with an
// interface pointer in its place: the result is pointer-sized. On 32-bit
// Windows that is the HRESULT itself (LONG_PTR is LONG there); on 64-bit
// an HRESULT would cut the pointer to its low half.
constexpr char kBexPluginName[] = "BexPlugin";
using BexResult = LONG_PTR;
using BexPluginFn = BexResult(BEX_CALL*)(int code, void* arg);
static_assert(sizeof(BexResult) == sizeof(void*), "the debugger's pointer travels in the result");

// The HRESULT of an entry's answer to any code but kCodeDebugger.
constexpr HRESULT ResultStatus(BexResult result) { return static_cast<HRESULT>(result); }

// Codes of BexPlugin. 0 or more creates an object of that class id; `arg` is
// then an IBexPlugin** that gets the object with one reference.
constexpr int kCodeInitialize = -1;  // arg 0; the loader's result
constexpr int kCodeShutdown = -2;    // arg 0
constexpr int kCodeCreated = -3;     // arg: the class id of a plug-in object being made
constexpr int kCodeDestroyed = -4;   // arg: the class id of a plug-in object being destroyed
constexpr int kCodeDebugger = -5;    // result: the kernel's debugger interface

// Results used across the border (the system's own values, checked below).
constexpr HRESULT kOk = 0;
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057);
constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000E);
static_assert(kOk == S_OK && kFail == E_FAIL && kInvalidArg == E_INVALIDARG && kOutOfMemory == E_OUTOFMEMORY,
              "the border's results are the system's");

inline void* ClassIdArg(uint32_t classId) { return reinterpret_cast<void*>(static_cast<uintptr_t>(classId)); }

// The exported class table `plugins` (ordinal 1, a data export): a header,
// entries, then one all-zero entry.
constexpr uint32_t kTableMagic = 0x62657870;  // 'bexp'
constexpr char kTableExportName[] = "plugins";
// Flags of a table entry, written as the kernel expects them: records made
// anew for each request, classes the kernel keeps one shared object of
// (managers, wrappers), and the setup plug-in's job classes.
constexpr uint32_t kFlagsRecord = 0;
constexpr uint32_t kFlagsShared = 0x30000;
constexpr uint32_t kFlagsSetupJob = 0x10001;

using PluginFactoryFn = HRESULT(BEX_CALL*)(IBexPlugin** out);

#pragma pack(push, 1)
struct PluginTableHeader {
    uint32_t magic;
    uint32_t reserved[3];  // zero
};

struct PluginEntry {
    uint32_t classId;
    PluginFactoryFn factory;
    const wchar_t* className;
    uint32_t flags;
};

// A table of N entries (the last of them all zero).
template <size_t N>
struct PluginTable {
    PluginTableHeader header;
    PluginEntry entries[N];
};
#pragma pack(pop)

// A row for class T, its id taken from the class itself.
template <typename T>
constexpr PluginEntry TableEntry(PluginFactoryFn factory, const wchar_t* className, uint32_t flags) {
    return PluginEntry{T::kClassId, factory, className, flags};
}
constexpr PluginEntry kTableEnd{0, nullptr, nullptr, 0};

// The table as the kernel reads it: 16-byte entries of 32-bit fields. The
// 64-bit second target keeps the same packed order with 8-byte pointers.
namespace table_layout {
#if defined(_WIN64)
constexpr size_t kEntrySize = 24, kFactoryAt = 4, kNameAt = 12, kFlagsAt = 20;
#else
constexpr size_t kEntrySize = 16, kFactoryAt = 4, kNameAt = 8, kFlagsAt = 12;
#endif
}  // namespace table_layout
static_assert(sizeof(PluginTableHeader) == 16, "table header");
static_assert(offsetof(PluginTableHeader, magic) == 0 && offsetof(PluginTableHeader, reserved) == 4, "table header");
static_assert(sizeof(PluginEntry) == table_layout::kEntrySize, "table entry");
static_assert(offsetof(PluginEntry, classId) == 0 && offsetof(PluginEntry, factory) == table_layout::kFactoryAt &&
                  offsetof(PluginEntry, className) == table_layout::kNameAt &&
                  offsetof(PluginEntry, flags) == table_layout::kFlagsAt,
              "table entry");
static_assert(offsetof(PluginTable<2>, entries) == 16 && sizeof(PluginTable<2>) == 16 + 2 * table_layout::kEntrySize,
              "table");

}  // namespace protocol
