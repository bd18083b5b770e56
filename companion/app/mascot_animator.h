// The mascot's own animations: which strip plays in which state, its frames
// pushed to the layered window, and the click and leaving sequences.
#pragma once

#include <windows.h>

#include "companion/actions/action_environment.h"
#include "companion/app/mascot_animations.h"
#include "base/handles.h"

namespace companion {

// The mascot's window as the animator and the action presenter draw on it
// and run their timers on it.
class IMascotWindow {
public:
    virtual HWND MascotHwnd() const = 0;
    virtual void StartTimer(UINT_PTR id, UINT periodMs) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    virtual bool Topmost() const = 0;

protected:
    ~IMascotWindow() = default;
};

// What the animator needs of the mascot's window besides.
class IMascotAnimatorHost : public IMascotWindow {
public:
    // Nobody can see the mascot (hidden by the user, or the user is away).
    virtual bool AnimationsPaused() const = 0;
    // The mascot leaves, or an action is on show: the idle strip waits.
    virtual bool AnimationHeld() const = 0;
    // The shown action gives way to the mascot's own strip.
    virtual void CutShowingShort() = 0;
    // The mascot starts to leave: the shown action lets go of its strip and
    // of the detect thread (unless a modal dialog still runs).
    virtual void LetGoOfShowing() = 0;
    virtual void FinishLeaving() = 0;

protected:
    ~IMascotAnimatorHost() = default;
};

class CMascotAnimator {
public:
    CMascotAnimator(IMascotAnimatorHost& host, IActionEnvironment& clock);
    ~CMascotAnimator();
    CMascotAnimator(const CMascotAnimator&) = delete;
    CMascotAnimator& operator=(const CMascotAnimator&) = delete;

    MascotAnimations& Animations() { return animations_; }
    const MascotAnimations& Animations() const { return animations_; }
    int PlayingRecord() const { return playing_; }

    // Mascot states: 0 idle, 1 leave, 2 interactive, 3 standing still, 4 after a click.
    void SetMascotState(int mode);
    // Draws the playing strip's current frame now, without stepping it: a
    // layered window shows nothing until its first frame, and the strip's
    // timer would bring that only one frame time later.
    void ShowCurrentFrame();
    void StepRecordFrame(UINT_PTR timer);
    void ResumeAnimation();

    void DrawFrame(HBITMAP strip, int frame, int cx, int cy);
    void ReleaseFrameStrip(HBITMAP strip);
    // Hidden and shown again, the window gets its next frame afresh.
    void ForgetPushedFrame() { pushedStrip_ = nullptr; }

    void SetClickAnimationTimer();
    void KillClickAnimationTimer();

private:
    void StartRecord(int index, UINT_PTR timer);
    void DrawStanding();

    IMascotAnimatorHost& host_;
    IActionEnvironment& clock_;
    MascotAnimations animations_;
    int playing_ = -1;
    DWORD createdTick_;
    base::MemoryDc frameDc_;
    HGDIOBJ frameDcDefault_ = nullptr;
    HBITMAP selectedStrip_ = nullptr;
    // The frame on the screen, so that an unchanged one is not pushed again.
    HBITMAP pushedStrip_ = nullptr;
    int pushedFrame_ = 0;
    bool clickAnimationPending_ = false;
    bool firstFramePushed_ = false;
};

}  // namespace companion
