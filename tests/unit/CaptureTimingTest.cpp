// The numbers behind the capture's timing: the fixed-step clock, the order
// statistics, nested CPU sections and the bench's JSON.
#include "base/CpuProfiler.h"
#include "bench/BenchReport.h"
#include "bench/SampleStatistics.h"
#include "session/FixedStepClock.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <sstream>
#include <thread>

using namespace tolvane;

namespace {

// The timeline steps when more than 0.02 s have gathered; at 50 fps every
// frame must do so, with the very same delta, for the film to keep its pace.
TEST(FixedStepClockTest, EveryFrameAdvancesByTheSameStepAtLeastOneFrameLong)
{
    for (const double fps : {50.0, 25.0, 30.0, 60.0, 64.0, 29.97}) {
        FixedStepClock::configure(fps);
        const double step = FixedStepClock::step();
        EXPECT_GE(step, 1.0 / fps);
        EXPECT_LT(step - 1.0 / fps, 1.0e-6) << fps;
        double previous = FixedStepClock::now();
        for (long frame = 1; frame < 200000; frame += 997) {
            FixedStepClock::setFrame(frame - 1);
            previous = FixedStepClock::now();
            FixedStepClock::setFrame(frame);
            EXPECT_EQ(FixedStepClock::now() - previous, step) << fps << " at frame " << frame;
        }
    }
    FixedStepClock::configure(50.0);
    EXPECT_GT(FixedStepClock::step(), 0.02);
    // A step that is already a binary fraction is kept exactly.
    FixedStepClock::configure(64.0);
    EXPECT_EQ(FixedStepClock::step(), 1.0 / 64.0);
}

TEST(FixedStepClockTest, AccumulatedDeltasMatchTheReadingExactly)
{
    FixedStepClock::configure(50.0);
    double accumulated = 0.0;
    for (long frame = 1; frame <= 5000; ++frame)
        accumulated += FixedStepClock::step();
    FixedStepClock::setFrame(5000);
    EXPECT_EQ(accumulated, FixedStepClock::now());
}

TEST(SampleStatisticsTest, MedianAndPercentilesInterpolateBetweenRanks)
{
    SampleStatistics empty;
    EXPECT_EQ(empty.median(), 0.0);
    EXPECT_EQ(empty.percentile(95.0), 0.0);

    SampleStatistics one;
    one.add(7.0);
    EXPECT_EQ(one.median(), 7.0);
    EXPECT_EQ(one.percentile(95.0), 7.0);

    SampleStatistics even;
    for (const double v : {4.0, 1.0, 3.0, 2.0})
        even.add(v);
    EXPECT_DOUBLE_EQ(even.median(), 2.5);
    EXPECT_DOUBLE_EQ(even.percentile(0.0), 1.0);
    EXPECT_DOUBLE_EQ(even.percentile(100.0), 4.0);
    // Insertion order is kept for the plot.
    EXPECT_EQ(even.samples().front(), 4.0);

    SampleStatistics hundred;
    for (int i = 100; i >= 1; --i)
        hundred.add(i);
    EXPECT_DOUBLE_EQ(hundred.median(), 50.5);
    EXPECT_DOUBLE_EQ(hundred.percentile(95.0), 95.05);
    EXPECT_DOUBLE_EQ(hundred.mean(), 50.5);
}

TEST(CpuProfilerTest, NestedSectionsAreTakenOutOfTheOuterOne)
{
    CpuProfiler profiler;
    const auto busy = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    {
        // A scope without an active profiler measures nothing.
        CpuProfiler::Scope ignored(CpuSection::Textures);
        busy(1);
    }
    EXPECT_EQ(profiler.total(CpuSection::Textures), 0.0);

    CpuProfiler::active = &profiler;
    {
        CpuProfiler::Scope import(CpuSection::ModelImport);
        busy(2);
        for (int i = 0; i < 2; ++i) {
            CpuProfiler::Scope texture(CpuSection::Textures);
            busy(40);
        }
    }
    CpuProfiler::active = nullptr;
    EXPECT_GE(profiler.total(CpuSection::Textures), 80.0);
    EXPECT_GE(profiler.total(CpuSection::ModelImport), 2.0);
    // Without the subtraction the import would include the 80 ms of textures;
    // with it, only its own 2 ms and whatever a loaded machine adds to them.
    EXPECT_LT(profiler.total(CpuSection::ModelImport), 40.0);
    profiler.reset();
    EXPECT_EQ(profiler.total(CpuSection::ModelImport), 0.0);
}

// Read back as a JSON reader would: every figure under its key, the
// renderer's name intact whatever it holds.
TEST(BenchReportTest, JsonCarriesEveryFigure)
{
    BenchReport report;
    report.setting.renderer = "test \"renderer\"\\";
    report.setting.width = 256;
    GpuFrameTimes times;
    for (int i = 0; i < kGpuPassCount; ++i)
        times.passes[i] = i + 1.0;
    times.frame = 30.0;
    report.addGpuFrame(times);
    report.addCpuFrame(2.0, 0.5, 40.0);
    report.startup.overlays = 1.0;
    report.startup.modelImport = 2.0;
    report.startup.textures = 3.0;
    report.startup.rest = 4.0;
    const nlohmann::json json = nlohmann::json::parse(report.json());
    EXPECT_EQ(json["renderer"], "test \"renderer\"\\");
    EXPECT_EQ(json["width"], 256);
    EXPECT_EQ(json["frames"], 1);
    for (int i = 0; i < kGpuPassCount; ++i)
        EXPECT_DOUBLE_EQ(json["gpu_ms"][gpuPassName(static_cast<GpuPass>(i))]["median"].get<double>(), i + 1.0);
    EXPECT_DOUBLE_EQ(json["gpu_ms"]["passes"]["median"].get<double>(), 21.0);
    EXPECT_DOUBLE_EQ(json["gpu_ms"]["frame"]["p95"].get<double>(), 30.0);
    EXPECT_DOUBLE_EQ(json["cpu_ms"]["update"]["median"].get<double>(), 2.0);
    EXPECT_DOUBLE_EQ(json["cpu_ms"]["particle_readback"]["median"].get<double>(), 0.5);
    EXPECT_DOUBLE_EQ(json["frame_ms"]["median"].get<double>(), 40.0);
    EXPECT_DOUBLE_EQ(json["startup_ms"]["model_import"].get<double>(), 2.0);
    EXPECT_DOUBLE_EQ(json["startup_ms"]["total"].get<double>(), 10.0);
    EXPECT_FALSE(json.contains("ratios")) << "no reference passes were timed";
}

// Three frames whose load changes from frame to frame: each ratio is the
// median of the frames' own ratios (the frame and its references meet the
// same load), not the ratio of two medians taken from different frames.
TEST(BenchReportTest, ReferencesGiveEachPassARatioToItsFloor)
{
    BenchReport report;
    const double scene[] = {10.0, 100.0, 30.0};
    const double sceneFloor[] = {5.0, 20.0, 30.0};  // ratios 2, 5, 1: median 2 (medians: 30 / 20)
    for (int i = 0; i < 3; ++i) {
        GpuFrameTimes frame;
        frame.passes[static_cast<int>(GpuPass::Shadow)] = 6.0;
        frame.passes[static_cast<int>(GpuPass::Scene)] = scene[i];
        frame.passes[static_cast<int>(GpuPass::Blur)] = 8.0;
        frame.passes[static_cast<int>(GpuPass::Composition)] = 1.0;
        report.addGpuFrame(frame);
        GpuFrameTimes references;
        references.passes[static_cast<int>(GpuPass::GaussianBlur)] = 10.0;
        references.passes[static_cast<int>(GpuPass::BlurFloor)] = 4.0;
        references.passes[static_cast<int>(GpuPass::SceneFloor)] = sceneFloor[i];
        references.passes[static_cast<int>(GpuPass::ShadowFloor)] = 3.0;
        report.addReferenceFrame(references);
        report.addCpuFrame(0.5, 0.1, 2.0 * (3.0 + sceneFloor[i] + 4.0 + 1.0));
    }
    report.startup.modelImport = 300.0;
    report.startupFloor = 250.0;

    const BenchReport::Ratios r = report.ratios();
    EXPECT_DOUBLE_EQ(r.sceneToFloor, 2.0);
    EXPECT_DOUBLE_EQ(r.shadowToFloor, 2.0);
    EXPECT_DOUBLE_EQ(r.blurToFloor, 2.0);
    EXPECT_DOUBLE_EQ(r.blurToGaussian, 0.8);
    // Passes without a reference (composition) count at their own time.
    EXPECT_DOUBLE_EQ(r.floorSum, 3.0 + 20.0 + 4.0 + 1.0);
    EXPECT_DOUBLE_EQ(r.frameToFloors, 2.0);
    EXPECT_DOUBLE_EQ(r.startupToFloor, 1.2);
    // The references stay out of the film's own figures.
    EXPECT_DOUBLE_EQ(report.gpuPassSums().median(), 6.0 + 30.0 + 8.0 + 1.0);

    std::ostringstream printed;
    report.print(printed);
    for (const char* row : {"GPU 9-tap gaussian blur", "GPU blur floor", "GPU scene floor", "GPU shadow floor",
                            "blur / 9-tap gaussian", "frame / sum of floors", "start-up 1.20 x floor"})
        EXPECT_NE(printed.str().find(row), std::string::npos) << row << " in\n" << printed.str();
    const nlohmann::json json = nlohmann::json::parse(report.json());
    EXPECT_DOUBLE_EQ(json["reference_gpu_ms"]["scene floor"]["median"].get<double>(), 20.0);
    EXPECT_DOUBLE_EQ(json["ratios"]["blur_to_gaussian"].get<double>(), 0.8);
    EXPECT_DOUBLE_EQ(json["ratios"]["frame_to_floors"].get<double>(), 2.0);
    EXPECT_DOUBLE_EQ(json["ratios"]["startup_to_floor"].get<double>(), 1.2);
    EXPECT_DOUBLE_EQ(json["startup_floor_ms"].get<double>(), 250.0);
}

TEST(BenchReportTest, WithoutReferencesThereAreNoRatiosToPrint)
{
    BenchReport report;
    report.addGpuFrame(GpuFrameTimes());
    report.addCpuFrame(0.5, 0.1, 20.0);
    EXPECT_FALSE(report.hasReferences());
    EXPECT_DOUBLE_EQ(report.ratios().sceneToFloor, 0.0);
    std::ostringstream printed;
    report.print(printed);
    EXPECT_EQ(printed.str().find("floor"), std::string::npos) << printed.str();
    EXPECT_EQ(report.json().find("\"ratios\""), std::string::npos);
}

}  // namespace
