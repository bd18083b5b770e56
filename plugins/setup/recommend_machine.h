// What the recommend-and-update checks ask of the machine. The product's
// answers come from the kernel (software query, item list, entry list);
// tests give their own.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace setup {

class IRecommendMachine {
public:
    virtual ~IRecommendMachine() = default;
    // RUConfig.dat's full path, or empty when there is none.
    virtual std::wstring ConfigFilePath() = 0;
    // Drops any earlier software query and makes a new one; true when one exists.
    virtual bool OpenSoftwareQuery() = 0;
    virtual bool HasSoftwareQuery() = 0;
    virtual bool IsSoftwarePresent(uint32_t softId) = 0;
    // Adds the texts of the machine's software entries; false when the list
    // could not be had.
    virtual bool CollectInstalledKeys(std::set<std::wstring>* keys) = 0;
    virtual std::vector<std::wstring> ExecutablePaths() = 0;
};

}  // namespace setup
