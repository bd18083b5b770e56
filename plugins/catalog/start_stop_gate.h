// Start and Stop of one object, one at a time. A Start or Stop that comes
// while another is under way waits until it is over; one that finds the
// object already where it leads has nothing to do. No lock is held while a
// transition runs, so it may call the kernel and wait for threads that
// need the object's own locks.
#pragma once

#include <windows.h>

namespace catalog {

class StartStopGate {
public:
    enum class Outcome {
        kYours,         // this call starts or stops the object
        kAlreadyThere,  // running for a Start, stopped for a Stop
        kRefused,       // asked from inside a Start or Stop of the same thread
    };

    // The caller's turn. Unless Finish is called the object counts as
    // stopped when it ends (a Start or Stop that failed on the way).
    class Transition {
    public:
        Transition(Transition&& other) noexcept;
        Transition(const Transition&) = delete;
        Transition& operator=(const Transition&) = delete;
        Transition& operator=(Transition&&) = delete;
        ~Transition() { Finish(false); }

        Outcome Result() const noexcept { return outcome_; }
        void Finish(bool running) noexcept;

    private:
        friend class StartStopGate;
        Transition(StartStopGate* gate, Outcome outcome) noexcept : gate_(gate), outcome_(outcome) {}
        StartStopGate* gate_;
        Outcome outcome_;
    };

    StartStopGate() noexcept;
    ~StartStopGate();
    StartStopGate(const StartStopGate&) = delete;
    StartStopGate& operator=(const StartStopGate&) = delete;

    // Toward running (`start`) or stopped.
    Transition Begin(bool start) noexcept;

private:
    void End(bool running) noexcept;

    CRITICAL_SECTION lock_;
    CONDITION_VARIABLE ended_;
    bool running_ = false;
    DWORD busy_ = 0;  // the thread in a transition, 0 when none
};

}  // namespace catalog
