// The kernel services the stand-in serves, one maker per class.
#pragma once

#include <string>

#include "protocol/bex_plugin.h"

namespace standin {

IBexPlugin* MakeString();       // 3
IBexPlugin* MakeObjectList();   // 4
IBexPlugin* MakeByteBuffer();   // 7

IBexPlugin* MakeSoftware();     // 49
IBexPlugin* MakeItemList();     // 307
IBexPlugin* MakeEntryList();    // 402

// A class-7 buffer holding `bytes` (for the fetch's replies).
IBexPlugin* MakeByteBufferWith(const std::string& bytes);

}  // namespace standin
