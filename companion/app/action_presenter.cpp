#include "companion/app/action_presenter.h"

#include <cwchar>

#include "companion/actions/rest_clock.h"
#include "companion/actions/tip_markers.h"
#include "companion/app/main_window_timers.h"
#include "companion/system/power.h"
#include "companion/system/shared_settings.h"
#include "companion/system/text_utils.h"
#include "companion/ui/tip_link_targets.h"
#include "protocol/corvalle_ini.h"

namespace companion {

namespace ini = protocol::ini;

namespace {

constexpr UINT kFallbackFrameMs = 100;

bool Contains(const std::wstring& text, const wchar_t* marker) {
    return text.find(marker) != std::wstring::npos;
}

bool StartsWith(const std::wstring& text, const wchar_t* marker) {
    return text.compare(0, std::wcslen(marker), marker) == 0;
}

void RemoveAll(std::wstring& text, const wchar_t* marker) {
    const size_t length = std::wcslen(marker);
    for (size_t at; (at = text.find(marker)) != std::wstring::npos;) text.erase(at, length);
}

// A frame time of 0 (a broken action file) still lets the showing advance;
// tiny ones are held at the timer's useful minimum.
int FramePeriod(int frameTime) {
    if (frameTime <= 0) return static_cast<int>(kFallbackFrameMs);
    return frameTime < 10 ? 10 : frameTime;
}

// A rest that the countdown started marks every action away for its length.
void MarkAway(void* context) {
    ::Sleep(200);
    if (auto* detect = static_cast<CDetectActionCondition*>(context)) detect->NotifyAway(true);
}

}  // namespace

void CActionPresenter::OnActionDue(IVynAction* action) {
    CDetectActionCondition* detect = host_.DetectThread();
    // Anyone can post this number; only the action the detect thread handed
    // over is ever touched, and only once.
    if (!detect || !detect->ClaimDueAction(action)) return;
    if (host_.Leaving()) {
        // Nothing is shown any more; the thread gets its action back once.
        detect->ReleaseDueAction();
        return;
    }
    action_ = action;
    OnActionFired();
}

void CActionPresenter::ReleaseDetectThread() {
    if (CDetectActionCondition* detect = host_.DetectThread()) detect->ReleaseDueAction();
}

bool CActionPresenter::ShownTipHas(const wchar_t* marker) const {
    return Contains(shownMarkers_, marker);
}

void CActionPresenter::OnActionFired() {
    tipShowing_ = true;
    host_.CloseNavigation();
    const std::wstring tip = action_->GetTipText();
    shownMarkers_ = tip;
    // Only the actions that mean them put these markers first; a user's own
    // text that merely contains one must never shut the machine down.
    if (StartsWith(tip, kShutdownMarker)) {
        ShowTimedShutdown(tip);
    } else if (StartsWith(tip, kEyeGuardianMarker)) {
        ShowFullScreenRest();
    } else {
        ShowOrdinary(tip);
    }
}

void CActionPresenter::ShowTimedShutdown(const std::wstring& tip) {
    const SYSTEMTIME now = clock_.LocalTime();
    std::wstring stamp;
    FormatWString(stamp, L"%.4d%.2d%.2d%.2d%.2d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    if (WriteConfigString(ini::kGeneral, ini::kLastShutDownTime, stamp.c_str()) != 0) {
        // The stamp is what keeps this shutdown from firing again after the
        // restart; without it the machine could shut down over and over.
        FinishShowing();
        return;
    }
    modalRunning_ = true;

    if (dialogs_.RunCountdown(kCountdownBeforeShutdown) == 0) ShutDownInStyle(ShutdownTipStyle(tip), host_.Away());
    EndModalShowing();
}

void CActionPresenter::ShowFullScreenRest() {
    SharedSettings& settings = SharedSettings::Instance();
    CRestClock restClock(settings);
    restClock.RestBegan(clock_.UnixTime());
    modalRunning_ = true;
    if (dialogs_.RunCountdown(kCountdownBeforeRest) == 0)
        dialogs_.RunFullScreenRest(settings.RestTime, MarkAway, host_.DetectThread());
    restClock.RestEnded(clock_.UnixTime());
    // A session locked during the rest is still locked now.
    if (CDetectActionCondition* detect = host_.DetectThread()) detect->NotifyAway(host_.Away());
    EndModalShowing();
    restClock.RestartEyeClock(clock_.TickCount());
}

// A lock or a suspend while the dialog ran stopped the mascot's strip, and
// the unlock could not start it again while the showing held it: it runs
// again now unless the user is still away (or hid the mascot, or it leaves).
void CActionPresenter::EndModalShowing() {
    modalRunning_ = false;
    FinishShowing();
    animator_.ResumeAnimation();
}

void CActionPresenter::ShowOrdinary(std::wstring tip) {
    if (Contains(tip, kCustomMarker)) {
        RemoveAll(tip, kCustomMarker);
        host_.StopTimer(kTimerWatch);  // a user's reminder stays even over a full-screen program
    } else if (Contains(tip, kCpuGpuMarker)) {
        RemoveAll(tip, kCpuGpuMarker);
        host_.StopTimer(kTimerWatch);
    }
    host_.StopTimer(kTimerMascotFrame);
    tipText_ = tip;
    animationTime_ = action_->GetAnimationTime();
    strip_ = action_->GetBitmap();
    frames_ = action_->GetFrames();
    frameTime_ = action_->GetFrameTime();
    cx_ = action_->GetCx();
    cy_ = action_->GetCy();
    linkText_ = action_->GetLinkText();
    ILinkBehavior* link = action_->GetLinkBehavior();
    frame_ = 0;
    elapsed_ = 0;

    ::ShowWindow(host_.MascotHwnd(), SW_SHOW);
    ::SetWindowPos(host_.MascotHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A strip that failed to load, or a frame time of 0, still lets the
    // showing end after its time: a missing picture must not stop reminders.
    host_.StartTimer(kTimerActionFrame, static_cast<UINT>(FramePeriod(frameTime_)));

    tip_.SetTipText(tipText_);
    if (!linkText_.empty()) {
        linkBehaviors_.push_back(link);
        tip_.SetLinkText(linkText_, static_cast<int>(linkBehaviors_.size()) - 1);
    }
    tip_.ShowTip(true);
}

void CActionPresenter::StepActionFrame() {
    animator_.KillClickAnimationTimer();
    if (!action_) {
        host_.StopTimer(kTimerActionFrame);
        return;
    }
    const int period = FramePeriod(frameTime_);
    if (strip_ && cx_ > 0 && cy_ > 0) animator_.DrawFrame(strip_, frame_, cx_, cy_);
    frame_ = frames_ > 0 ? (frame_ + 1) % frames_ : 0;
    elapsed_ += period;
    if (static_cast<long long>(animationTime_) * 1000 < elapsed_) EndShowing();
}

void CActionPresenter::EndShowing() {
    host_.StopTimer(kTimerActionFrame);
    if (host_.HiddenByUser()) {
        tip_.ShowTip(false);
        ::ShowWindow(host_.MascotHwnd(), SW_HIDE);
    }
    animator_.SetMascotState(0);
    tip_.ShowTip(false);
    ApplyZOrderAfterShowing();
    FinishShowing();
    // The markers were read before the release: the action belongs to the
    // detect thread again from here on.
    if (ShownTipHas(kCustomMarker) || ShownTipHas(kCpuGpuMarker)) host_.StartTimer(kTimerWatch, 1000);
}

// Every ending of a shown action comes here, whatever showed it: the strip
// is let go (the action frees it once the thread has it back), the thread
// gets its action back once, and the mascot's own strip may play again (a
// lock and unlock, or a resume, restarts it only when nothing is shown).
void CActionPresenter::FinishShowing() {
    animator_.ReleaseFrameStrip(strip_);
    ReleaseDetectThread();
    action_ = nullptr;
    strip_ = nullptr;
    tipShowing_ = false;
}

void CActionPresenter::ApplyZOrderAfterShowing() {
    if (host_.Topmost()) return;
    ::SetWindowPos(host_.MascotHwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(host_.MascotHwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CActionPresenter::CutShowingShort() {
    host_.StopTimer(kTimerActionFrame);
    tip_.ShowTip(false);
    // A countdown or the rest ends its own showing when its dialog closes.
    if (!modalRunning_) FinishShowing();
}

void CActionPresenter::OnLinkClicked(size_t index) {
    if (index < linkBehaviors_.size() && linkBehaviors_[index]) {
        CTipLinkTargets targets(host_.MascotHwnd(), tip_.SubHwnd());
        linkBehaviors_[index]->Execute(targets);
    }
}

void CActionPresenter::LetGoOfShowing() {
    if (!modalRunning_) FinishShowing();
}

void CActionPresenter::EndForHiddenMascot() {
    if (!tipShowing_) return;
    host_.StopTimer(kTimerActionFrame);
    animator_.SetMascotState(0);
    ApplyZOrderAfterShowing();
    if (!modalRunning_) FinishShowing();
    if (ShownTipHas(kCustomMarker) || ShownTipHas(kCpuGpuMarker)) host_.StartTimer(kTimerWatch, 1000);
}

// The click has cut the showing short already (or the dialog that runs it
// ends it when it closes).
void CActionPresenter::TipClickedAway() {
    if (ShownTipHas(kCustomMarker)) host_.StartTimer(kTimerWatch, 1000);
}

}  // namespace companion
