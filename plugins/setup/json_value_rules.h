// How RUConfig.dat's JSON values become condition fields. jsoncpp's own
// conversions throw on some types and convert others silently, so the rules
// are written out here: a false result is a type error, which drops the
// whole record.
#pragma once

#include <cstdint>
#include <string>

#include <json/value.h>

namespace setup {

// null false; bool itself; number non-zero; string non-empty; array or
// object with members. Never a type error.
bool JsonFlag(const Json::Value& value);
// null 0; bool 0 or 1; an integer in 0..4294967295; a real in that range,
// truncated. Anything else is a type error.
bool JsonU32(const Json::Value& value, uint32_t* out);
// null ""; a string itself (UTF-8, invalid sequences as U+FFFD). Anything
// else is a type error.
bool JsonText(const Json::Value& value, std::wstring* out);

}  // namespace setup
