#pragma once

#include <chrono>

namespace tolvane {

// Holds a loop to one pass per period, for a loop that nothing else holds
// back (a swap that does not wait for the display). It sleeps only for the
// rest of the period the pass left, so the pace does not drift with the work
// of each pass; a loop that fell behind starts counting afresh instead of
// racing through the passes it missed.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // 0 or less: wait() returns at once.
    explicit FramePacer(double periodSeconds = 0.0);

    // Sleeps until the deadline that follows the previous one.
    void wait();

    // The moment the pass that ends at `now` should end its wait, and the
    // deadline the next pass counts from. Kept apart from the sleep so that
    // the arithmetic is tested without a clock.
    Clock::time_point deadlineAfter(Clock::time_point now);

    bool paces() const { return period.count() > 0; }

private:
    Clock::duration period{0};
    Clock::time_point deadline{};  // the last one handed out; none yet while empty
};

}  // namespace tolvane
