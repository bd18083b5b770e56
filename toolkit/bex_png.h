// PNG data held in memory to a top-down DIB section (the decoder is the one
// every program shares), and reading a whole picture file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "base/png_decoder.h"
#include "winlib/handles.h"

// 24 bits per pixel for opaque images, 32 bits with premultiplied alpha
// when the image has an alpha channel or a transparency chunk; an empty
// bitmap when the data is no PNG, broken or too large.
using base::DecodePngToDib;

// Reads a whole file into `out`; false when it cannot be opened or read.
bool ReadWholeFile(const wchar_t* path, std::string& out);
