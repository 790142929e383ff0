#pragma once

#include <chrono>

#include "base/ProfilerScope.h"

namespace tolvane {

// Stretches of CPU work the bench reports that lie inside shared code: the
// waits for the particle systems' record counts, and the overlay build, model
// import and texture loading of the start-up.
enum class CpuSection { ParticleReadback, Overlays, ModelImport, Textures, Count };
inline constexpr int kCpuSectionCount = static_cast<int>(CpuSection::Count);

// Adds up the wall time spent in marked sections, in milliseconds. A section
// nested in another (textures loaded by the model import) is taken out of
// the outer one's total. While no profiler is active (the demo itself) a
// Scope costs one pointer test. Used on the GL thread only (the texture
// decode worker opens no Scope), so nothing in it is locked.
class CpuProfiler {
public:
    using Scope = ProfilerScope<CpuProfiler, CpuSection>;

    // The profiler the Scopes report to; null when nothing is measured.
    static CpuProfiler* active;

    CpuProfiler() = default;
    ~CpuProfiler();

    void begin(CpuSection section);
    void end();

    // Milliseconds spent in `section` since the last reset.
    double total(CpuSection section) const { return totals[static_cast<int>(section)]; }
    void reset();

private:
    using Clock = std::chrono::steady_clock;
    static constexpr int kMaxDepth = 8;

    struct Open {
        CpuSection section;
        Clock::time_point start;
    };

    double totals[kCpuSectionCount] = {};
    Open open[kMaxDepth] = {};
    int depth = 0;
    int overflow = 0;  // begins beyond kMaxDepth, not timed
};

}  // namespace tolvane
