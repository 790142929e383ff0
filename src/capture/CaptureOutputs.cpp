#include "capture/CaptureOutputs.h"

#include "base/GlObject.h"
#include "capture/CaptureOptions.h"
#include "capture/ExternalProgram.h"
#include "capture/OutputFile.h"
#include "capture/ResidentMemory.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace tolvane {

void reportCaptureProblem(const std::string& message)
{
    std::cerr << "tolvane-capture: " << message << std::endl;
}

CaptureOutputs::CaptureOutputs(const CaptureOptions& options) : options_(options) {}

CaptureOutputs::~CaptureOutputs()
{
    if (census_ != nullptr)
        std::fclose(census_);
}

bool CaptureOutputs::prepare(std::string& error)
{
    if (!options_.videoFile.empty() && !ExternalProgram::isInstalled("ffmpeg")) {
        error = "ffmpeg is not installed, so no video can be made (Debian package: ffmpeg); "
                "--out DIR and --sheet FILE work without it";
        return false;
    }
    if (!options_.outDirectory.empty()) {
        std::error_code cause;
        std::filesystem::create_directories(options_.outDirectory, cause);
        if (cause) {
            error = "cannot create " + options_.outDirectory + ": " + cause.message();
            return false;
        }
    }
    return true;
}

void CaptureOutputs::open(int width, int height, double videoFps)
{
    frameImage_.resize(width, height);
    if (!options_.sheetFile.empty())
        sheet_ = std::make_unique<ContactSheet>(width, height);
    if (options_.videoFile.empty())
        return;
    video_ = std::make_unique<VideoEncoder>();
    std::string error;
    if (!video_->open(options_.videoFile, width, height, videoFps, error)) {
        reportCaptureProblem(error);
        video_.reset();
        failed_ = true;
    }
}

void CaptureOutputs::keep(long frame)
{
    frameImage_.readFramebuffer();
    ++keptFrames_;
    if (!options_.outDirectory.empty()) {
        std::snprintf(framePath_, sizeof framePath_, "%s/frame-%06ld.png", options_.outDirectory.c_str(), frame);
        std::string error;
        if (!pngWriter_.write(frameImage_.rows(), framePath_, error))
            failWrite(error);
    }
    if (sheet_ != nullptr)
        sheet_->offer(frameImage_);
    if (video_ != nullptr && !video_->addFrame(frameImage_))
        failWrite(video_->failure());
}

void CaptureOutputs::writeLoadingScreen(const FrameImage& picture)
{
    std::string error;
    if (!pngWriter_.write(picture.rows(), options_.loadingFile, error))
        failWrite(error);
}

// One row every ten seconds of demo time: a soak run reads growth off it.
void CaptureOutputs::takeCensus(long frame, double fps)
{
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

// One line for the first failure: the capture stops there, and what
// follows from it (a missing video, sheet or report) needs no more lines.
void CaptureOutputs::failWrite(const std::string& message)
{
    if (!failed_)
        reportCaptureProblem("cannot write " + message);
    failed_ = true;
}

void CaptureOutputs::closeCensus()
{
    if (census_ != nullptr && std::fclose(census_) != 0) {
        failWrite(systemError(options_.censusFile));
        removeRegularFile(options_.censusFile);
    }
    census_ = nullptr;
}

bool CaptureOutputs::finish(const std::string& musicFile, double musicStart)
{
    closeCensus();
    if (failed_)
        return false;
    bool ok = true;
    std::string error;
    if (video_ != nullptr) {
        ok = video_->close(musicFile, musicStart, error);
        if (ok)
            std::cout << "Video: " << options_.videoFile << std::endl;
        else
            reportCaptureProblem("cannot write " + error);
    }
    if (sheet_ != nullptr) {
        if (sheet_->write(options_.sheetFile, error)) {
            std::cout << "Contact sheet: " << options_.sheetFile << std::endl;
        } else {
            reportCaptureProblem("cannot write " + error);
            ok = false;
        }
    }
    if (!options_.outDirectory.empty())
        std::cout << "Frames: " << keptFrames_ << " in " << options_.outDirectory << std::endl;
    return ok;
}

void CaptureOutputs::abandon()
{
    closeCensus();
    if (video_ != nullptr)
        video_->abandon();
    video_.reset();
}

}  // namespace tolvane
