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
