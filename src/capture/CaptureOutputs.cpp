#include "capture/CaptureOutputs.h"

#include "app/Application.h"
#include "app/Overlays.h"
#include "base/ContentLayout.h"
#include "base/GlObject.h"
#include "capture/CaptureOptions.h"
#include "session/ExternalProgram.h"

#include <GL/glew.h>

#include <filesystem>
#include <iostream>

namespace tolvane {

CaptureOutputs::CaptureOutputs(const CaptureOptions& options) : options_(options) {}

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

bool CaptureOutputs::watchesLoading() const
{
    return !options_.loadingFile.empty();
}

// The loading screen is drawn by the demo's own code into a framebuffer of
// ours: its buffer swap then presents nothing that matters, and the picture
// can be read back afterwards.
void CaptureOutputs::loadingScreen()
{
    const int width = demo.settings.width;
    const int height = demo.settings.height;
    GlFramebuffer framebuffer;
    GlRenderbuffer colour;
    glBindRenderbuffer(GL_RENDERBUFFER, colour.name());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour.name());
    showLoadingMessage("Please wait...");
    FrameImage loading(width, height);
    loading.readFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    std::string error;
    if (!pngWriter_.write(loading.rows(), options_.loadingFile, error))
        failWrite(error);
}

void CaptureOutputs::started(const SessionStart& start)
{
    schedule_ = start.schedule;
    fps_ = start.fps;
    frameImage_.resize(start.width, start.height);
    if (!options_.sheetFile.empty())
        sheet_ = std::make_unique<ContactSheet>(start.width, start.height);
    if (options_.videoFile.empty())
        return;
    video_ = std::make_unique<VideoEncoder>();
    std::string error;
    if (!video_->open(options_.videoFile, start.width, start.height, start.fps / options_.session.every, error)) {
        reportProblem(error);
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
    if (video_ != nullptr && cover_.pixels.empty() && static_cast<double>(frame) >= kCoverSeconds * fps_)
        cover_ = frameImage_;
}

// One line for the first failure: the capture stops there, and what
// follows from it (a missing video or sheet) needs no more lines.
void CaptureOutputs::failWrite(const std::string& message)
{
    if (!failed_)
        reportProblem("cannot write " + message);
    failed_ = true;
}

bool CaptureOutputs::finish()
{
    if (failed_)
        return false;
    bool ok = true;
    std::string error;
    if (video_ != nullptr) {
        const double musicStart =
            schedule_->musicFrame() >= 0 ? schedule_->musicStartInVideo() : VideoEncoder::kNoMusic;
        const FrameImage* cover = !cover_.pixels.empty() ? &cover_ : keptFrames_ > 0 ? &frameImage_ : nullptr;
        ok = video_->close(content::kMusicFile, musicStart, cover, error);
        if (ok)
            std::cout << "Video: " << options_.videoFile << std::endl;
        else
            reportProblem("cannot write " + error);
    }
    if (sheet_ != nullptr) {
        if (sheet_->write(options_.sheetFile, error)) {
            std::cout << "Contact sheet: " << options_.sheetFile << std::endl;
        } else {
            reportProblem("cannot write " + error);
            ok = false;
        }
    }
    if (!options_.outDirectory.empty())
        std::cout << "Frames: " << keptFrames_ << " in " << options_.outDirectory << std::endl;
    return ok;
}

std::string CaptureOutputs::abandon()
{
    if (video_ != nullptr)
        video_->abandon();
    video_.reset();
    std::string kept;
    if (!options_.outDirectory.empty())
        kept = "; the " + std::to_string(keptFrames_) + " frames in " + options_.outDirectory + " are complete";
    return kept + "; no video or contact sheet was made";
}

}  // namespace tolvane
