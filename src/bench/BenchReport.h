#pragma once

#include "base/GpuProfiler.h"
#include "bench/SampleStatistics.h"
#include "session/PlaySession.h"

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
    using Startup = StartupTimes;

    // What was measured, for the heading and the JSON.
    struct Setting {
        std::string renderer;  // GL_RENDERER
        int width = 0;
        int height = 0;
        double fps = 0.0;
        double from = 0.0;
        double to = 0.0;
    };

    // Our passes against the reference passes of the same run, from their
    // medians. A pass without a reference counts as its own floor in the
    // frame's sum of floors. Zero where the reference was not measured.
    struct Ratios {
        double shadowToFloor = 0.0;
        double sceneToFloor = 0.0;
        double blurToFloor = 0.0;
        double blurToGaussian = 0.0;  // the common 9-tap technique
        double floorSum = 0.0;        // milliseconds, every pass at its floor
        double frameToFloors = 0.0;   // wall-clock frame median to floorSum
        double frameSpread = 0.0;     // wall-clock frame p95 to its median
        double startupToFloor = 0.0;
    };

    explicit BenchReport(std::size_t expectedFrames = 0);

    void addGpuFrame(const GpuFrameTimes& times);
    // The reference passes drawn after one frame; only their slots are read.
    void addReferenceFrame(const GpuFrameTimes& times);
    // `black`: the frame was drawn under a fade of 0.
    void addCpuFrame(double update, double particleReadback, double frame, bool black = false);

    bool hasReferences() const { return gpuPasses[kGpuPassCount].count() > 0; }
    Ratios ratios() const;

    Setting setting;
    Startup startup;
    // The model's import with the same flags plus the decodes of the
    // textures the start-up loads, timed alone; 0 when not measured.
    double startupFloor = 0.0;
    int gpuStalls = 0;  // frames whose GPU results had to be waited for

    void print(std::ostream& out) const;
    std::string json() const;
    // Writes json() to `path`; false with `error` ("PATH: cause") when it
    // cannot be written whole.
    bool writeJson(const std::string& path, std::string& error) const;

    const SampleStatistics& gpuPass(GpuPass pass) const { return gpuPasses[static_cast<int>(pass)]; }
    const SampleStatistics& gpuPassSums() const { return gpuPassSum; }
    const SampleStatistics& gpuFrames() const { return gpuFrame; }
    const SampleStatistics& updates() const { return update; }
    const SampleStatistics& particleReadbacks() const { return readback; }
    const SampleStatistics& frames() const { return frame; }

private:
    void printReferences(std::ostream& out) const;

    SampleStatistics gpuPasses[kGpuPassCountWithReferences];
    SampleStatistics gpuPassSum;  // all passes of a frame together
    SampleStatistics gpuFrame;
    SampleStatistics update;
    SampleStatistics readback;
    SampleStatistics frame;
    SampleStatistics blackFrame;    // the frames under a fade of 0
    SampleStatistics pictureFrame;  // the others
};

}  // namespace tolvane
