// The thirteen reminders the detect thread polls, in their polling order.
#pragma once

#include <vector>

#include "companion/actions/vyn_action.h"

// New actions; the caller (the detect thread) takes ownership. The order is
// the priority: within one scan the first due action wins.
std::vector<IVynAction*> MakeReminders();
