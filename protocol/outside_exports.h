// The maker's outside libraries that the programs load at run time: each
// one's file name (the folder it lies in is the caller's) and the calling
// conventions of its exports. Every export is __stdcall with an undecorated
// name; the test stand-ins under tests/doubles are built against these same
// declarations, so a mismatch shows up at compile time instead of as a
// corrupted stack.
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/slot_call.h"

#define OUTSIDE_API __stdcall

namespace protocol::outside {

// ZubWebIdentify.dll: non-zero asks the companion to stay quiet.
constexpr wchar_t kZubWebIdentifyLibrary[] = L"ZubWebIdentify.dll";
constexpr char kGetWebIdentifyStateName[] = "GetWebIdentifyState";
using GetWebIdentifyStateFn = int(OUTSIDE_API*)();

}  // namespace protocol::outside

namespace protocol::outside {

// Quellin.dll: hands one complete statistics URL to the maker's sender.
constexpr wchar_t kQuellinLibrary[] = L"Quellin.dll";
constexpr char kProcessStatsName[] = "ProcessStats";
using ProcessStatsFn = int(OUTSIDE_API*)(const wchar_t* url);

// Zubverify.dll: writes the client id into `buffer` (capacity in characters);
// non-zero when it did.
constexpr wchar_t kZubverifyLibrary[] = L"Zubverify.dll";
constexpr char kGetCidName[] = "GetCIDW";
using GetCidFn = int(OUTSIDE_API*)(wchar_t* buffer, int capacity);

}  // namespace protocol::outside

namespace protocol::outside::sweeper {

// Drovask.dll, the clean-up library: a COM class reached through its own
// DllGetClassObject, without registration.
constexpr wchar_t kDrovaskLibrary[] = L"Drovask.dll";
constexpr char kDllGetClassObjectName[] = "DllGetClassObject";
using DllGetClassObjectFn = HRESULT(OUTSIDE_API*)(REFCLSID clsid, REFIID iid, void** out);
inline constexpr CLSID kClsid = {0xB47D7A8A, 0xD54E, 0x4C52, {0x98, 0x51, 0x8D, 0xF6, 0x54, 0x99, 0x0C, 0x42}};
inline constexpr IID kIid = {0x8E0ECB23, 0x4462, 0x4130, {0x8E, 0x03, 0x90, 0x5D, 0x7E, 0xAC, 0xBC, 0xA0}};

// The sweeper's slots (slots 0 to 2 are IUnknown's), each __stdcall with the
// object first and an HRESULT result. The table has 64 slots.
struct Sweeper {
    using Object = IUnknown;
};
constexpr int kSlotCount = 64;
inline constexpr protocol::Slot<Sweeper, 3, HRESULT()> kOpen{};
inline constexpr protocol::Slot<Sweeper, 26, HRESULT()> kLoadRules{};
inline constexpr protocol::Slot<Sweeper, 63, HRESULT()> kReset{};
inline constexpr protocol::Slot<Sweeper, 30, HRESULT(int mode)> kSetMode{};  // always 0
inline constexpr protocol::Slot<Sweeper, 11, HRESULT(int category, int on)> kSelect{};  // on is 1
inline constexpr protocol::Slot<Sweeper, 59, HRESULT(int category)> kScan{};
inline constexpr protocol::Slot<Sweeper, 20, HRESULT(int category, uint32_t* count, uint64_t* size)> kResult{};

// The two categories the companion adds up.
constexpr int kCategorySystem = 1;
constexpr int kCategoryOther = 105;

}  // namespace protocol::outside::sweeper
namespace protocol::outside {

// NessaryData.dll, the app centre's data library in the host program's
// folder. Both exports return an object whose first word is its slot table
// (slots __stdcall, the object first); the library keeps ownership.
namespace app_centre {
// The data interface, a web app's record (owned by the data interface) and
// the IPC manager (made, never called): the library's own objects, known
// only by their slots. Each is its own type, and the interface of its
// slots; nothing here makes one.
struct Data {
    using Object = Data;
    Data() = delete;
};
struct Record {
    using Object = Record;
    Record() = delete;
};
struct IpcManager {
    using Object = IpcManager;
    IpcManager() = delete;
};
}  // namespace app_centre
constexpr wchar_t kNessaryDataLibrary[] = L"NessaryData.dll";
constexpr char kCreateNessaryDataInterfaceName[] = "CreateNessaryDataInterface";
using CreateNessaryDataInterfaceFn = app_centre::Data*(OUTSIDE_API*)();
constexpr char kCreateNessaryIpcMgrName[] = "CreateNessaryIPCMgr";
using CreateNessaryIpcMgrFn = app_centre::IpcManager*(OUTSIDE_API*)();

namespace app_centre {
inline constexpr protocol::Slot<Data, 3, void()> kEndUse{};
inline constexpr protocol::Slot<Data, 15, Record*(uint32_t id)> kWebAppRecord{};  // null: no such web app
inline constexpr protocol::Slot<Data, 32, int()> kWebAppCount{};
inline constexpr protocol::Slot<Data, 33, int(uint32_t* ids, int count)> kWebAppIds{};  // how many ids it filled
inline constexpr protocol::Slot<Record, 12, int()> kRecordKind{};  // 2 runner, 3 own program, 4 browser
inline constexpr protocol::Slot<Record, 13, const wchar_t*()> kRecordFolder{};  // the web app's folder
inline constexpr protocol::Slot<Record, 14, const wchar_t*()> kRecordAddress{};
}  // namespace app_centre

}  // namespace protocol::outside
