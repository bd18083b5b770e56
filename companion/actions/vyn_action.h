// What every reminder action offers the detect thread and the main window.
// The detect thread asks CheckCondition and calls OnDone; the UI thread reads
// the display slots only while the detect thread waits on that very action.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "companion/actions/link_targets.h"

namespace companion {

// What a click on the link of a tip does; `targets` are the windows it may
// talk to.
class ILinkBehavior {
public:
    virtual int Execute(ILinkTargets& targets) = 0;

protected:
    ~ILinkBehavior() = default;
};

class IVynAction {
public:
    virtual bool CheckCondition() = 0;
    virtual std::wstring GetTipText() = 0;
    virtual std::wstring GetLinkText() = 0;
    virtual HBITMAP GetBitmap() = 0;
    virtual int GetAnimationTime() = 0;
    virtual int GetFrames() = 0;
    virtual int GetFrameTime() = 0;
    virtual int GetCx() = 0;
    virtual int GetCy() = 0;
    virtual ILinkBehavior* GetLinkBehavior() = 0;
    virtual void SetScreenSaverRunning(bool running) = 0;
    virtual void SetAway(bool away) = 0;
    virtual int OnDone() = 0;
    virtual ~IVynAction() = default;
};

// Actions on their way to the detect thread, which owns them once added.
using OwnedActions = std::vector<std::unique_ptr<IVynAction>>;

}  // namespace companion
