#include "base/power.h"

#include "base/handles.h"
#include "base/module_exports.h"

namespace base {

namespace {

using SetSuspendStateFn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);

// Bound on first use and freed at exit, so a program that never sleeps the
// machine never loads it.
struct PowerLibrary {
    base::Library library{::LoadLibraryW(L"powrprof.dll")};
    SetSuspendStateFn setSuspendState = Export<SetSuspendStateFn>(library.Get(), "SetSuspendState");
};

SetSuspendStateFn SetSuspendStateEntry() {
    static PowerLibrary power;
    return power.setSuspendState;
}

class SystemPowerImpl final : public IPower {
public:
    explicit SystemPowerImpl(OpenPrograms programs) : programs_(programs) {}

    bool EnableShutdownPrivilege() override { return EnablePrivilege(SE_SHUTDOWN_NAME, true); }
    bool ExitSession(UINT flags, DWORD reason) override { return ::ExitWindowsEx(flags, reason) != FALSE; }
    bool Suspend(bool hibernate, bool force, bool disableWakeEvents) override {
        const SetSuspendStateFn fn = SetSuspendStateEntry();
        return fn && fn(hibernate, force, disableWakeEvents) != FALSE;
    }
    bool Lock() override { return ::LockWorkStation() != FALSE; }
    bool InitiateShutdown(bool reboot) override {
        const BOOL closeApps = programs_ == OpenPrograms::Close ? TRUE : FALSE;
        return ::InitiateSystemShutdownW(nullptr, nullptr, 0, closeApps, reboot ? TRUE : FALSE) != FALSE;
    }
    void KeepAwake(bool on) override {
        ::SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
    }

private:
    const OpenPrograms programs_;
};

}  // namespace

IPower& SystemPower(OpenPrograms programs) {
    static SystemPowerImpl closing(OpenPrograms::Close);
    static SystemPowerImpl asking(OpenPrograms::MayAsk);
    return programs == OpenPrograms::Close ? static_cast<IPower&>(closing) : static_cast<IPower&>(asking);
}

bool EnablePrivilege(const wchar_t* name, bool enable) {
    if (!name) return false;
    if (::GetVersion() & 0x80000000u) return true;  // no privileges on the 9x line
    base::KernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    if (!::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) return false;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    ::SetLastError(ERROR_SUCCESS);
    if (!::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr))
        return false;
    return ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

}  // namespace base
