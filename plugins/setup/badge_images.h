// The update-count badge through the kernel: the badge picture decoded by
// the image codec (class 26), badged images saved by it, the manager's icon
// handed to the notification service (class 93).
#pragma once

#include <windows.h>

#include <string>

namespace setup {

// The manager program's icon at 32 and 48 pixels, badged for 1 to 9999,
// the badge strip saved as "PellorUpdateCount.png" beside `referencePath`,
// and the three images (the strip null when there is none) given to class
// 93 slot 7. 1 when class 93 took them.
LONG UpdateCountBadge(const std::wstring& managerFolder, long count, const wchar_t* referencePath);

// Draws the badge for `count` on `image` (1 to 9999; other counts leave it
// as it is) and saves it as a PNG at `path`. The codec's save result; 0
// without a codec or when the badge picture can't be decoded.
LONG SaveBadgedImage(long count, HBITMAP image, const wchar_t* path);

// Badges the picture of class 93 slot 6 (`picture`, a PNG path) with the
// update count of class 49 and saves it at `pngPath`; then posts `message`
// to `window`. SaveBadgedImage's result, 0 without a count.
LONG ShowNotify(const wchar_t* picture, const wchar_t* pngPath, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam);

}  // namespace setup
