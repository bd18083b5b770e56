// Ring sounds and the weather download go through the separate player
// program, so the companion itself needs no multimedia or internet library;
// stopping a sound ends that process.
#pragma once

#include <windows.h>

#include <string>

namespace companion {

// Starts the player hidden with `path` as its whole parameter text; no wait.
void PlaySoundFile(const wchar_t* path);

// Id of the first running player process, or 0.
DWORD FindSoundHelperProcess();

// Ends the running player, if any; true when one was ended.
bool StopSoundHelper();

// Runs the player to download `url` into the dated file of the temporary
// folder and waits at most `timeoutMs` for it (then ends it). Its exit code,
// or -1 when it could not be started, read or waited for.
int RunDownloader(const std::wstring& url, DWORD timeoutMs);

}  // namespace companion
