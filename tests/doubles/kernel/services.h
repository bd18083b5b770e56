// The kernel services the stand-in serves, one maker per class.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/bex_kernel.h"

namespace standin {

protocol::kernel::String* MakeString();          // 3
IBexPlugin* MakeObjectList();                    // 4
protocol::kernel::ByteBuffer* MakeByteBuffer();  // 7

// A class-7 buffer holding `bytes` (for the fetch's replies); with
// `nullData` a broken one whose data is null while its size is stated.
protocol::kernel::ByteBuffer* MakeByteBufferWith(const std::string& bytes, bool nullData = false);
protocol::kernel::String* MakeStringWith(const std::wstring& text);

IBexPlugin* MakeHttpFetch();    // 41
// A real GET of `url` (WinINet); true when the server answered 200.
bool GetFromServer(const std::wstring& url);
IBexPlugin* MakeCompletion();   // 406
// Shutdown: waits for the delayed completions and drops the kernel's
// reference to requests that never complete.
void EndPendingRequests();

IBexPlugin* MakeSoftware();     // 49
IBexPlugin* MakeItemList();     // 307
IBexPlugin* MakeEntryList();    // 402
IBexPlugin* MakeSystem();       // 10
IBexPlugin* MakeEnvironment();  // 40
IBexPlugin* MakeDetails();      // 43
IBexPlugin* MakeValueStore();   // 94
// Shutdown: waits for the details requests' completions and drops the
// kernel's references to them.
void EndDetailsRequests();
IBexPlugin* MakeStartupItems();  // 78
// The answer to -5: the recording debugger when configured, else null.
struct IBexDebugger* KernelDebugger();

IBexPlugin* MakeShortcut();     // 23
IBexPlugin* MakeOptions();      // 47
IBexPlugin* MakeStatistics();   // 51
IBexPlugin* MakeDownloads();    // 96
IBexPlugin* MakeImageCodec();   // 26
IBexPlugin* MakeNotification(); // 93
IBexPlugin* MakeNotice();       // 101
IBexPlugin* MakeLookup();       // 21
IBexPlugin* MakeBrowser();      // 22

// The list manager's services, softlist_services.cpp.
IBexPlugin* MakeKeyword();        // 24
IBexPlugin* MakeBitness();        // 81
IBexPlugin* MakeSoftwareQuery();  // 99

// The recommendations' services, recommend_services.cpp.
IBexPlugin* MakeFileReader();     // 86
IBexPlugin* MakeNumberedStore();  // 107

// Foreign objects that log the slots a wrapper forwards, foreign_managers.cpp:
// another build of the catalogue's list manager and recommendations.
constexpr uint32_t kForeignListManager = 70;  // slots 3 to 22
constexpr uint32_t kForeignReCommend = 301;   // slots 3 to 7
IBexPlugin* MakeForeignListManager();
IBexPlugin* MakeForeignReCommend();

}  // namespace standin
