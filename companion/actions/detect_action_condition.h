// The detect thread: every few seconds it asks the reminder actions, in
// priority order, whether one is due, hands the first due one to the main
// window and waits until the main window has finished showing it.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "companion/actions/thread_base.h"
#include "companion/actions/vyn_action.h"

namespace companion {

class CDetectActionCondition : public CThreadBase {
public:
    static constexpr DWORD kDefaultPauseMs = 5000;

    // Makes one of the thread's manual-reset events (a seam: tests refuse them).
    using EventMaker = HANDLE (*)();
    static HANDLE MakeEvent();

    explicit CDetectActionCondition(HWND mainWindow, DWORD pauseMs = kDefaultPauseMs,
                                    EventMaker makeEvent = &CDetectActionCondition::MakeEvent);
    ~CDetectActionCondition() override;

    // Only before Start.
    void AddAction(std::unique_ptr<IVynAction> action);
    // The failed mark of an earlier thread goes before the next one starts,
    // so that no late notice about the old thread can find it set.
    int Start(unsigned initFlag, unsigned stackSize, SECURITY_ATTRIBUTES* security) override;
    // Polls until stopped, then returns 0. When the thread cannot poll (its
    // events cannot be made) or a scan throws, it marks itself failed, tells
    // the main window with WM_DETECT_ENDED (wParam: this thread's id) and
    // returns kRunFailed: the window joins it, then starts it again or
    // destroys the object. The actions live as long as the object.
    int Run() override;
    // UI thread: the thread has failed and ended (or is about to).
    bool Failed() const { return failed_.load(); }

    // UI thread: true exactly once for the action the thread has just posted,
    // so a stray or repeated WM_ACTION_DUE is never shown.
    bool ClaimDueAction(const IVynAction* action);
    // UI thread: ends the showing of the claimed action. Signals the thread
    // only for an action the window has claimed, then clears the debt, so the
    // thread is released exactly once per posted action. An action posted but
    // not yet claimed stays owed: its WM_ACTION_DUE is still on its way and
    // must find it. False when nothing claimed was owed.
    bool ReleaseDueAction();

    // UI thread: the screen-saver and away notices go to every action.
    void NotifyScreenSaverRunning(bool running);
    void NotifyAway(bool away);

    // Ends the thread after the current scan, pause or showing. The program
    // itself stops polling only when its window goes.
    void Stop();
    // Stop, then Join: true when no thread is held any more. The owner
    // destroys the object only then.
    bool StopAndJoin(DWORD timeoutMs);

private:
    // The scans; false when the thread cannot wait (no events).
    bool Poll();
    // Posts the due action and waits for its release; false when the post failed.
    bool HandOver(IVynAction* action);

    std::vector<std::unique_ptr<IVynAction>> actions_;
    std::atomic<bool> stop_{false};
    HWND mainWindow_;
    DWORD pauseMs_;
    EventMaker makeEvent_;
    std::atomic<bool> failed_{false};
    base::Event dueEvent_;
    base::Event stopEvent_;
    std::atomic<IVynAction*> pending_{nullptr};
    std::atomic<bool> claimed_{false};
};

}  // namespace companion
