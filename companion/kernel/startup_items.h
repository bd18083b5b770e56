// The start-up items as the kernel lists them (its classes 78 and 4).
#pragma once

#include "protocol/bex_plugin.h"

namespace companion {

// Far more than any computer has; a count beyond is not believed.
constexpr int kMaxStartupItems = 4096;

// The number of start-up items in state 2 (read through `entry`); -1 when
// the list or the source cannot be made or filled. Stops at the first item
// the list cannot give and after a sane number of items, skips null items,
// and releases every object it got before it returns. Each call into a
// kernel object is timed.
int CountStartupItemsInState2(protocol::BexPluginFn entry);

}  // namespace companion
