#include "plugins/catalog/start_stop_gate.h"

#include <utility>

namespace catalog {

StartStopGate::Transition::Transition(Transition&& other) noexcept
    : gate_(std::exchange(other.gate_, nullptr)), outcome_(other.outcome_) {}

void StartStopGate::Transition::Finish(bool running) noexcept {
    if (StartStopGate* gate = std::exchange(gate_, nullptr)) gate->End(running);
}

StartStopGate::StartStopGate() noexcept {
    ::InitializeCriticalSection(&lock_);
    ::InitializeConditionVariable(&ended_);
}

StartStopGate::~StartStopGate() { ::DeleteCriticalSection(&lock_); }

StartStopGate::Transition StartStopGate::Begin(bool start) noexcept {
    const DWORD self = ::GetCurrentThreadId();
    ::EnterCriticalSection(&lock_);
    // Waiting here for our own transition would never end.
    if (busy_ == self) {
        ::LeaveCriticalSection(&lock_);
        return Transition(nullptr, Outcome::kRefused);
    }
    while (busy_) ::SleepConditionVariableCS(&ended_, &lock_, INFINITE);
    const bool there = running_ == start;
    if (!there) busy_ = self;
    ::LeaveCriticalSection(&lock_);
    return there ? Transition(nullptr, Outcome::kAlreadyThere) : Transition(this, Outcome::kYours);
}

void StartStopGate::End(bool running) noexcept {
    ::EnterCriticalSection(&lock_);
    running_ = running;
    busy_ = 0;
    ::LeaveCriticalSection(&lock_);
    ::WakeAllConditionVariable(&ended_);
}

}  // namespace catalog
