#include "bench/BenchReport.h"

#include "base/FileWrite.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <iomanip>

namespace tolvane {

namespace {

// Four decimals of a millisecond are more than any timer here resolves.
double rounded(double value)
{
    return std::round(value * 1.0e4) / 1.0e4;
}

nlohmann::ordered_json summary(const SampleStatistics& series)
{
    return {{"median", rounded(series.median())}, {"p95", rounded(series.percentile(95.0))}};
}

void printRow(std::ostream& out, const char* label, const SampleStatistics& series)
{
    out << "  " << std::left << std::setw(24) << label << std::right << std::fixed << std::setprecision(3)
        << std::setw(10) << series.median() << std::setw(10) << series.percentile(95.0) << '\n';
}

}  // namespace

BenchReport::BenchReport(std::size_t expectedFrames) :
    gpuPassSum(expectedFrames),
    gpuFrame(expectedFrames),
    update(expectedFrames),
    readback(expectedFrames),
    frame(expectedFrames)
{
    for (SampleStatistics& series : gpuPasses)
        series = SampleStatistics(expectedFrames);
}

void BenchReport::addGpuFrame(const GpuFrameTimes& times)
{
    double sum = 0.0;
    for (int i = 0; i < kGpuPassCount; ++i) {
        gpuPasses[i].add(times.passes[i]);
        sum += times.passes[i];
    }
    gpuPassSum.add(sum);
    gpuFrame.add(times.frame);
}

void BenchReport::addReferenceFrame(const GpuFrameTimes& times)
{
    for (int i = kGpuPassCount; i < kGpuPassCountWithReferences; ++i)
        gpuPasses[i].add(times.passes[i]);
}

void BenchReport::addCpuFrame(double updateTime, double particleReadback, double frameTime, bool black)
{
    update.add(updateTime);
    readback.add(particleReadback);
    frame.add(frameTime);
    (black ? blackFrame : pictureFrame).add(frameTime);
}

namespace {

double ratio(double value, double floor)
{
    return floor > 0.0 ? value / floor : 0.0;
}

// The load on a shared machine drifts during a run; a pass and its reference
// are drawn back to back in every frame, so the median of the frames' own
// ratios holds still where a ratio of the two medians would not.
double medianRatio(const SampleStatistics& values, const SampleStatistics& floors)
{
    const std::size_t count = std::min(values.count(), floors.count());
    SampleStatistics ratios(count);
    for (std::size_t i = 0; i < count; ++i)
        if (floors.samples()[i] > 0.0)
            ratios.add(values.samples()[i] / floors.samples()[i]);
    return ratios.count() > 0 ? ratios.median() : 0.0;
}

}  // namespace

BenchReport::Ratios BenchReport::ratios() const
{
    Ratios result;
    if (hasReferences()) {
        const auto against = [this](GpuPass pass, GpuPass floor) { return medianRatio(gpuPass(pass), gpuPass(floor)); };
        result.shadowToFloor = against(GpuPass::Shadow, GpuPass::ShadowFloor);
        result.sceneToFloor = against(GpuPass::Scene, GpuPass::SceneFloor);
        result.blurToFloor = against(GpuPass::Blur, GpuPass::BlurFloor);
        result.blurToGaussian = against(GpuPass::Blur, GpuPass::GaussianBlur);
        SampleStatistics floorSums(frame.count());
        for (std::size_t i = 0; i < gpuPasses[kGpuPassCount].count(); ++i) {
            double sum = 0.0;
            for (const GpuPass pass : {GpuPass::ShadowFloor, GpuPass::SceneFloor, GpuPass::BlurFloor,
                                       GpuPass::Particles, GpuPass::Composition, GpuPass::Overlays})
                sum += i < gpuPass(pass).count() ? gpuPass(pass).samples()[i] : 0.0;
            floorSums.add(sum);
        }
        result.floorSum = floorSums.median();
        result.frameToFloors = medianRatio(frame, floorSums);
    }
    result.frameSpread = ratio(frame.percentile(95.0), frame.median());
    result.startupToFloor = ratio(startup.total(), startupFloor);
    return result;
}

void BenchReport::print(std::ostream& out) const
{
    out << "Bench: " << frame.count() << " frames at " << setting.width << "x" << setting.height << ", " << std::fixed
        << std::setprecision(2) << setting.from << " s to " << setting.to << " s of demo time, " << setting.renderer
        << '\n';
    out << "  " << std::left << std::setw(24) << "milliseconds" << std::right << std::setw(10) << "median"
        << std::setw(10) << "p95" << '\n';
    for (int i = 0; i < kGpuPassCount; ++i) {
        const std::string label = std::string("GPU ") + gpuPassName(static_cast<GpuPass>(i));
        printRow(out, label.c_str(), gpuPasses[i]);
    }
    printRow(out, "GPU passes together", gpuPassSum);
    printRow(out, "GPU whole frame", gpuFrame);
    printRow(out, "CPU update", update);
    printRow(out, "CPU particle read-backs", readback);
    printRow(out, "frame (wall clock)", frame);
    if (blackFrame.count() > 0 && pictureFrame.count() > 0)
        out << std::fixed << std::setprecision(1) << "  " << blackFrame.count() << " frames under a fade of 0, median "
            << blackFrame.median() << " ms; " << pictureFrame.count() << " with a picture, median "
            << pictureFrame.median() << " ms; black / picture " << std::setprecision(3)
            << ratio(blackFrame.median(), pictureFrame.median()) << '\n';
    out << std::fixed << std::setprecision(1) << "  start-up: overlays " << startup.overlays << " ms, model import "
        << startup.modelImport << " ms, textures " << startup.textures << " ms, rest " << startup.rest << " ms, total "
        << startup.total() << " ms\n";
    if (startupFloor > 0.0)
        out << "  start-up floor (import and texture decodes alone): " << startupFloor << " ms, start-up "
            << std::setprecision(2) << ratios().startupToFloor << " x floor\n";
    if (hasReferences())
        printReferences(out);
    if (gpuStalls > 0)
        out << "  (" << gpuStalls << " frames waited for their GPU timings)\n";
}

void BenchReport::printReferences(std::ostream& out) const
{
    out << "Reference passes, same run, same targets and frames:\n";
    for (int i = kGpuPassCount; i < kGpuPassCountWithReferences; ++i) {
        const std::string label = std::string("GPU ") + gpuPassName(static_cast<GpuPass>(i));
        printRow(out, label.c_str(), gpuPasses[i]);
    }
    const Ratios r = ratios();
    out << std::fixed << std::setprecision(2) << "Ratios (median of the frames' own ratios):\n"
        << "  shadow / shadow floor      " << std::setw(8) << r.shadowToFloor << '\n'
        << "  scene / scene floor        " << std::setw(8) << r.sceneToFloor << '\n'
        << "  blur / blur floor          " << std::setw(8) << r.blurToFloor << '\n'
        << "  blur / 9-tap gaussian      " << std::setw(8) << r.blurToGaussian << '\n'
        << "  frame / sum of floors      " << std::setw(8) << r.frameToFloors << "   (floors " << std::setprecision(1)
        << r.floorSum << " ms)\n"
        << std::setprecision(2) << "  frame p95 / median         " << std::setw(8) << r.frameSpread << '\n';
}

std::string BenchReport::json() const
{
    nlohmann::ordered_json out;
    out["renderer"] = setting.renderer;
    out["width"] = setting.width;
    out["height"] = setting.height;
    out["fps"] = rounded(setting.fps);
    out["from"] = rounded(setting.from);
    out["to"] = rounded(setting.to);
    out["frames"] = frame.count();
    out["gpu_stalls"] = gpuStalls;
    nlohmann::ordered_json& gpu = out["gpu_ms"];
    for (int i = 0; i < kGpuPassCount; ++i)
        gpu[gpuPassName(static_cast<GpuPass>(i))] = summary(gpuPasses[i]);
    gpu["passes"] = summary(gpuPassSum);
    gpu["frame"] = summary(gpuFrame);
    out["cpu_ms"] = {{"update", summary(update)}, {"particle_readback", summary(readback)}};
    out["frame_ms"] = summary(frame);
    out["black_frame_ms"] = summary(blackFrame);
    out["picture_frame_ms"] = summary(pictureFrame);
    if (hasReferences()) {
        nlohmann::ordered_json& references = out["reference_gpu_ms"];
        for (int i = kGpuPassCount; i < kGpuPassCountWithReferences; ++i)
            references[gpuPassName(static_cast<GpuPass>(i))] = summary(gpuPasses[i]);
        const Ratios r = ratios();
        out["ratios"] = {
            {"shadow_to_floor", rounded(r.shadowToFloor)},   {"scene_to_floor", rounded(r.sceneToFloor)},
            {"blur_to_floor", rounded(r.blurToFloor)},       {"blur_to_gaussian", rounded(r.blurToGaussian)},
            {"floor_sum_ms", rounded(r.floorSum)},           {"frame_to_floors", rounded(r.frameToFloors)},
            {"frame_p95_to_median", rounded(r.frameSpread)}, {"startup_to_floor", rounded(r.startupToFloor)}};
    }
    out["startup_floor_ms"] = rounded(startupFloor);
    out["startup_ms"] = {{"overlays", rounded(startup.overlays)},
                         {"model_import", rounded(startup.modelImport)},
                         {"textures", rounded(startup.textures)},
                         {"rest", rounded(startup.rest)},
                         {"total", rounded(startup.total())}};
    // A renderer's name that is not UTF-8 is written with replacement
    // characters rather than refused.
    return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

bool BenchReport::writeJson(const std::string& path, std::string& error) const
{
    return writeWholeFile(path, json(), error);
}

}  // namespace tolvane
