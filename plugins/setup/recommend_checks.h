// The checks one condition goes through, in order; the first that decides
// ends them. Steps 1 to 3 and 8 say no, 1 to 4 say yes ("False - N",
// "True - N" in the log).
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "plugins/setup/recommend_machine.h"
#include "plugins/setup/recommend_records.h"

namespace setup {

struct ConditionOutcome {
    bool Holds;
    int Step;
};

ConditionOutcome CheckCondition(const RecommendCondition& condition, uint32_t involveMask,
                                const std::set<uint32_t>& shownAdIds,
                                const std::set<std::wstring>& installedKeys, IRecommendMachine& machine);

// The part of a path after its last backslash, upper case.
std::wstring ExecutableKey(const std::wstring& path);

}  // namespace setup
