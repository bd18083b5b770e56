// Showing the due actions that the detect thread hands over: a timed
// shutdown with its countdown, the full-screen rest, or the action's strip
// on the mascot with a tip bubble and its link. Whatever happens, the detect
// thread gets each action back exactly once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "companion/actions/action_environment.h"
#include "companion/actions/detect_action_condition.h"
#include "companion/actions/vyn_action.h"
#include "companion/app/mascot_animator.h"
#include "companion/ui/showing_dialogs.h"
#include "companion/ui/vyn_tip_wnd.h"

namespace companion {

// What the presenter needs of the mascot's window besides.
class IActionPresenterHost : public IMascotWindow {
public:
    // The detect thread, while there is one.
    virtual CDetectActionCondition* DetectThread() const = 0;
    virtual bool Leaving() const = 0;
    virtual bool Away() const = 0;
    virtual bool HiddenByUser() const = 0;
    // Closes the navigation pop-up whatever the cursor does.
    virtual void CloseNavigation() = 0;

protected:
    ~IActionPresenterHost() = default;
};

class CActionPresenter {
public:
    CActionPresenter(IActionPresenterHost& host, CMascotAnimator& animator, CVynTipWnd& tip,
                     IShowingDialogs& dialogs, IActionEnvironment& clock)
        : host_(host), animator_(animator), tip_(tip), dialogs_(dialogs), clock_(clock) {}
    CActionPresenter(const CActionPresenter&) = delete;
    CActionPresenter& operator=(const CActionPresenter&) = delete;

    bool TipShowing() const { return tipShowing_; }

    // The detect thread posted `action` as due: shown unless it is not the
    // one handed over or the mascot leaves.
    void OnActionDue(IVynAction* action);
    // The link with `index` on the tip was clicked.
    void OnLinkClicked(size_t index);
    // The actions are about to go, and their link behaviours with them.
    void ForgetLinks() { linkBehaviors_.clear(); }
    void StepActionFrame();
    // Cuts a shown action short; releases the detect thread unless a modal dialog runs.
    void CutShowingShort();
    // The mascot leaves: the strip and the detect thread are let go unless a
    // modal dialog runs.
    void LetGoOfShowing();
    // The user hid the mascot: a tip on show ends at once.
    void EndForHiddenMascot();
    // The user clicked the mascot while its tip was shown: the tip counts as seen.
    void TipClickedAway();
    bool ShownTipHas(const wchar_t* marker) const;

private:
    void OnActionFired();
    void ShowTimedShutdown(const std::wstring& tip);
    void ShowFullScreenRest();
    void ShowOrdinary(std::wstring tip);
    void EndShowing();
    void FinishShowing();
    void EndModalShowing();
    void ReleaseDetectThread();
    void ApplyZOrderAfterShowing();

    IActionPresenterHost& host_;
    CMascotAnimator& animator_;
    CVynTipWnd& tip_;
    IShowingDialogs& dialogs_;
    IActionEnvironment& clock_;

    IVynAction* action_ = nullptr;
    std::wstring tipText_;
    std::wstring linkText_;
    int animationTime_ = 0, frames_ = 0, frameTime_ = 0, cx_ = 0, cy_ = 0;
    HBITMAP strip_ = nullptr;
    int frame_ = 0;
    int elapsed_ = 0;
    std::vector<ILinkBehavior*> linkBehaviors_;
    std::wstring shownMarkers_;  // the shown action's tip text as it came, markers included
    bool tipShowing_ = false;
    bool modalRunning_ = false;
};

}  // namespace companion
