#pragma once

#include "base/GpuProfiler.h"
#include "capture/SampleStatistics.h"

#include <ostream>
#include <string>

namespace tolvane {

// The figures of a bench run, all in milliseconds: per-frame series (GPU
// time per pass and for the whole frame, CPU time of the update and of the
// particle read-backs, wall time of the whole frame) reduced to median and
// 95th percentile, and the start-up breakdown. Printed as a table and
// written as JSON.
class BenchReport {
public:
    struct Startup {
        double overlays = 0.0;
        double modelImport = 0.0;  // without the textures it loads
        double textures = 0.0;     // every texture decoded and uploaded
        double rest = 0.0;         // window, renderer, shaders, lights, paths, sound
        double total() const { return overlays + modelImport + textures + rest; }
    };

    // What was measured, for the heading and the JSON.
    struct Setting {
        std::string renderer;  // GL_RENDERER
        int width = 0;
        int height = 0;
        double fps = 0.0;
        double from = 0.0;
        double to = 0.0;
    };

    explicit BenchReport(std::size_t expectedFrames = 0);

    void addGpuFrame(const GpuFrameTimes& times);
    void addCpuFrame(double update, double particleReadback, double frame);

    Setting setting;
    Startup startup;
    int gpuStalls = 0;  // frames whose GPU results had to be waited for

    void print(std::ostream& out) const;
    std::string json() const;
    bool writeJson(const std::string& path) const;

    const SampleStatistics& gpuPass(GpuPass pass) const { return gpuPasses[static_cast<int>(pass)]; }
    const SampleStatistics& gpuPassSums() const { return gpuPassSum; }
    const SampleStatistics& gpuFrames() const { return gpuFrame; }
    const SampleStatistics& updates() const { return update; }
    const SampleStatistics& particleReadbacks() const { return readback; }
    const SampleStatistics& frames() const { return frame; }

private:
    SampleStatistics gpuPasses[kGpuPassCount];
    SampleStatistics gpuPassSum;  // all passes of a frame together
    SampleStatistics gpuFrame;
    SampleStatistics update;
    SampleStatistics readback;
    SampleStatistics frame;
};

}  // namespace tolvane
