// The thirteen reminders the detect thread polls, in their polling order.
#pragma once

#include "companion/actions/vyn_action.h"

namespace companion {

// New actions, for the detect thread. The order is the priority: within one
// scan the first due action wins.
OwnedActions MakeReminders();

}  // namespace companion
