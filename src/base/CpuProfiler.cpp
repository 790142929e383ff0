#include "base/CpuProfiler.h"

namespace tolvane {

CpuProfiler* CpuProfiler::active = nullptr;

CpuProfiler::~CpuProfiler()
{
    if (active == this)
        active = nullptr;
}

void CpuProfiler::begin(CpuSection section)
{
    if (depth == kMaxDepth) {
        ++overflow;
        return;
    }
    open[depth++] = {section, Clock::now()};
}

void CpuProfiler::end()
{
    if (overflow > 0) {
        --overflow;
        return;
    }
    if (depth == 0)
        return;
    const Open& closing = open[--depth];
    const double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - closing.start).count();
    totals[static_cast<int>(closing.section)] += milliseconds;
    if (depth > 0)
        totals[static_cast<int>(open[depth - 1].section)] -= milliseconds;
}

void CpuProfiler::reset()
{
    for (double& total : totals)
        total = 0.0;
}

}  // namespace tolvane
