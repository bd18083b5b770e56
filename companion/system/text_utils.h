// Small text helpers shared by the main window and the actions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"

namespace companion {

// 0 split; -1 the separator does not occur (the list is left alone); -2 the
// separator is empty. Empty pieces are skipped.
int SplitString(const std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& pieces);

// The text between the first `open` at or after `start` and the next `close`;
// empty when either marker is missing or empty.
std::wstring TextBetween(const std::wstring& text, const std::wstring& open, const std::wstring& close,
                         size_t start = 0);

// The code-page conversions every program shares.
using base::ToCodePageFromWide;
using base::ToWideFromCodePage;
using base::Utf8ToWide;

// printf-style formatting into a wide string (wide texts are %ls, narrow %hs).
void FormatWString(std::wstring& out, const wchar_t* format, ...);

// The two characters at `position` (0 when it is at or past the end); the
// whole text when it is shorter than two.
std::wstring MidText(const std::wstring& text, size_t position);
// The first `count` characters; the whole text when it is not longer.
std::wstring LeftText(const std::wstring& text, size_t count);
// The last two characters; the whole text when it has two or fewer.
std::wstring RightText(const std::wstring& text);

// low + (tick count mod the width of the range); `low` when high < low.
int RandomInRange(int high, int low);
int RandomInRange(int high, int low, DWORD tick);

int64_t Now64();

}  // namespace companion
