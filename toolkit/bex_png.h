// PNG data held in memory to a top-down DIB section: 24 bits per pixel for
// opaque images, 32 bits with premultiplied alpha when the image has an alpha
// channel or a transparency chunk, so AlphaBlend can take it as it is.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "winlib/handles.h"

// An empty bitmap when the signature does not match or decoding fails.
winlib::Bitmap DecodePngToDib(const void* data, size_t size);

// Reads a whole file into `out`; false when it cannot be opened or read.
bool ReadWholeFile(const wchar_t* path, std::string& out);
