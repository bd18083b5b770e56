#include "companion/actions/detect_action_condition.h"

#include "protocol/window_messages.h"
#include "base/exception_barrier.h"

namespace companion {

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

int CDetectActionCondition::Start(unsigned initFlag, unsigned stackSize, SECURITY_ATTRIBUTES* security) {
    if (ThreadHandle()) return -1;
    failed_.store(false);
    return CThreadBase::Start(initFlag, stackSize, security);
}

int CDetectActionCondition::Run() {
    // An exception out of a scan (an action out of memory) must not end the
    // reminders unnoticed: the window may start another thread.
    if (base::CallGuarded(L"detect thread", false, [this] { return Poll(); })) return 0;
    failed_.store(true);
    ::PostMessageW(mainWindow_, WM_DETECT_ENDED, static_cast<WPARAM>(::GetCurrentThreadId()), 0);
    return kRunFailed;
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

bool CDetectActionCondition::StopAndJoin(DWORD timeoutMs) {
    Stop();
    return Join(timeoutMs);
}

}  // namespace companion
