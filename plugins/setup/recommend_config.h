// RUConfig.dat: where it lies, how it is decrypted and how its JSON becomes
// condition records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/setup/blowfish.h"
#include "plugins/setup/recommend_records.h"

// Anything larger is not a configuration file and counts as unreadable.
constexpr uint32_t kRecommendConfigMaxBytes = 16u * 1024 * 1024;

// The security folder (App Paths\tarvisk.exe "Path") + "Pellor\RUConfig.dat";
// empty when that folder counts as missing (never a relative path).
std::wstring LocateRecommendConfig();

// ECB decryption into a zero-filled buffer; the text ends at the first NUL.
std::string DecryptRecommendConfig(const std::vector<uint8_t>& file, const BlowfishContext& cipher);

// The records of a top-level array, in file order. A broken text gives none;
// a record with a type error is dropped and the next one read.
std::vector<RecommendCondition> ParseRecommendConditions(const std::string& utf8);
