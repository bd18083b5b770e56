#include "plugins/setup/recommend_checks.h"

#include "plugins/setup/setup_text.h"

namespace setup {

std::wstring ExecutableKey(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return UpperCase(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

ConditionOutcome CheckCondition(const RecommendCondition& c, uint32_t involveMask,
                                const std::set<uint32_t>& shownAdIds,
                                const std::set<std::wstring>& installedKeys, IRecommendMachine& machine) {
    if ((involveMask & c.Involve) == 0) return {false, 1};
    if (shownAdIds.count(c.Result.AdId) != 0 && c.Result.RecommendRepeat == 0) return {false, 2};
    const bool hasQuery = machine.HasSoftwareQuery();
    // The recommended software is already there.
    if (hasQuery && machine.IsSoftwarePresent(c.Result.RecommendSoftId)) return {false, 3};
    if (c.SoftKeys.empty() && c.ExeKeys.empty() && c.SoftIds.empty()) return {true, 1};
    if (hasQuery) {
        for (uint32_t id : c.SoftIds) {
            if (machine.IsSoftwarePresent(id)) return {true, 2};
        }
    }
    for (const std::wstring& key : c.SoftKeys) {
        if (key.empty()) continue;
        for (const std::wstring& installed : installedKeys) {
            if (installed.find(key) != std::wstring::npos) return {true, 3};
        }
    }
    for (const std::wstring& path : machine.ExecutablePaths()) {
        if (c.ExeKeys.count(ExecutableKey(path)) != 0) return {true, 4};
    }
    return {false, 4};
}

}  // namespace setup
