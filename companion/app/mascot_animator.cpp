// The mascot's own strips: idle, interactive, leaving and standing still.
#include "companion/app/mascot_animator.h"

#include "companion/app/main_window_timers.h"
#include "companion/system/skin_strip.h"
#include "companion/system/startup_timeline.h"
#include "companion/system/text_utils.h"
#include "companion/ui/corvalle_skin.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr UINT kFallbackFrameMs = 100;

UINT FramePeriod(int frameTime) {
    return frameTime > 0 ? static_cast<UINT>(frameTime) : kFallbackFrameMs;
}

}  // namespace

CMascotAnimator::CMascotAnimator(IMascotAnimatorHost& host, IActionEnvironment& clock)
    : host_(host), clock_(clock), createdTick_(clock.TickCount()) {}

CMascotAnimator::~CMascotAnimator() {
    if (frameDc_ && frameDcDefault_) ::SelectObject(frameDc_.Get(), frameDcDefault_);
}

void CMascotAnimator::SetClickAnimationTimer() {
    host_.StartTimer(kTimerClickAnimation, 1000);
    clickAnimationPending_ = true;
}

// The mascot draws a few frames a second for as long as it runs: one memory
// DC is kept for it, the strip is selected into it only when it changes, and
// the window is not asked where it is (a null position keeps it in place).
// A frame with the very pixels on the screen is not pushed again: under Wine
// every push reshapes the window and redraws it in the X server.
void CMascotAnimator::DrawFrame(HBITMAP strip, int frame, int cx, int cy) {
    if (!strip || cx <= 0 || cy <= 0) return;
    if (pushedStrip_ == strip) {
        RECT rc{};
        ::GetWindowRect(host_.MascotHwnd(), &rc);
        if (rc.right - rc.left == cx && rc.bottom - rc.top == cy &&
            StripFramesEqual(strip, pushedFrame_, frame, cx, cy))
            return;
    }
    if (!frameDc_) {
        frameDc_.Reset(::CreateCompatibleDC(nullptr));
        if (!frameDc_) return;
        // Keep the DC's own bitmap to put back before the DC is deleted.
        frameDcDefault_ = ::SelectObject(frameDc_.Get(), strip);
    } else if (selectedStrip_ != strip) {
        ::SelectObject(frameDc_.Get(), strip);
    }
    selectedStrip_ = strip;
    SIZE size{cx, cy};
    POINT source{frame * cx, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const bool pushed = ::UpdateLayeredWindow(host_.MascotHwnd(), nullptr, nullptr, &size, frameDc_.Get(), &source, 0,
                                              &blend, ULW_ALPHA) != FALSE;
    pushedStrip_ = pushed ? strip : nullptr;
    pushedFrame_ = frame;
    if (pushed && !firstFramePushed_) {
        firstFramePushed_ = true;
        MarkStartupStep(L"first frame");
    }
}

void CMascotAnimator::ReleaseFrameStrip(HBITMAP strip) {
    // A later strip may get the same handle.
    if (pushedStrip_ == strip) pushedStrip_ = nullptr;
    // A strip about to be freed must not stay selected: a selected bitmap
    // cannot be deleted.
    if (frameDc_ && selectedStrip_ == strip && frameDcDefault_) {
        ::SelectObject(frameDc_.Get(), frameDcDefault_);
        selectedStrip_ = nullptr;
    }
}

void CMascotAnimator::KillClickAnimationTimer() {
    if (!clickAnimationPending_) return;
    host_.StopTimer(kTimerClickAnimation);
    clickAnimationPending_ = false;
}

void CMascotAnimator::DrawStanding() {
    toolkit::CBexBitmap* standing = toolkit::BexSkinBitmap(kBexMascotStanding);
    if (standing && standing->Handle()) DrawFrame(standing->Handle(), 0, standing->FrameWidth(), standing->Height());
}

void CMascotAnimator::StartRecord(int index, UINT_PTR timer) {
    host_.StopTimer(kTimerMascotFrame);
    if (index < 0 || index >= static_cast<int>(animations_.records.size())) return;
    for (int i = 0; i < static_cast<int>(animations_.records.size()); ++i) {
        AnimationRecord& r = animations_.records[i];
        if (i == index || !r.strip) continue;
        ReleaseFrameStrip(r.strip->Handle());
        r.strip.reset();  // one strip in memory at a time
    }
    AnimationRecord& r = animations_.records[index];
    r.frame = 0;
    r.elapsed = 0;
    if (!r.strip && !r.path.empty())
        r.strip = std::make_unique<toolkit::CBexBitmap>(r.path.c_str(), toolkit::kBexKindPng,
                                                        static_cast<WORD>(r.frames > 0 ? r.frames : 1));
    if (r.strip) r.strip->Load();
    playing_ = index;
    if (timer == kTimerLeavingFrame || !host_.AnimationsPaused()) host_.StartTimer(timer, FramePeriod(r.frameTime));
}

void CMascotAnimator::ResumeAnimation() {
    if (host_.AnimationsPaused() || host_.AnimationHeld()) return;
    if (playing_ < 0 || playing_ >= static_cast<int>(animations_.records.size())) return;
    host_.StartTimer(kTimerMascotFrame, FramePeriod(animations_.records[playing_].frameTime));
}

void CMascotAnimator::ShowCurrentFrame() {
    if (playing_ < 0 || playing_ >= static_cast<int>(animations_.records.size())) return;
    const AnimationRecord& r = animations_.records[playing_];
    if (r.strip && r.strip->Handle()) DrawFrame(r.strip->Handle(), r.frame, r.cx, r.cy);
}

void CMascotAnimator::StepRecordFrame(UINT_PTR timer) {
    KillClickAnimationTimer();
    if (timer == kTimerLeavingFrame) {
        host_.StopTimer(kTimerMascotFrame);
        host_.StopTimer(kTimerActionFrame);
        host_.StopTimer(kTimerWatch);
    }
    if (playing_ < 0 || playing_ >= static_cast<int>(animations_.records.size())) {
        host_.StopTimer(timer);
        if (timer == kTimerLeavingFrame) host_.FinishLeaving();
        return;
    }
    AnimationRecord& r = animations_.records[playing_];
    if (r.strip && r.strip->Handle()) DrawFrame(r.strip->Handle(), r.frame, r.cx, r.cy);
    r.frame = r.frames > 0 ? (r.frame + 1) % r.frames : 0;
    r.elapsed += static_cast<int>(FramePeriod(r.frameTime));
    if (static_cast<long long>(r.animationTime) * 1000 >= r.elapsed) return;
    host_.StopTimer(timer);
    if (timer == kTimerLeavingFrame) host_.FinishLeaving();
    else SetMascotState(0);
}

void CMascotAnimator::SetMascotState(int mode) {
    if (animations_.records.empty()) {
        animations_.records.emplace_back();
        playing_ = 0;
        return;
    }
    auto cutAndLower = [this] {
        host_.StopTimer(kTimerMascotFrame);
        host_.CutShowingShort();
        if (!host_.Topmost())
            ::SetWindowPos(host_.MascotHwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    int index = 0;
    switch (mode) {
    case 1: {
        host_.StopTimer(kTimerMascotFrame);
        host_.StopTimer(kTimerActionFrame);
        host_.StopTimer(kTimerWatch);
        host_.LetGoOfShowing();
        const int leaving = animations_.leavingIndex;
        const bool hasStrip = leaving >= 0 && !animations_.records[leaving].path.empty();
        if (!hasStrip) {
            host_.FinishLeaving();
            return;
        }
        StartRecord(leaving, kTimerLeavingFrame);
        if (!animations_.records[leaving].strip || !animations_.records[leaving].strip->Handle()) host_.FinishLeaving();
        return;
    }
    case 3:
        cutAndLower();
        DrawStanding();
        return;
    case 2: {
        cutAndLower();
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(host_.MascotHwnd(), &cursor);
        index = PickInteractiveRecord(animations_, cursor, clock_.TickCount());
        break;
    }
    case 4:
        cutAndLower();
        index = PickClickRecord(animations_);
        break;
    default: {
        const SYSTEMTIME now = clock_.LocalTime();
        const DWORD tick = clock_.TickCount();
        index = PickIdleRecord(animations_, tick - createdTick_, now.wHour, tick,
                               [](int high, int low) { return RandomInRange(high, low); });
        break;
    }
    }
    StartRecord(index, kTimerMascotFrame);
}

}  // namespace companion
