// The mascot's own strips: idle, interactive, leaving and standing still.
#include "companion/app/main_wnd.h"

#include "companion/system/text_utils.h"
#include "companion/system/skin_strip.h"
#include "companion/ui/corvalle_skin.h"
#include "winlib/handles.h"

namespace {

constexpr UINT kFallbackFrameMs = 100;

UINT FramePeriod(int frameTime) {
    return frameTime > 0 ? static_cast<UINT>(frameTime) : kFallbackFrameMs;
}

}  // namespace

// The mascot draws a few frames a second for as long as it runs: one memory
// DC is kept for it, the strip is selected into it only when it changes, and
// the window is not asked where it is (a null position keeps it in place).
// A frame with the very pixels on the screen is not pushed again: under Wine
// every push reshapes the window and redraws it in the X server.
void CMainWnd::DrawFrame(HBITMAP strip, int frame, int cx, int cy) {
    if (!strip || cx <= 0 || cy <= 0) return;
    if (pushedStrip_ == strip) {
        const RECT rc = WindowRect();
        if (rc.right - rc.left == cx && rc.bottom - rc.top == cy && StripFramesEqual(strip, pushedFrame_, frame, cx, cy))
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
    const bool pushed =
        ::UpdateLayeredWindow(Hwnd(), nullptr, nullptr, &size, frameDc_.Get(), &source, 0, &blend, ULW_ALPHA) != FALSE;
    pushedStrip_ = pushed ? strip : nullptr;
    pushedFrame_ = frame;
}

void CMainWnd::ReleaseFrameStrip(HBITMAP strip) {
    // A later strip may get the same handle.
    if (pushedStrip_ == strip) pushedStrip_ = nullptr;
    // A strip about to be freed must not stay selected: a selected bitmap
    // cannot be deleted.
    if (frameDc_ && selectedStrip_ == strip && frameDcDefault_) {
        ::SelectObject(frameDc_.Get(), frameDcDefault_);
        selectedStrip_ = nullptr;
    }
}

void CMainWnd::KillClickAnimationTimer() {
    if (!clickAnimationPending_) return;
    KillTimer(kTimerClickAnimation);
    clickAnimationPending_ = false;
}

void CMainWnd::DrawStanding() {
    CBexBitmap* standing = BexSkinBitmap(kBexMascotStanding);
    if (standing && standing->Handle()) DrawFrame(standing->Handle(), 0, standing->FrameWidth(), standing->Height());
}

void CMainWnd::StartRecord(int index, UINT_PTR timer) {
    KillTimer(kTimerMascotFrame);
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
        r.strip = std::make_unique<CBexBitmap>(r.path.c_str(), kBexKindPng, static_cast<WORD>(r.frames > 0 ? r.frames : 1));
    if (r.strip) r.strip->Load();
    playing_ = index;
    if (timer == kTimerLeavingFrame || !AnimationsPaused()) SetTimer(timer, FramePeriod(r.frameTime));
}

void CMainWnd::ResumeAnimation() {
    if (AnimationsPaused() || leaving_ || tipShowing_) return;
    if (playing_ < 0 || playing_ >= static_cast<int>(animations_.records.size())) return;
    SetTimer(kTimerMascotFrame, FramePeriod(animations_.records[playing_].frameTime));
}

void CMainWnd::StepRecordFrame(UINT_PTR timer) {
    KillClickAnimationTimer();
    if (timer == kTimerLeavingFrame) {
        KillTimer(kTimerMascotFrame);
        KillTimer(kTimerActionFrame);
        KillTimer(kTimerWatch);
    }
    if (playing_ < 0 || playing_ >= static_cast<int>(animations_.records.size())) {
        KillTimer(timer);
        if (timer == kTimerLeavingFrame) FinishLeaving();
        return;
    }
    AnimationRecord& r = animations_.records[playing_];
    if (r.strip && r.strip->Handle()) DrawFrame(r.strip->Handle(), r.frame, r.cx, r.cy);
    r.frame = r.frames > 0 ? (r.frame + 1) % r.frames : 0;
    r.elapsed += static_cast<int>(FramePeriod(r.frameTime));
    if (static_cast<long long>(r.animationTime) * 1000 >= r.elapsed) return;
    KillTimer(timer);
    if (timer == kTimerLeavingFrame) FinishLeaving();
    else SetMascotState(0);
}

void CMainWnd::SetMascotState(int mode) {
    if (animations_.records.empty()) {
        animations_.records.emplace_back();
        playing_ = 0;
        return;
    }
    auto cutAndLower = [this] {
        KillTimer(kTimerMascotFrame);
        CutShowingShort();
        if (!Topmost()) ::SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    int index = 0;
    switch (mode) {
    case 1: {
        KillTimer(kTimerMascotFrame);
        KillTimer(kTimerActionFrame);
        KillTimer(kTimerWatch);
        if (!modalRunning_) {
            ReleaseFrameStrip(strip_);
            ReleaseDetectThread();
        }
        const int leaving = animations_.leavingIndex;
        const bool hasStrip = leaving >= 0 && !animations_.records[leaving].path.empty();
        if (!hasStrip) {
            FinishLeaving();
            return;
        }
        StartRecord(leaving, kTimerLeavingFrame);
        if (!animations_.records[leaving].strip || !animations_.records[leaving].strip->Handle()) FinishLeaving();
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
        ::ScreenToClient(Hwnd(), &cursor);
        index = PickInteractiveRecord(animations_, cursor, services_.environment->TickCount());
        break;
    }
    case 4:
        cutAndLower();
        index = PickClickRecord(animations_);
        break;
    default: {
        const SYSTEMTIME now = services_.environment->LocalTime();
        const DWORD tick = services_.environment->TickCount();
        index = PickIdleRecord(animations_, tick - createdTick_, now.wHour, tick,
                               [](int high, int low) { return RandomInRange(high, low); });
        break;
    }
    }
    StartRecord(index, kTimerMascotFrame);
}
