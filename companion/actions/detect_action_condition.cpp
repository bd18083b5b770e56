#include "companion/actions/detect_action_condition.h"

#include "protocol/window_messages.h"
#include "base/exception_barrier.h"

HANDLE CDetectActionCondition::MakeEvent() {
    return ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CDetectActionCondition::CDetectActionCondition(HWND mainWindow, DWORD pauseMs, EventMaker makeEvent)
    : mainWindow_(mainWindow),
      pauseMs_(pauseMs),
      makeEvent_(makeEvent ? makeEvent : &CDetectActionCondition::MakeEvent),
      stopEvent_(makeEvent_()) {}

CDetectActionCondition::~CDetectActionCondition() = default;

void CDetectActionCondition::AddAction(std::unique_ptr<IVynAction> action) {
    actions_.push_back(std::move(action));
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
    failed_.store(false);
    // An exception out of a scan (an action out of memory) must not end the
    // reminders unnoticed: the object goes back to the window, which may
    // start another thread.
    if (!base::CallGuarded(L"detect thread", false, [this] { return Poll(); })) {
        const HWND window = mainWindow_;
        failed_.store(true);
        // From here on the object is the window's.
        ::PostMessageW(window, WM_DETECT_ENDED, 0, 0);
        return kRunLeftToOwner;
    }
    actions_.clear();
    ReleaseThread();
    delete this;
    return kRunDeletedSelf;
}

bool CDetectActionCondition::Poll() {
    dueEvent_.Reset(makeEvent_());
    // Without its events the thread could neither wait for a showing (every
    // action would be done at once) nor pause (it would spin): no polling.
    if (!dueEvent_.Valid() || !stopEvent_.Valid()) return false;
    while (!stop_.load()) {
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
    return true;
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
    if (!thread.Valid() || ::WaitForSingleObject(thread.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
    // A thread that failed left the object here (one that stopped deleted it).
    DWORD code = 0;
    if (::GetExitCodeThread(thread.Get(), &code) && code == static_cast<DWORD>(kRunLeftToOwner)) {
        ReleaseThread();
        delete this;
    }
    return true;
}
