// The after-install and uninstall jobs are sequences in which no step stops
// the ones after it: each step runs behind its own exception barrier, which
// logs the step by name when it throws, and the job goes on with the next.
#pragma once

#include "base/exception_barrier.h"

namespace setup {

// Called with each step's name inside its barrier, before the step; a step
// runs only when it returns true. For tests, which make a step throw.
using SetupStepHook = bool (*)(const wchar_t* name);
void SetSetupStepHookForTest(SetupStepHook hook);
// True unless a test's hook leaves the step out.
bool SetupStepWanted(const wchar_t* name);

// Runs `step` as the step named `name` (the name is what is logged).
template <typename Step>
void RunSetupStep(const wchar_t* name, Step&& step) noexcept {
    base::CallGuarded(name, false, [&] {
        if (SetupStepWanted(name)) step();
        return true;
    });
}

}  // namespace setup
