#include "companion/system/power.h"

#include <powrprof.h>

#include <atomic>

#include "winlib/handles.h"

namespace {

constexpr DWORD kPlannedShutdownReason = 0x80020000;  // planned, operating system: reconfiguration

class SystemPowerControl : public IPowerControl {
public:
    bool EnableShutdownPrivilege() override {
        winlib::KernelHandle token;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
            return false;
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return false;
        ::SetLastError(ERROR_SUCCESS);
        ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
        return ::GetLastError() == ERROR_SUCCESS;
    }
    bool ExitSession(UINT flags, DWORD reason) override { return ::ExitWindowsEx(flags, reason) != FALSE; }
    bool Suspend(bool hibernate, bool force, bool disableWakeEvents) override {
        return ::SetSuspendState(hibernate, force, disableWakeEvents) != FALSE;
    }
    bool Lock() override { return ::LockWorkStation() != FALSE; }
    bool InitiateShutdown(bool reboot) override {
        return ::InitiateSystemShutdownW(nullptr, nullptr, 0, TRUE, reboot) != FALSE;
    }
    void KeepAwake(bool on) override {
        ::SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
    }
};

std::atomic<IPowerControl*> g_override{nullptr};

}  // namespace

IPowerControl& PowerControl() {
    static SystemPowerControl system;
    IPowerControl* power = g_override.load();
    return power ? *power : system;
}

void SetPowerControl(IPowerControl* power) {
    g_override.store(power);
}

bool SystemShutdown(bool force, int type) {
    IPowerControl& power = PowerControl();
    if (!power.EnableShutdownPrivilege()) return false;
    switch (type) {
    case kShutdownRestart:
        return power.ExitSession(force ? EWX_REBOOT | EWX_FORCE : EWX_REBOOT, kPlannedShutdownReason);
    case kShutdownPowerOff:
        return power.ExitSession(force ? EWX_POWEROFF | EWX_FORCE : EWX_POWEROFF, kPlannedShutdownReason);
    case kShutdownLogOff:
        return power.ExitSession(EWX_LOGOFF, kPlannedShutdownReason);
    case kShutdownStandby:
        return power.Suspend(false, true, false);
    default:
        return true;
    }
}
