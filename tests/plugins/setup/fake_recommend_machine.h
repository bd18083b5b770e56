// A machine for the condition checks: present software ids, software entry
// texts and executable paths as the test sets them, every question counted.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "plugins/setup/recommend_machine.h"

class FakeRecommendMachine : public setup::IRecommendMachine {
public:
    std::wstring configPath;
    bool queryAvailable = true;
    std::set<uint32_t> presentIds;
    std::vector<std::wstring> installedTexts;
    std::vector<std::wstring> exePaths;

    int queriesOpened = 0;
    std::vector<uint32_t> idsAsked;

    std::wstring ConfigFilePath() override { return configPath; }
    bool OpenSoftwareQuery() override {
        ++queriesOpened;
        hasQuery_ = queryAvailable;
        return hasQuery_;
    }
    bool HasSoftwareQuery() override { return hasQuery_; }
    bool IsSoftwarePresent(uint32_t id) override {
        idsAsked.push_back(id);
        return presentIds.count(id) != 0;
    }
    bool CollectInstalledKeys(std::set<std::wstring>* keys) override {
        keys->insert(installedTexts.begin(), installedTexts.end());
        return true;
    }
    std::vector<std::wstring> ExecutablePaths() override { return exePaths; }

private:
    bool hasQuery_ = false;
};
