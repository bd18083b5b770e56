// The shell's verbs of a file (its context-menu entries, as the Shell
// automation object lists them) behind a seam, and the rule that picks the
// Start-menu pin or unpin verb among them.
#pragma once

#include <string>
#include <vector>

// Where verbs come from and how one is run.
class IShellVerbSource {
public:
    // The verbs' names of `file` in `folder`, in the shell's order; empty
    // when the shell lists none or the file is not found.
    virtual std::vector<std::wstring> List(const std::wstring& folder, const std::wstring& file) = 0;
    // Runs verb `index` of that listing; true when the shell took it.
    virtual bool Invoke(const std::wstring& folder, const std::wstring& file, size_t index) = 0;

protected:
    ~IShellVerbSource() = default;
};

// The Shell automation object, in a COM scope of its own per call.
IShellVerbSource& SystemShellVerbs();

// Whether a verb's name, every '&' removed, equals one of the action's
// display texts, ignoring case.
bool IsPinVerb(const std::wstring& verbName, bool pin);

// Runs the first verb that IsPinVerb accepts; false when none matched.
bool InvokeShellVerb(IShellVerbSource& verbs, const std::wstring& folder, const std::wstring& file, bool pin);
