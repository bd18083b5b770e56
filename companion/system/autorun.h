// The log-on Run value that starts the companion with the user's session.
#pragma once

namespace companion {

// Writes the log-on Run value "Corvalle" (the quoted path of the running
// program) when there is none.
void EnsureAutorun();

// Deletes the log-on Run value, if any.
void RemoveAutorun();

}  // namespace companion
