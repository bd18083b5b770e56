// How Piravel ends: its answer as the exit code, once the threads that the
// sound and download libraries start and stop on their own have settled.
#pragma once

namespace player {

[[noreturn]] void EndProcessWith(int code);

}  // namespace player
