// What the reminder actions share: their section of Actions.ini (tip text,
// animation strip and numbers, read once and kept), the choice among
// alternative tip texts, the alert sound and the clean-up after a showing.
#pragma once

#include <atomic>
#include <string>

#include "companion/actions/action_environment.h"
#include "companion/actions/vyn_action.h"
#include "companion/system/shared_settings.h"
#include "base/handles.h"

namespace companion {

// One of the "|"-separated alternatives, chosen by the tick count; the text
// itself when it holds no alternatives.
std::wstring PickAlternative(const std::wstring& text, DWORD tick);

// Signed distance from `since` to `now` on the wrapping 32-bit tick clock.
inline int32_t TicksSince(uint32_t now, uint32_t since) {
    return static_cast<int32_t>(now - since);
}

// A count read from Actions.ini: 1..199 is taken, anything else is none.
int CapAnimationCount(int count);

class CActionBase : public IVynAction {
public:
    std::wstring GetTipText() override;
    std::wstring GetLinkText() override { return std::wstring(); }
    HBITMAP GetBitmap() override;
    int GetAnimationTime() override { return CachedNumber(animationTime_, L"animationtime"); }
    int GetFrames() override { return CachedNumber(frames_, L"frames"); }
    int GetFrameTime() override { return CachedNumber(frameTime_, L"frametime"); }
    int GetCx() override { return CachedNumber(cx_, L"cx"); }
    int GetCy() override { return CachedNumber(cy_, L"cy"); }
    ILinkBehavior* GetLinkBehavior() override { return nullptr; }
    void SetScreenSaverRunning(bool) override {}
    void SetAway(bool) override {}
    // Releases the strip and stops a ring that is still playing.
    int OnDone() override;
    // The action's own section of Actions.ini.
    const wchar_t* Section() const { return section_; }

protected:
    CActionBase(const wchar_t* section, IActionEnvironment& env, SharedSettings& settings)
        : section_(section), env_(env), settings_(settings) {}

    IActionEnvironment& Env() { return env_; }
    SharedSettings& Settings() { return settings_; }
    bool RemindersOn() const { return settings_.WiseHealthAlert.load(); }

    // Starts the user's ring when it is switched on and names an existing file.
    void StartAlertSound();

private:
    int CachedNumber(int& cache, const wchar_t* key);

    const wchar_t* section_;
    IActionEnvironment& env_;
    SharedSettings& settings_;
    std::wstring rawTipText_;
    int animationTime_ = 0, frames_ = 0, frameTime_ = 0, cx_ = 0, cy_ = 0;
    base::Bitmap strip_;  // the one owner of the strip
};

}  // namespace companion
