// Reminders that measure time at the computer: rest, drink, the eye-exercise
// rest after a long busy spell, and the eye guardian that starts the
// full-screen rest at the user's interval. Locking, suspending and the screen
// saver restart their clocks.
#pragma once

#include <atomic>
#include <cstdint>

#include "companion/actions/action_base.h"
#include "companion/actions/link_behaviors.h"

namespace companion {

// Rest and drink share one rule and differ in their interval.
class CTimedUseAction : public CActionBase {
public:
    bool CheckCondition() override;
    void SetScreenSaverRunning(bool running) override { screenSaver_ = running; }
    void SetAway(bool away) override;

protected:
    CTimedUseAction(const wchar_t* section, int32_t intervalMs, int32_t testIntervalMs, IActionEnvironment& env,
                    SharedSettings& settings);

private:
    const int32_t intervalMs_;
    const int32_t testIntervalMs_;
    std::atomic<uint32_t> periodStart_;
    std::atomic<uint32_t> lastPoll_;
    std::atomic<bool> screenSaver_{false};
    std::atomic<bool> away_{false};
};

class CActionRest : public CTimedUseAction {
public:
    explicit CActionRest(IActionEnvironment& env = SystemActionEnvironment(),
                         SharedSettings& settings = SharedSettings::Instance());
    std::wstring GetLinkText() override { return L"做颈椎操"; }
    ILinkBehavior* GetLinkBehavior() override { return &link_; }

private:
    CRestLinkBehavior link_;
};

class CActionDrink : public CTimedUseAction {
public:
    explicit CActionDrink(IActionEnvironment& env = SystemActionEnvironment(),
                          SharedSettings& settings = SharedSettings::Instance());
};

class CActionRestAF : public CActionBase {
public:
    explicit CActionRestAF(IActionEnvironment& env = SystemActionEnvironment(),
                           SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;
    std::wstring GetLinkText() override { return L"眼保健操"; }
    ILinkBehavior* GetLinkBehavior() override { return &link_; }
    void SetScreenSaverRunning(bool running) override { screenSaver_ = running; }
    void SetAway(bool away) override;

private:
    CAFRestLinkBehavior link_;
    std::atomic<uint32_t> periodStart_;
    std::atomic<uint32_t> lastPoll_;
    std::atomic<bool> screenSaver_{false};
    std::atomic<bool> away_{false};
    bool busyRunOpen_ = false;
};

class CActionEyeGuardian : public CActionBase {
public:
    explicit CActionEyeGuardian(IActionEnvironment& env = SystemActionEnvironment(),
                                SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;
    std::wstring GetTipText() override { return tipText_; }
    HBITMAP GetBitmap() override { return nullptr; }
    int GetAnimationTime() override { return 0; }
    int GetFrames() override { return 0; }
    int GetFrameTime() override { return 0; }
    int GetCx() override { return 0; }
    int GetCy() override { return 0; }
    void SetScreenSaverRunning(bool running) override { screenSaver_ = running; }
    void SetAway(bool away) override;
    int OnDone() override { return 0; }

private:
    std::wstring tipText_;
    std::atomic<uint32_t> lastPoll_;
    std::atomic<bool> screenSaver_{false};
    std::atomic<bool> away_{false};
};

}  // namespace companion
