#include "bench/BenchRecorder.h"

#include "base/ContentLayout.h"
#include "bench/BenchOptions.h"
#include "bench/FrameTimePlot.h"
#include "bench/StartupFloor.h"
#include "render/Renderer.h"
#include "session/PlaySession.h"

#include <GL/glew.h>

#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace tolvane {

BenchRecorder::BenchRecorder(const BenchOptions& options, CpuProfiler& cpu, const BenchReport::Startup& startup,
                             const BenchReport::Setting& setting, long frames) :
    options_(options),
    report_(static_cast<std::size_t>(frames > 0 ? frames : 1000)),
    cpu_(cpu)
{
    report_.startup = startup;
    report_.setting = setting;
    BenchReport* sink = &report_;
    gpu_ = std::make_unique<GpuProfiler>([sink](const GpuFrameTimes& times) { sink->addGpuFrame(times); });
    if (!options.reference)
        return;
    // Right after the start-up, so that both meet the same load.
    const std::vector<std::string> sceneTextures(std::begin(content::kSceneTextureFiles),
                                                 std::end(content::kSceneTextureFiles));
    report_.startupFloor = StartupFloor::measure(content::kModelFile, sceneTextures);
    referencePasses_ = std::make_unique<ReferencePasses>();
    referenceGpu_ =
        std::make_unique<GpuProfiler>([sink](const GpuFrameTimes& times) { sink->addReferenceFrame(times); });
}

BenchRecorder::~BenchRecorder()
{
    if (GpuProfiler::active == gpu_.get() || GpuProfiler::active == referenceGpu_.get())
        GpuProfiler::active = nullptr;
}

double BenchRecorder::milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void BenchRecorder::beginFrame()
{
    GpuProfiler::active = gpu_.get();
    gpu_->beginFrame();
    cpu_.reset();
    frameStart_ = Clock::now();
}

void BenchRecorder::frameUpdated()
{
    updateEnd_ = Clock::now();
}

void BenchRecorder::endFrame(bool black)
{
    gpu_->endFrame();
    gpu_->poll();
    report_.addCpuFrame(milliseconds(frameStart_, updateEnd_), cpu_.total(CpuSection::ParticleReadback),
                        milliseconds(frameStart_, Clock::now()), black);
}

void BenchRecorder::drawReferences(Renderer& renderer, const View& view)
{
    if (referencePasses_ == nullptr)
        return;
    GpuProfiler::active = referenceGpu_.get();
    referenceGpu_->beginFrame();
    referencePasses_->draw(renderer, view);
    referenceGpu_->endFrame();
    glFinish();
    referenceGpu_->poll();
    GpuProfiler::active = gpu_.get();
}

bool BenchRecorder::finish(double to)
{
    GpuProfiler::active = nullptr;
    gpu_->flush();
    report_.gpuStalls = gpu_->stalls();
    if (referenceGpu_ != nullptr)
        referenceGpu_->flush();
    report_.setting.to = to;
    report_.print(std::cout);
    bool ok = true;
    std::string error;
    if (!options_.jsonFile.empty() && !report_.writeJson(options_.jsonFile, error)) {
        reportProblem("cannot write " + error);
        ok = false;
    }
    if (!options_.plotFile.empty() && !FrameTimePlot::write(report_, options_.plotFile, error)) {
        reportProblem(error);
        ok = false;
    }
    return ok;
}

}  // namespace tolvane
