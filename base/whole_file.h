// Reading a whole (small) file into memory: pictures and skins are read
// this way before they are decoded.
#pragma once

#include <string>

namespace base {

// Reads a whole file into `out`; false (and `out` empty) when it cannot be
// opened or read.
bool ReadWholeFile(const wchar_t* path, std::string& out);

}  // namespace base
