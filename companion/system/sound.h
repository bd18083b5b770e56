// Ring sounds are played by the separate player program, so the companion
// itself needs no multimedia library; stopping a sound ends that process.
#pragma once

#include <windows.h>

// Starts the player hidden with `path` as its whole parameter text; no wait.
void PlaySoundFile(const wchar_t* path);

// Id of the first running player process, or 0.
DWORD FindSoundHelperProcess();

// Ends the running player, if any; true when one was ended.
bool StopSoundHelper();
