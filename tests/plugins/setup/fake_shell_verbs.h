// A verb source that lists given verb names for every file and records what
// was run, as "<folder>|<file>|<verb name>". `afterListing`, when set, runs
// once a listing is taken: the shell's menu changing meanwhile.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "plugins/setup/shell_verbs.h"

class FakeShellVerbs final : public setup::IShellVerbSource {
public:
    explicit FakeShellVerbs(std::vector<std::wstring> listed) : names(std::move(listed)) {}

    void Visit(const std::wstring& folder, const std::wstring& file,
               const std::function<bool(setup::IShellVerb&)>& visit) override {
        const std::vector<std::wstring> listing = names;
        if (afterListing) afterListing();
        for (const std::wstring& name : listing) {
            Verb verb(name, [&] { invoked.push_back(folder + L"|" + file + L"|" + name); });
            if (visit(verb)) return;
        }
    }

    std::vector<std::wstring> names;
    std::function<void()> afterListing;
    std::vector<std::wstring> invoked;

private:
    struct Verb final : setup::IShellVerb {
        Verb(std::wstring name, std::function<void()> run) : name_(std::move(name)), run_(std::move(run)) {}
        std::wstring Name() override { return name_; }
        bool Run() override {
            run_();
            return true;
        }
        std::wstring name_;
        std::function<void()> run_;
    };
};
