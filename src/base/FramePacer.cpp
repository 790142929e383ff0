#include "base/FramePacer.h"

#include <thread>

namespace tolvane {

FramePacer::FramePacer(double periodSeconds)
{
    if (periodSeconds > 0.0)
        period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(periodSeconds));
}

void FramePacer::wait()
{
    if (!paces())
        return;
    std::this_thread::sleep_until(deadlineAfter(Clock::now()));
}

FramePacer::Clock::time_point FramePacer::deadlineAfter(Clock::time_point now)
{
    const bool first = deadline == Clock::time_point{};
    deadline += period;
    // Behind by a whole period or more (a long load, a stalled compositor):
    // the next pass is due a period from now, not at once again and again.
    if (first || deadline + period <= now)
        deadline = now + period;
    return deadline;
}

}  // namespace tolvane
