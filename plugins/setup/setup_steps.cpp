#include "plugins/setup/setup_steps.h"

#include <atomic>

namespace setup {

namespace {

std::atomic<SetupStepHook> g_hook{nullptr};

}  // namespace

void SetSetupStepHookForTest(SetupStepHook hook) { g_hook.store(hook); }

bool SetupStepWanted(const wchar_t* name) {
    const SetupStepHook hook = g_hook.load();
    return !hook || hook(name);
}

}  // namespace setup
