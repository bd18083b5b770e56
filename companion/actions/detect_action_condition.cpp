#include "companion/actions/detect_action_condition.h"

#include "protocol/window_messages.h"

CDetectActionCondition::CDetectActionCondition(HWND mainWindow, DWORD pauseMs)
    : mainWindow_(mainWindow),
      pauseMs_(pauseMs),
      stopEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CDetectActionCondition::~CDetectActionCondition() = default;

void CDetectActionCondition::AddAction(IVynAction* action) {
    actions_.emplace_back(action);
}

bool CDetectActionCondition::HandOver(IVynAction* action) {
    ::ResetEvent(dueEvent_.Get());
    claimed_.store(false);
    pending_.store(action);
    if (!::PostMessageW(mainWindow_, WM_ACTION_DUE, reinterpret_cast<WPARAM>(action), 0)) {
        // Nobody will ever release this action; waiting would stop the reminders for good.
        pending_.store(nullptr);
        return false;
    }
    // The stop event only matters to orderly ends in tests; the program waits
    // for the main window alone.
    const HANDLE wakeUps[] = {dueEvent_.Get(), stopEvent_.Get()};
    ::WaitForMultipleObjects(2, wakeUps, FALSE, INFINITE);
    return true;
}

int CDetectActionCondition::Run() {
    dueEvent_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Without its events the thread could neither wait for a showing (every
    // action would be done at once) nor pause (it would spin): no polling.
    const bool canWait = dueEvent_.Valid() && stopEvent_.Valid();
    while (canWait && !stop_.load()) {
        for (size_t i = 0; i < actions_.size(); ++i) {
            IVynAction* action = actions_[i].get();
            if (!action || !action->CheckCondition()) continue;
            HandOver(action);
            if (actions_[i]) action->OnDone();
            break;  // the next scan starts again from the first action
        }
        if (stop_.load()) break;
        ::WaitForSingleObject(stopEvent_.Get(), pauseMs_);
    }
    actions_.clear();
    ReleaseThread();
    delete this;
    return kRunDeletedSelf;
}

bool CDetectActionCondition::ClaimDueAction(const IVynAction* action) {
    return action != nullptr && pending_.load() == action && !claimed_.exchange(true);
}

bool CDetectActionCondition::ReleaseDueAction() {
    if (!pending_.load() || !claimed_.load()) return false;
    if (!pending_.exchange(nullptr)) return false;
    ::SetEvent(dueEvent_.Get());
    return true;
}

void CDetectActionCondition::NotifyScreenSaverRunning(bool running) {
    for (auto& action : actions_)
        if (action) action->SetScreenSaverRunning(running);
}

void CDetectActionCondition::NotifyAway(bool away) {
    for (auto& action : actions_)
        if (action) action->SetAway(away);
}

void CDetectActionCondition::Stop() {
    stop_.store(true);
    ::SetEvent(stopEvent_.Get());
}

bool CDetectActionCondition::StopAndWait(DWORD timeoutMs) {
    if (ThreadId() == 0) {
        delete this;
        return true;
    }
    // The thread closes its own handle as it ends: wait on a copy.
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ThreadHandle(), ::GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    winlib::Thread thread(copy);
    Stop();
    return thread.Valid() && ::WaitForSingleObject(thread.Get(), timeoutMs) == WAIT_OBJECT_0;
}
