#include "bench/BenchRun.h"

#include "app/Application.h"
#include "base/FileWrite.h"
#include "base/GlObject.h"
#include "bench/BenchOptions.h"
#include "bench/ResidentMemory.h"
#include "render/Renderer.h"
#include "scene/PerspectiveCamera.h"

#include <algorithm>
#include <cmath>

namespace tolvane {

BenchRun::BenchRun(const BenchOptions& options) : options_(options) {}

BenchRun::~BenchRun()
{
    if (census_ != nullptr)
        std::fclose(census_);
}

bool BenchRun::prepare(std::string&)
{
    return true;
}

void BenchRun::started(const SessionStart& start)
{
    schedule_ = start.schedule;
    BenchReport::Setting setting;
    setting.renderer = start.renderer;
    setting.width = start.width;
    setting.height = start.height;
    setting.fps = start.fps;
    setting.from = options_.session.from;
    const long first = schedule_->firstFrame();
    const long end = schedule_->endFrame();
    recorder_ =
        std::make_unique<BenchRecorder>(options_, *start.cpu, start.startup, setting, end > first ? end - first : 1000);
}

void BenchRun::beginFrame()
{
    recorder_->beginFrame();
}

void BenchRun::frameUpdated()
{
    recorder_->frameUpdated();
}

void BenchRun::endFrame(bool black)
{
    recorder_->endFrame(black);
    recorder_->drawReferences(*demo.renderer, View{demo.scene, demo.camera});
}

void BenchRun::played(long frame, bool drawn)
{
    if (drawn)
        takeCensus(frame);
}

// One row every ten seconds of demo time: a soak run reads growth off it.
void BenchRun::takeCensus(long frame)
{
    const double fps = schedule_->fps();
    const long interval = std::max(std::lround(10.0 * fps), 1L);
    if (options_.censusFile.empty() || frame % interval != 0 || failed_)
        return;
    if (census_ == nullptr) {
        census_ = std::fopen(options_.censusFile.c_str(), "w");
        if (census_ == nullptr) {
            failWrite(systemError(options_.censusFile));
            return;
        }
        std::fputs("seconds rss_kb", census_);
        for (int kind = 0; kind < kGlKindCount; ++kind)
            std::fprintf(census_, " %s", glKindName(static_cast<GlKind>(kind)));
        std::fputs(" total\n", census_);
    }
    // The owners' own counts: exact, and cheap enough for every row.
    const GlObjectCounts counts = glObjectCounts();
    std::fprintf(census_, "%.1f %ld", static_cast<double>(frame) / fps, residentKilobytes());
    for (int kind = 0; kind < kGlKindCount; ++kind)
        std::fprintf(census_, " %d", counts.live(static_cast<GlKind>(kind)));
    std::fprintf(census_, " %d\n", counts.totalLive());
    if (std::fflush(census_) != 0 || std::ferror(census_)) {
        failWrite(systemError(options_.censusFile));
        std::fclose(census_);
        census_ = nullptr;
        removeRegularFile(options_.censusFile);
    }
}

void BenchRun::closeCensus()
{
    if (census_ != nullptr && std::fclose(census_) != 0) {
        failWrite(systemError(options_.censusFile));
        removeRegularFile(options_.censusFile);
    }
    census_ = nullptr;
}

void BenchRun::failWrite(const std::string& message)
{
    if (!failed_)
        reportProblem("cannot write " + message);
    failed_ = true;
}

bool BenchRun::finish()
{
    closeCensus();
    if (failed_)
        return false;
    const bool ok = recorder_->finish(static_cast<double>(schedule_->endFrame()) / schedule_->fps());
    recorder_.reset();
    return ok;
}

std::string BenchRun::abandon()
{
    closeCensus();
    recorder_.reset();
    return "; no report was made";
}

}  // namespace tolvane
