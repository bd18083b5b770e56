// How much junk the clean-up library Drovask.dll finds, through its COM
// class, loaded straight from its file for the one scan.
#pragma once

#include <cstdint>
#include <string>

namespace companion {

// 200 MiB: from here on the junk is worth a reminder.
constexpr uint64_t kJunkLimitBytes = 209715200;

// "<folder above Corvalle's own>sweeper\Drovask.dll"; empty when Corvalle's
// own folder is unknown.
std::wstring SweeperPath();

// Adds two sizes, stopping at the largest value instead of wrapping.
uint64_t AddSizesSaturated(uint64_t a, uint64_t b);

// True when the library at `libraryPath` finds kJunkLimitBytes or more in
// its two categories together; false when it is missing or any step fails.
bool ScanJunkSize(const std::wstring& libraryPath);

}  // namespace companion
