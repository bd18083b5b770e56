// The kernel services the stand-in serves, one maker per class.
#pragma once

#include <string>

#include "protocol/bex_plugin.h"

namespace standin {

IBexPlugin* MakeString();       // 3
IBexPlugin* MakeObjectList();   // 4
IBexPlugin* MakeByteBuffer();   // 7

// A class-7 buffer holding `bytes` (for the fetch's replies); with
// `nullData` a broken one whose data is null while its size is stated.
IBexPlugin* MakeByteBufferWith(const std::string& bytes, bool nullData = false);
IBexPlugin* MakeStringWith(const std::wstring& text);

IBexPlugin* MakeHttpFetch();    // 41
IBexPlugin* MakeCompletion();   // 406
// Shutdown: waits for the delayed completions and drops the kernel's
// reference to requests that never complete.
void EndPendingRequests();

IBexPlugin* MakeSystem();       // 10
IBexPlugin* MakeEnvironment();  // 40
IBexPlugin* MakeDetails();      // 43
IBexPlugin* MakeValueStore();   // 94
// Shutdown: waits for the details requests' completions and drops the
// kernel's references to them.
void EndDetailsRequests();

// The list manager's services, softlist_services.cpp.
IBexPlugin* MakeKeyword();        // 24
IBexPlugin* MakeSoftware();       // 49
IBexPlugin* MakeBitness();        // 81
IBexPlugin* MakeSoftwareQuery();  // 99

// The recommendations' services, recommend_services.cpp.
IBexPlugin* MakeOptions();        // 47
IBexPlugin* MakeFileReader();     // 86
IBexPlugin* MakeNumberedStore();  // 107

// Foreign objects that log the slots a wrapper forwards, foreign_managers.cpp.
IBexPlugin* MakeForeignListManager();  // 70: slots 3 to 22
IBexPlugin* MakeForeignReCommend();    // 301: slots 3 to 7

}  // namespace standin
