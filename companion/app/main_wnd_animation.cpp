// The mascot's own strips: idle, interactive, leaving and standing still.
#include "companion/app/main_wnd.h"

#include "companion/system/text_utils.h"
#include "winlib/handles.h"

namespace {

constexpr UINT kFallbackFrameMs = 100;

UINT FramePeriod(int frameTime) {
    return frameTime > 0 ? static_cast<UINT>(frameTime) : kFallbackFrameMs;
}

}  // namespace

void CMainWnd::DrawFrame(HBITMAP strip, int frame, int cx, int cy) {
    if (!strip || cx <= 0 || cy <= 0) return;
    const LONG exStyle = ::GetWindowLongW(Hwnd(), GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(Hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    const RECT rc = WindowRect();
    POINT at{rc.left, rc.top};
    SIZE size{cx, cy};
    POINT source{frame * cx, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    winlib::WindowDc screen(nullptr);
    winlib::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    winlib::SelectObjectScope select(memory.Get(), strip);
    ::UpdateLayeredWindow(Hwnd(), screen.Get(), &at, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
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
        if (i == index) continue;
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
    KillTimer(kTimerClickAnimation);
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
        if (!modalRunning_) ReleaseDetectThread();
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
        index = PickInteractiveRecord(animations_, cursor, ::GetTickCount());
        break;
    }
    case 4:
        cutAndLower();
        index = animations_.idleCount > 2 ? 1 : 0;
        break;
    default: {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        index = PickIdleRecord(animations_, ::GetTickCount() - createdTick_, now.wHour, ::GetTickCount(),
                               [](int high, int low) { return RandomInRange(high, low); });
        break;
    }
    }
    StartRecord(index, kTimerMascotFrame);
}
