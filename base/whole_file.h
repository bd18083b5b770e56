// Reading a whole (small) file into memory: pictures and skins are read
// this way before they are decoded.
#pragma once

#include <cstddef>
#include <string>

namespace base {

// No file read whole comes near this: the largest, a screen-sized picture
// (the rest mode's background), fits several times over. A larger file is
// refused before anything is allocated for it.
constexpr size_t kWholeFileMaxBytes = 16u * 1024 * 1024;

// Reads a whole file into `out`; false (and `out` empty) when it cannot be
// opened or read, or holds more than `maxBytes` (that refusal is logged).
bool ReadWholeFile(const wchar_t* path, std::string& out, size_t maxBytes = kWholeFileMaxBytes);

}  // namespace base
