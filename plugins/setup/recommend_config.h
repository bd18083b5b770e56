// RUConfig.dat: where it lies, how it is decrypted and how its JSON becomes
// condition records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugins/setup/blowfish.h"
#include "plugins/setup/recommend_records.h"

namespace setup {

// Anything larger is not a configuration file and counts as unreadable.
constexpr uint32_t kRecommendConfigMaxBytes = 16u * 1024 * 1024;
// Far above what a configuration needs (one object per condition, a few
// dozen values each, three levels deep). A text beyond any of these is
// refused whole, before parsing: each condition costs a 4128-byte block, and
// a file under the size cap can hold millions of empty elements.
constexpr size_t kRecommendConditionsMax = 4096;
constexpr size_t kRecommendJsonValuesMax = 131072;
constexpr size_t kRecommendJsonDepthMax = 64;

// The security folder (App Paths\tarvisk.exe "Path") + "Pellor\RUConfig.dat";
// empty when that folder counts as missing (never a relative path).
std::wstring LocateRecommendConfig();

// ECB decryption into a zero-filled buffer; the text ends at the first NUL.
// Memory that runs out throws (std::bad_alloc), as in the parse below: that
// is no judgement of the file.
std::string DecryptRecommendConfig(const std::vector<uint8_t>& file, const BlowfishContext& cipher);

// The records of a top-level array, in file order. A text outside the JSON
// grammar (a byte order mark before it aside) or past the limits above gives
// none; a record with a type error is dropped and the next one read.
std::vector<RecommendCondition> ParseRecommendConditions(const std::string& utf8);

}  // namespace setup
