#include <gtest/gtest.h>

#include "companion/app/startup.h"

using namespace companion;

namespace {

struct SwitchCase {
    const wchar_t* line;
    StartSwitch expected;
};

class StartSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(StartSwitchTest, OnlyTheFirstMatchingSwitchActs) {
    EXPECT_EQ(ParseStartSwitch(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StartSwitchTest,
    ::testing::Values(
        SwitchCase{L"/UNINSTALL", StartSwitch::Uninstall},
        SwitchCase{L"xx-uninstallyy", StartSwitch::Uninstall},
        SwitchCase{L"UnInStAlL", StartSwitch::Uninstall},
        // uninstall wins over autorun wherever it stands
        SwitchCase{L"/autorun /uninstall", StartSwitch::Uninstall},
        SwitchCase{L"/eyeguardian /uninstall", StartSwitch::Uninstall},
        // eyeguardian wins over autorun: the autorun flag stays clear
        SwitchCase{L"/autorun /eyeguardian", StartSwitch::EyeGuardian},
        SwitchCase{L"-EYEGUARDIAN", StartSwitch::EyeGuardian},
        SwitchCase{L"/Autorun", StartSwitch::Autorun},
        SwitchCase{L"", StartSwitch::None},
        SwitchCase{nullptr, StartSwitch::None},
        SwitchCase{L"/install", StartSwitch::None},
        SwitchCase{L"un install", StartSwitch::None},
        // only ASCII letters are lower-cased: a full-width U is no 'u'
        SwitchCase{L"\xFF35NINSTALL", StartSwitch::None},
        // a Turkish dotted capital I is not an 'i' either
        SwitchCase{L"UN\x0130NSTALL", StartSwitch::None}));

}  // namespace
