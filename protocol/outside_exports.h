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
