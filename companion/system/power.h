// Everything that would end the user's session or stop the machine goes
// through this seam, so tests can record it instead of doing it.
#pragma once

#include <windows.h>

class IPowerControl {
public:
    virtual bool EnableShutdownPrivilege() = 0;
    virtual bool ExitSession(UINT flags, DWORD reason) = 0;
    virtual bool Suspend(bool hibernate, bool force, bool disableWakeEvents) = 0;
    virtual bool Lock() = 0;
    // The machine-wide shutdown that also works while the session is locked.
    virtual bool InitiateShutdown(bool reboot) = 0;
    // Keeps the system from sleeping while `on` (a timed shutdown is pending).
    virtual void KeepAwake(bool on) = 0;

protected:
    ~IPowerControl() = default;
};

// The seam in force: the real system unless a test put its own in place.
IPowerControl& PowerControl();
// Puts `power` in place (null: the real system again).
void SetPowerControl(IPowerControl* power);

enum SystemShutdownType { kShutdownRestart = 0, kShutdownPowerOff = 1, kShutdownLogOff = 2, kShutdownStandby = 3 };

// Restart, power off, log off or standby; any other type succeeds without
// doing anything. False when the privilege cannot be had or the call fails.
bool SystemShutdown(bool force, int type);
