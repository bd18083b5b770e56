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
IBexPlugin* MakeShortcut();     // 23
IBexPlugin* MakeEnvironment();  // 40
IBexPlugin* MakeOptions();      // 47
IBexPlugin* MakeStatistics();   // 51
IBexPlugin* MakeDownloads();    // 96
IBexPlugin* MakeImageCodec();   // 26
IBexPlugin* MakeNotification(); // 93
IBexPlugin* MakeNotice();       // 101
IBexPlugin* MakeLookup();       // 21
IBexPlugin* MakeBrowser();      // 22

}  // namespace standin
