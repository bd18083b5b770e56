// Where Corvalle's start-up goes: each step up to the first frame of the
// mascot is written to the log (the system's debug output) with the
// milliseconds since the process was created, measured with
// QueryPerformanceCounter, and the private memory at that moment.
#pragma once

namespace companion {

// Writes "Corvalle: start-up: <step>: <ms> ms (+<ms since the last step>),
// private <KB> KB". The UI thread marks each step once.
void MarkStartupStep(const wchar_t* step);

}  // namespace companion
