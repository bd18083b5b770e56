// Whole-file reads with a size limit: files the plug-in reads are small, and a
// huge one is not what it looks for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace setup {

// False (and nothing in `bytes`) when the file is missing, unreadable or
// larger than `maxBytes`. Others may read the file meanwhile, not write it.
bool ReadWholeFile(const wchar_t* path, DWORD maxBytes, std::vector<uint8_t>* bytes);

}  // namespace setup
