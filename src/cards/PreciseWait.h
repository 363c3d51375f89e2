#pragma once

#include <atomic>
#include <chrono>

// Ends a pause at its deadline: never before it, and as little after it as the machine allows.
// A sleep on a virtual or busy machine wakes some way past the time it asked for, so the wait
// sleeps until shortly before the deadline, by what sleeps have lately overshot, and spins
// through the rest. Belongs to one thread at a time.
class PreciseWait {
public:
    using Clock = std::chrono::steady_clock;

    // Returns at or after `deadline` (true), or early (false) once `abort` is set; it looks at
    // `abort` at least every 10 ms.
    bool until(Clock::time_point deadline, const std::atomic<bool>& abort);

    // How long before a deadline the sleep aims to wake.
    Clock::duration lead() const;
    // Takes in how far past its aim one sleep woke.
    void noteLateness(Clock::duration late);

private:
    // A running average of how late sleeps wake, starting from a common figure.
    Clock::duration _lateness = std::chrono::microseconds(100);
};
