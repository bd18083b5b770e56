// The after-install and uninstall jobs step by step: a step that throws is
// stopped at its own barrier and every later step still runs. The steps
// themselves are left out here (no kernel is bound); only their order is.
#include "plugins/setup/setup_steps.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "plugins/setup/setup_classes.h"
#include "tests/support/prefix_state.h"

using namespace setup;

namespace {

std::vector<std::wstring> g_reached;
std::wstring g_failing;

bool Reach(const wchar_t* name) {
    g_reached.push_back(name);
    if (g_failing == name) throw std::runtime_error("the step failed");
    return false;
}

TEST(SetupSteps, AThrowingStepSkipsNoLaterStep) {
    SetSetupStepHookForTest(&Reach);
    for (auto job : {&CBexSetupUtil::ConfigureAfterInstall, &CBexSetupUtil::UninstallCleanup}) {
        CBexSetupUtil util;
        g_reached.clear();
        g_failing.clear();
        EXPECT_EQ((util.*job)(), 0);
        const std::vector<std::wstring> every = g_reached;
        EXPECT_GE(every.size(), 12u);
        for (const std::wstring& step : every) {
            g_reached.clear();
            g_failing = step;
            EXPECT_EQ((util.*job)(), 0);
            EXPECT_EQ(g_reached, every) << testsupport::Narrow(step);
        }
    }
    SetSetupStepHookForTest(nullptr);
}

}  // namespace
