// Calling conventions of the maker's outside libraries that the programs load
// at run time. Every export is __stdcall with an undecorated name; the test
// stand-ins under tests/doubles are built against these same declarations, so
// a mismatch shows up at compile time instead of as a corrupted stack.
#pragma once

#include <windows.h>

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
