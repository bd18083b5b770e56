// Corvalle's log: a line for each step that failed and what was done about
// it, to the system's debug output (a debugger, or Wine's debug channel).
#pragma once

#include <string>

// Writes "Corvalle: <what>[: <detail>]".
void LogLine(const std::wstring& what, const std::wstring& detail = std::wstring());
