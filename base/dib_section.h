// Pixels the programs draw into themselves (decoded pictures, composed
// screens, badges) live in top-down DIB sections made here.
#pragma once

#include <windows.h>

#include "base/handles.h"

namespace base {

// A top-down DIB section of width x height at `bitsPerPixel` (24 or 32),
// zero-filled by the system; its rows are padded to four bytes. Empty on
// failure or for a side that is not positive; `bits` (when given) receives
// the pixels, or null.
base::Bitmap CreateTopDownDib(int width, int height, WORD bitsPerPixel, void** bits = nullptr);

}  // namespace base
