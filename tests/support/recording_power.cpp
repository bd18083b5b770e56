#include "tests/support/recording_power.h"

namespace testsupport {

bool RecordingPower::EnableShutdownPrivilege() {
    return privilege;
}

bool RecordingPower::ExitSession(UINT flags, DWORD reason) {
    std::wstring call = L"exit " + std::to_wstring(flags);
    if (detail_ == Detail::Full) call += L" " + std::to_wstring(reason);
    calls.push_back(call);
    return result;
}

bool RecordingPower::Suspend(bool hibernate, bool force, bool disableWakeEvents) {
    if (detail_ == Detail::Full)
        calls.push_back(L"suspend " + std::to_wstring(hibernate) + std::to_wstring(force) +
                        std::to_wstring(disableWakeEvents));
    else
        calls.push_back(L"suspend");
    return result;
}

bool RecordingPower::Lock() {
    calls.push_back(L"lock");
    return result;
}

bool RecordingPower::InitiateShutdown(bool reboot) {
    calls.push_back(reboot ? L"initiate reboot" : L"initiate poweroff");
    return result;
}

void RecordingPower::KeepAwake(bool on) {
    awake.push_back(on);
    if (detail_ == Detail::Full) calls.push_back(on ? L"awake" : L"sleepy");
}

}  // namespace testsupport
