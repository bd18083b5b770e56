// A JSON text checked whole against the JSON grammar (RFC 8259) before any
// of it is parsed. jsoncpp, even in its strict mode, lets through forms the
// grammar forbids, and it builds its whole tree before anyone can count it:
// this check allocates nothing and stops at the first fault or at the first
// value past a limit.
#pragma once

#include <cstddef>

namespace setup {

struct JsonTextLimits {
    size_t MaxDepth;        // arrays and objects nested in one another
    size_t MaxValues;       // values of every kind (object names not counted)
    size_t MaxTopElements;  // elements of a top-level array
};

// True when [begin, end) is exactly one JSON value, with only JSON white
// space around it, within `limits`. Strings are not checked for valid UTF-8
// (their conversion replaces what is not); an escaped high surrogate must be
// followed by an escaped low one, as the parser after this check requires.
bool CheckJsonText(const char* begin, const char* end, const JsonTextLimits& limits);

}  // namespace setup
