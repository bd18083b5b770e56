// Everything that would end the user's session or stop the machine goes
// through this seam, so tests can record it instead of doing it. The
// programs decide which call a request becomes; this is the system below.
#pragma once

#include <windows.h>

namespace base {

class IPower {
public:
    // Enables the shutdown privilege in this process's token; false when
    // the token does not hold it.
    virtual bool EnableShutdownPrivilege() = 0;
    virtual bool ExitSession(UINT flags, DWORD reason) = 0;
    virtual bool Suspend(bool hibernate, bool force, bool disableWakeEvents) = 0;
    virtual bool Lock() = 0;
    // The machine-wide shutdown that also works while the session is locked.
    virtual bool InitiateShutdown(bool reboot) = 0;
    // Keeps the system from sleeping while `on` (a timed shutdown is pending).
    virtual void KeepAwake(bool on) = 0;

protected:
    ~IPower() = default;
};

// How the machine-wide shutdown treats programs with unsaved work: Corvalle
// acts for an absent user and closes them; Mirelo acts for the user at the
// screen and lets them ask.
enum class OpenPrograms { Close, MayAsk };

// The real system.
IPower& SystemPower(OpenPrograms programs);

// Enables (or disables) a privilege in this process's token. The system
// reports success even when the token does not hold the privilege; that
// case is a failure here.
bool EnablePrivilege(const wchar_t* name, bool enable);

}  // namespace base
