// What the player was asked to do, decided from its command line alone.
#pragma once

#include <windows.h>

#include <string>

#include "base/text.h"

namespace player {

enum class PlayerJobKind { None, Download, Play };

struct PlayerJob {
    PlayerJobKind kind = PlayerJobKind::None;
    std::wstring target;  // the URL or the sound path, lower-cased
};

// ASCII letters lower-cased, every other character unchanged: the rule
// every program shares, under the name the player's callers know.
inline constexpr std::wstring (&ToLowerAscii)(std::wstring) = base::LowerAscii;
// The last three characters, or the whole text when it has three or fewer.
std::wstring LastThreeChars(const std::wstring& text);

// Texts longer than four characters ending in "xml" are downloaded; anything
// else is played. No text: nothing to do.
PlayerJob ParsePlayerJob(const wchar_t* commandLine);

// What a download is saved as in the temporary folder until it is accepted
// and becomes the dated file.
inline constexpr wchar_t kPartialDownloadName[] = L"Piravel.part";

// "<tempDir>YYYYMMDD.xml" for the given local date.
std::wstring DatedWeatherXml(const std::wstring& tempDir, const SYSTEMTIME& localDate);

}  // namespace player
