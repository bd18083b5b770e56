// The link behaviours of the reminder tips.
#pragma once

#include <string>

#include "companion/actions/vyn_action.h"

namespace companion {

// Opens the settings program on its general page through the main window.
class CLinkBehavior : public ILinkBehavior {
public:
    int Execute(ILinkTargets& targets) override;
};

// Opens the neck exercise and tells the shown tip so.
class CRestLinkBehavior : public ILinkBehavior {
public:
    int Execute(ILinkTargets& targets) override;
};

// Opens the eye exercise and tells the shown tip so.
class CAFRestLinkBehavior : public ILinkBehavior {
public:
    int Execute(ILinkTargets& targets) override;
};

// Starts one function of the security product, which stands one folder above
// the companion's own folder.
class CProductFunctionLink : public ILinkBehavior {
public:
    int Execute(ILinkTargets& targets) override;
    // "...\Tarvisk.exe" beside the parent of the companion's folder.
    static std::wstring ProductPath();

protected:
    explicit CProductFunctionLink(const wchar_t* functionName) : functionName_(functionName) {}
    ~CProductFunctionLink() = default;

private:
    const wchar_t* functionName_;
};

class CTrashCleanLinkBehavior : public CProductFunctionLink {
public:
    CTrashCleanLinkBehavior();
};

class CSysDiskCheckLinkBehavior : public CProductFunctionLink {
public:
    CSysDiskCheckLinkBehavior();
};

class CCheckRunBehavior : public CProductFunctionLink {
public:
    CCheckRunBehavior();
};

}  // namespace companion
