// What the reminder actions need from the world: the clock, the calendar,
// whether the user is busy, the sound player, the action file, the
// processor's idle share and the system disk. The product uses the system;
// tests put a scripted world in its place, so that hours of rules run in
// milliseconds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/handles.h"

namespace companion {

class IActionEnvironment {
public:
    virtual DWORD TickCount() = 0;
    virtual SYSTEMTIME LocalTime() = 0;
    // Seconds since 1970 (UTC): the stamps of the rest mode.
    virtual int64_t UnixTime() = 0;
    // A full-screen window, the security product's monitor or its
    // web-identify state asks for quiet.
    virtual bool IsUserBusy() = 0;
    virtual void PlaySound(const std::wstring& path) = 0;
    virtual void StopSound() = 0;
    // A value of Actions.ini; empty when the file, section or key is missing.
    virtual std::wstring ReadActionString(const wchar_t* section, const wchar_t* key) = 0;
    // Runs the downloader for `url` (waiting at most `timeoutMs`); its exit code.
    virtual int RunDownloader(const std::wstring& url, DWORD timeoutMs) = 0;
    // An animation strip of the unpacked skin, by its file name there; an
    // empty bitmap when it cannot be loaded.
    virtual base::Bitmap LoadStrip(const std::wstring& fileName) = 0;
    // The processor's idle share over a second, in percent (100 when unknown).
    virtual int CpuIdlePercent() = 0;
    // The system disk is short of space.
    virtual bool SystemDiskShort() = 0;

protected:
    ~IActionEnvironment() = default;
};

// The real world.
IActionEnvironment& SystemActionEnvironment();

}  // namespace companion
