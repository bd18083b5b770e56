// A reminder whose checks are not part of this build: it keeps its place in
// the polling order and is never due.
#pragma once

#include "companion/actions/action_base.h"

class CActionPlaceholder : public CActionBase {
public:
    explicit CActionPlaceholder(const wchar_t* section, IActionEnvironment& env = SystemActionEnvironment(),
                                SharedSettings& settings = SharedSettings::Instance())
        : CActionBase(section, env, settings) {}
    bool CheckCondition() override { return false; }
};
