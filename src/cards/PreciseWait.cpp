#include "cards/PreciseWait.h"

#include <algorithm>
#include <thread>

namespace {

using std::chrono::microseconds;

constexpr auto kAbortPollInterval = std::chrono::milliseconds(10);
// Woken this much ahead of the usual lateness, most sleeps end before the deadline; the
// spinning that follows costs CPU time for about that long.
constexpr auto kMargin = microseconds(50);
// A sleep that waited for a core counts as no later than this, so that one stall does not set
// the thread spinning for milliseconds through the pauses after it.
constexpr auto kLongestLateness = microseconds(1000);
// Each sleep moves the average an eighth of the way to its own lateness.
constexpr int kAveragingSteps = 8;

}  // namespace

bool PreciseWait::until(Clock::time_point deadline, const std::atomic<bool>& abort) {
    while (true) {
        if (abort) {
            return false;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return true;
        }
        const auto wake = deadline - lead();
        // The last stretch spins rather than yields: with another task waiting for the core, a
        // yield hands it over for a whole time slice, milliseconds past the deadline.
        if (now < wake) {
            const auto aim = std::min(wake, now + kAbortPollInterval);
            std::this_thread::sleep_until(aim);
            noteLateness(Clock::now() - aim);
        }
    }
}

PreciseWait::Clock::duration PreciseWait::lead() const { return _lateness + kMargin; }

void PreciseWait::noteLateness(Clock::duration late) {
    const auto sample =
        std::clamp<Clock::duration>(late, Clock::duration::zero(), kLongestLateness);
    _lateness += (sample - _lateness) / kAveragingSteps;
}
