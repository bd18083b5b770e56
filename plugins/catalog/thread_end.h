// How the catalogue's managers end a worker thread they told to stop, the
// same for all of them: wait for it; should it not end in time, end it by
// force, but only at a moment it is seen outside every lock of its owner (a
// thread ended inside one leaves it taken for ever), and wait for it after
// that. One seen inside a lock is waited for further (and that is logged):
// until it leaves the lock, then the whole time again.
#pragma once

#include <windows.h>

#include <functional>

namespace catalog {

// Whether the thread `threadId` holds a lock of the thread's owner now.
using HoldsOwnersLock = std::function<bool(DWORD threadId)>;

// Ends `thread` (id `threadId`), which was told to stop, as above: waits
// `waitMs` first; a forced end gives it `exitCode`. `name` goes into the
// debugger output. True when it was ended by force. Never call it from
// `thread` itself.
bool EndStoppedThread(HANDLE thread, DWORD threadId, DWORD waitMs, DWORD exitCode, const HoldsOwnersLock& holds,
                      const wchar_t* name);

}  // namespace catalog
