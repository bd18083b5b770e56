// Runs this thread's messages while a test waits. A positive check waits for
// its condition with PumpUntil; a fixed Pump stays only in front of a check
// that something did NOT happen.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// Sees each message before it is dispatched; true swallows it (a program's
// loop filters, for keys that reach forms only through them).
using PumpFilter = std::function<bool(MSG& msg)>;

// Translates and dispatches what is waiting now; a quit message is dropped.
void DispatchPending(const PumpFilter& filter = nullptr);

// Runs messages until `done` holds (checked after each round) or `timeoutMs`
// passed; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000, const PumpFilter& filter = nullptr);

// Runs messages for `ms` milliseconds.
void Pump(DWORD ms, const PumpFilter& filter = nullptr);

// Waits for `done` without dispatching posted messages: for a check that a
// message is queued, not yet handled. (Messages sent from other threads still
// arrive whenever `done` peeks.)
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

}  // namespace testsupport
