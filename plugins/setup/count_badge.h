// The update-count badge: the count on a small red picture, drawn into the
// top right corner of an image or as a strip of its own. Images are 32-bit
// top-down DIB sections with premultiplied alpha.
#pragma once

#include <windows.h>

#include "base/handles.h"

namespace setup {

// The badge picture's size; a decoded picture of another size is not used.
constexpr int kBadgeWidth = 15;
constexpr int kBadgeHeight = 16;

// Counts that get a badge.
constexpr bool IsBadgeCount(long count) { return count >= 1 && count <= 9999; }

// 15, 22, 30 or 36 for 1 to 4 digits; 0 for counts without a badge.
int CountStripWidth(long count);

// A transparent image of that size; empty on failure.
base::Bitmap NewImage(int width, int height);

// A copy of an icon at size x size pixels; empty without an icon.
base::Bitmap IconImage(HICON icon, int size);

// Draws the badge and the count into the top right corner of `image`.
// False, with `image` unchanged, when either picture is not of the expected
// kind or the count gets no badge.
bool DrawCountBadge(HBITMAP image, long count, HBITMAP badge);

// The badge strip, 16 pixels high; empty for counts without a badge.
base::Bitmap MakeCountStrip(long count, HBITMAP badge);

}  // namespace setup
