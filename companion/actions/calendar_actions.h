// Reminders that follow the clock and the calendar: the greeting after the
// start, the three meals, going to bed, and festivals.
#pragma once

#include <string>
#include <vector>

#include "companion/actions/action_base.h"
#include "companion/actions/link_behaviors.h"

namespace companion {

// "YYYYMMDD" of a local date.
std::wstring FormatDate(const SYSTEMTIME& date);

class CActionVynLoad : public CActionBase {
public:
    explicit CActionVynLoad(IActionEnvironment& env = SystemActionEnvironment(),
                            SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;
    ILinkBehavior* GetLinkBehavior() override { return &link_; }

private:
    bool shown_ = false;
    CLinkBehavior link_;
};

class CActionVynMeal : public CActionBase {
public:
    explicit CActionVynMeal(IActionEnvironment& env = SystemActionEnvironment(),
                            SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;
    std::wstring GetTipText() override;
    HBITMAP GetBitmap() override;
    int GetAnimationTime() override;
    int GetFrames() override;
    int GetFrameTime() override;
    int GetCx() override;
    int GetCy() override;
    int OnDone() override;

    void ResetAtNewDay(const SYSTEMTIME& now);
    void LoadMealAnimations();

private:
    struct AnimationRecord {
        int animationTime = 0, frames = 0, frameTime = 0, cx = 0, cy = 0;
        base::Bitmap bitmap;
    };
    const AnimationRecord* Chosen();

    bool breakfastPending_ = true, lunchPending_ = true, dinnerPending_ = true;
    std::wstring tipText_;
    std::wstring flagDate_;
    std::vector<AnimationRecord> records_;
    size_t chosen_ = 0;
};

class CActionSleep : public CActionBase {
public:
    explicit CActionSleep(IActionEnvironment& env = SystemActionEnvironment(),
                          SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;

private:
    bool pending_ = false;
    bool fired_ = false;
    bool marked_ = false;
    uint32_t lastMark_ = 0;
};

class CActionFestival : public CActionBase {
public:
    explicit CActionFestival(IActionEnvironment& env = SystemActionEnvironment(),
                             SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;
    // The greeting worked out by the last check (the UI may read it after
    // midnight, when a fresh lookup would find another day).
    std::wstring GetTipText() override { return tipText_; }

private:
    std::wstring tipText_;
    bool lookedUp_ = false;
    uint32_t start_;
    std::wstring lookupDate_;
};

}  // namespace companion
