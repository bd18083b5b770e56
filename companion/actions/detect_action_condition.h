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
    // Polls until stopped, then deletes the object. When the thread cannot
    // poll (its events cannot be made) or a scan throws, it leaves the
    // object alive, tells the main window with WM_DETECT_ENDED and returns
    // kRunLeftToOwner: the window joins it, then starts it again or deletes it.
    int Run() override;
    // UI thread: the thread has failed and handed the object back.
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
    // itself never stops polling; this exists for orderly ends in tests. The
    // object deletes itself when the thread ends, so nothing may call it after.
    void Stop();
    // Stop, then waits up to `timeoutMs` for the thread to end; true when it
    // ended (or never ran, or failed: the object is then deleted here).
    // Nothing may call the object afterwards either way.
    bool StopAndWait(DWORD timeoutMs);

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
    winlib::Event dueEvent_;
    winlib::Event stopEvent_;
    std::atomic<IVynAction*> pending_{nullptr};
    std::atomic<bool> claimed_{false};
};
