// The preview of a ring: the sound player beside the program plays one
// sound file at a time. A new preview stops the one still playing, and so
// does the end of the preview's owner, so no player is left running.
#pragma once

#include <windows.h>

#include <string>

#include "base/handles.h"

namespace settings {

class TRingPreview {
public:
    TRingPreview() = default;
    ~TRingPreview();
    TRingPreview(const TRingPreview&) = delete;
    TRingPreview& operator=(const TRingPreview&) = delete;

    // Stops the preview before, then starts the player on a sound file (never
    // anything else the shell would start). False when nothing was started.
    bool Play(const std::wstring& path);
    void Stop();
    // The player of the preview still playing, 0 when there is none.
    DWORD ProcessId() const;

    // The program that plays the file; empty for Piravel.exe beside this
    // program.
    std::wstring Player;

private:
    base::Process process_;
    DWORD processId_ = 0;
};

}  // namespace settings
