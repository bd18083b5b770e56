// Animation strips of the unpacked skin package.
#pragma once

#include <windows.h>

#include <string>

#include "base/handles.h"

namespace companion {

// The full path of a file of the unpacked skin ("...\tarvisk\vyn\halvet\name").
std::wstring SkinFilePath(const std::wstring& fileName);

// Loads a PNG strip of the unpacked skin as a 32-bit premultiplied bitmap;
// empty when it is missing or broken.
base::Bitmap LoadSkinStrip(const std::wstring& fileName);

// True when frames `first` and `second` of a strip of `cx` x `cy` frames
// (a DIB section) hold the same pixels; false when either lies outside the
// strip or the strip is no DIB section.
bool StripFramesEqual(HBITMAP strip, int first, int second, int cx, int cy);

}  // namespace companion
