#pragma once

#include "base/CpuProfiler.h"
#include "base/GpuProfiler.h"
#include "bench/BenchReport.h"
#include "bench/ReferencePasses.h"

#include <chrono>
#include <memory>

namespace tolvane {

struct BenchOptions;
class Renderer;
struct View;

// The timings of a film bench: GPU time per pass from timestamp queries read a
// few frames late, CPU time of the update and of the particle read-backs,
// wall time per frame, the start-up's breakdown and, with --reference, the
// reference passes and the start-up's floor timed in the same run. The
// figures go to the console, and to JSON and a plot when asked. Needs a
// current GL context from construction to finish().
class BenchRecorder {
public:
    using Clock = std::chrono::steady_clock;

    // `cpu` is the profiler the program's sections report to (not owned),
    // `startup` the breakdown of the start-up just done; `setting` says what
    // is measured, and `frames` how many frames to expect, for the series'
    // storage.
    BenchRecorder(const BenchOptions& options, CpuProfiler& cpu, const BenchReport::Startup& startup,
                  const BenchReport::Setting& setting, long frames);
    ~BenchRecorder();

    BenchRecorder(const BenchRecorder&) = delete;
    BenchRecorder& operator=(const BenchRecorder&) = delete;

    // Around one timed frame: its start, the end of its update, its end;
    // `black` when it was drawn under a fade of 0.
    void beginFrame();
    void frameUpdated();
    void endFrame(bool black);
    // Right after a timed frame: the reference passes on the same targets,
    // finished before the next frame so that they cost it nothing.
    void drawReferences(Renderer& renderer, const View& view);

    // Prints the report and writes the JSON and the plot asked for; `to` is
    // the end of the timed stretch, seconds. False when a file could not be
    // written (each failure named on the console).
    bool finish(double to);

private:
    static double milliseconds(Clock::time_point from, Clock::time_point to);

    const BenchOptions& options_;
    BenchReport report_;
    CpuProfiler& cpu_;
    std::unique_ptr<GpuProfiler> gpu_;
    std::unique_ptr<ReferencePasses> referencePasses_;  // --reference only
    std::unique_ptr<GpuProfiler> referenceGpu_;         // times referencePasses_
    Clock::time_point frameStart_;
    Clock::time_point updateEnd_;
};

}  // namespace tolvane
