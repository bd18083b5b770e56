// Calling conventions of the maker's outside libraries that the programs load
// at run time. Every export is __stdcall with an undecorated name; the test
// stand-ins under tests/doubles are built against these same declarations, so
// a mismatch shows up at compile time instead of as a corrupted stack.
#pragma once

#include <windows.h>

#include <cstdint>

#define OUTSIDE_API __stdcall

namespace outside {

// ZubWebIdentify.dll: non-zero asks the companion to stay quiet.
constexpr char kGetWebIdentifyStateName[] = "GetWebIdentifyState";
using GetWebIdentifyStateFn = int(OUTSIDE_API*)();

}  // namespace outside

namespace outside {

// Quellin.dll: hands one complete statistics URL to the maker's sender.
constexpr char kProcessStatsName[] = "ProcessStats";
using ProcessStatsFn = int(OUTSIDE_API*)(const wchar_t* url);

// Zubverify.dll: writes the client id into `buffer` (capacity in characters);
// non-zero when it did.
constexpr char kGetCidName[] = "GetCIDW";
using GetCidFn = int(OUTSIDE_API*)(wchar_t* buffer, int capacity);

}  // namespace outside

namespace outside::sweeper {

// Drovask.dll, the clean-up library: a COM class reached through its own
// DllGetClassObject, without registration.
constexpr char kDllGetClassObjectName[] = "DllGetClassObject";
using DllGetClassObjectFn = HRESULT(OUTSIDE_API*)(REFCLSID clsid, REFIID iid, void** out);
inline constexpr CLSID kClsid = {0xB47D7A8A, 0xD54E, 0x4C52, {0x98, 0x51, 0x8D, 0xF6, 0x54, 0x99, 0x0C, 0x42}};
inline constexpr IID kIid = {0x8E0ECB23, 0x4462, 0x4130, {0x8E, 0x03, 0x90, 0x5D, 0x7E, 0xAC, 0xBC, 0xA0}};

// The sweeper's slots (slots 0 to 2 are IUnknown's), each __stdcall with the
// object first and an HRESULT result. The table has 64 slots.
constexpr int kSlotCount = 64;
constexpr int kOpen = 3;     // ()
constexpr int kLoadRules = 26;  // ()
constexpr int kReset = 63;   // ()
constexpr int kSetMode = 30;  // (int mode), always 0
constexpr int kSelect = 11;  // (int category, int on), on is 1
constexpr int kScan = 59;    // (int category)
constexpr int kResult = 20;  // (int category, uint32_t* count, uint64_t* size)
using NoArgFn = HRESULT(OUTSIDE_API*)(IUnknown* self);
using SetModeFn = HRESULT(OUTSIDE_API*)(IUnknown* self, int mode);
using SelectFn = HRESULT(OUTSIDE_API*)(IUnknown* self, int category, int on);
using ScanFn = HRESULT(OUTSIDE_API*)(IUnknown* self, int category);
using ResultFn = HRESULT(OUTSIDE_API*)(IUnknown* self, int category, uint32_t* count, uint64_t* size);

// The two categories the companion adds up.
constexpr int kCategorySystem = 1;
constexpr int kCategoryOther = 105;

}  // namespace outside::sweeper
namespace outside {

// NessaryData.dll, the app centre's data library in the host program's
// folder. Both exports return an object whose first word is its slot table
// (slots __stdcall, the object first); the library keeps ownership.
constexpr char kCreateNessaryDataInterfaceName[] = "CreateNessaryDataInterface";
using CreateNessaryDataInterfaceFn = void*(OUTSIDE_API*)();
constexpr char kCreateNessaryIpcMgrName[] = "CreateNessaryIPCMgr";
using CreateNessaryIpcMgrFn = void*(OUTSIDE_API*)();

namespace app_centre {
// The data interface.
constexpr int kEndUse = 3;
using EndUseFn = void(OUTSIDE_API*)(void* self);
constexpr int kWebAppRecord = 15;  // null: no such web app
using WebAppRecordFn = void*(OUTSIDE_API*)(void* self, uint32_t id);
constexpr int kWebAppCount = 32;
using WebAppCountFn = int(OUTSIDE_API*)(void* self);
constexpr int kWebAppIds = 33;  // returns how many ids it filled
using WebAppIdsFn = int(OUTSIDE_API*)(void* self, uint32_t* ids, int count);

// A web app's record (owned by the data interface).
constexpr int kRecordKind = 12;  // 2 runner, 3 own program, 4 browser
using RecordKindFn = int(OUTSIDE_API*)(void* self);
constexpr int kRecordFolder = 13;  // the web app's folder
using RecordTextFn = const wchar_t*(OUTSIDE_API*)(void* self);
constexpr int kRecordAddress = 14;
}  // namespace app_centre

}  // namespace outside
