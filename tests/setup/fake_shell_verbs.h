// A verb source that lists given verb names for every file and records what
// was invoked, as "<folder>|<file>|<verb name>".
#pragma once

#include <string>
#include <vector>

#include "plugins/setup/shell_verbs.h"

class FakeShellVerbs final : public IShellVerbSource {
public:
    explicit FakeShellVerbs(std::vector<std::wstring> names) : names_(std::move(names)) {}

    std::vector<std::wstring> List(const std::wstring&, const std::wstring&) override { return names_; }
    bool Invoke(const std::wstring& folder, const std::wstring& file, size_t index) override {
        invoked.push_back(folder + L"|" + file + L"|" + names_.at(index));
        return true;
    }

    std::vector<std::wstring> invoked;

private:
    std::vector<std::wstring> names_;
};
