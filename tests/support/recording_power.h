// The power seam for tests: records every request instead of carrying it
// out, and answers as the test says.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/power.h"

namespace testsupport {

class RecordingPower : public base::IPower {
public:
    // How much of each request `calls` keeps:
    //   Full   "exit <flags> <reason>", "suspend <hibernate><force><no wake>"
    //          (as 0/1), "lock", "initiate reboot" / "initiate poweroff",
    //          "awake" / "sleepy";
    //   Short  "exit <flags>", "suspend", "lock", "initiate ...", and the
    //          keep-awake switches only in `awake`.
    enum class Detail { Full, Short };

    explicit RecordingPower(Detail detail = Detail::Full) : detail_(detail) {}

    bool EnableShutdownPrivilege() override;
    bool ExitSession(UINT flags, DWORD reason) override;
    bool Suspend(bool hibernate, bool force, bool disableWakeEvents) override;
    bool Lock() override;
    bool InitiateShutdown(bool reboot) override;
    void KeepAwake(bool on) override;

    // What EnableShutdownPrivilege answers (it is not recorded).
    bool privilege = true;
    // What the other requests answer.
    bool result = true;
    std::vector<std::wstring> calls;
    // Every keep-awake switch in order, in both details.
    std::vector<bool> awake;

private:
    const Detail detail_;
};

}  // namespace testsupport
