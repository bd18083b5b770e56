// The shell's verbs of a file (its context-menu entries, as the Shell
// automation object lists them) behind a seam, and the rule that picks the
// Start-menu pin or unpin verb among them.
#pragma once

#include <functional>
#include <string>

namespace setup {

// One verb of a listing, valid while `IShellVerbSource::Visit` runs.
class IShellVerb {
public:
    virtual std::wstring Name() = 0;
    // Runs this very verb; true when the shell took it.
    virtual bool Run() = 0;

protected:
    ~IShellVerb() = default;
};

// Where verbs come from.
class IShellVerbSource {
public:
    // Lists the verbs of `file` in `folder` once and hands them to `visit`
    // in the shell's order until it returns true. Nothing when the shell
    // lists none or the file is not found.
    virtual void Visit(const std::wstring& folder, const std::wstring& file,
                       const std::function<bool(IShellVerb&)>& visit) = 0;

protected:
    ~IShellVerbSource() = default;
};

// The Shell automation object, in a COM scope of its own per call.
IShellVerbSource& SystemShellVerbs();

// Whether a verb's name, every '&' removed, equals one of the action's
// display texts, ignoring case.
bool IsPinVerb(const std::wstring& verbName, bool pin);

// Runs the first verb that IsPinVerb accepts, the one whose name was read;
// false when none matched or the shell refused it.
bool InvokeShellVerb(IShellVerbSource& verbs, const std::wstring& folder, const std::wstring& file, bool pin);

}  // namespace setup
