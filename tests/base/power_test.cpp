#include "base/power.h"

#include <gtest/gtest.h>

namespace {

// Enabling a privilege changes only this test process's own token.
TEST(BasePower, APrivilegeTheTokenDoesNotHoldIsAFailure) {
    struct Case {
        const wchar_t* name;
        bool enabled;
    };
    const Case cases[] = {
        {SE_SHUTDOWN_NAME, true},
        {L"SeCreateTokenPrivilege", false},  // not held by a user's token
        {L"SeNoSuchPrivilege", false},
        {nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.enabled, base::EnablePrivilege(c.name, true)) << (c.name ? "named" : "null");
    EXPECT_TRUE(base::SystemPower(base::OpenPrograms::Close).EnableShutdownPrivilege());
}

TEST(BasePower, EachProgramRuleHasItsOwnSystem) {
    EXPECT_NE(&base::SystemPower(base::OpenPrograms::Close), &base::SystemPower(base::OpenPrograms::MayAsk));
    EXPECT_EQ(&base::SystemPower(base::OpenPrograms::MayAsk), &base::SystemPower(base::OpenPrograms::MayAsk));
}

}  // namespace
