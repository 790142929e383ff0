#pragma once

#include "base/PngFile.h"
#include "capture/ContactSheet.h"
#include "capture/FrameImage.h"
#include "capture/VideoEncoder.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tolvane {

class CaptureOptions;

// Where a capture's pictures go: PNG frames, the video, the contact sheet,
// the loading screen and the soak census. The first failure to write is
// reported in one line naming the file and its cause; after it nothing more
// is kept, and neither a video nor a sheet of part of the film is made under
// the name of the whole.
class CaptureOutputs {
public:
    explicit CaptureOutputs(const CaptureOptions& options);
    ~CaptureOutputs();

    CaptureOutputs(const CaptureOutputs&) = delete;
    CaptureOutputs& operator=(const CaptureOutputs&) = delete;

    // Before anything is played: the tools the outputs need (ffmpeg for a
    // video) and the frames' folder. False with `error` when one is missing.
    bool prepare(std::string& error);
    // Once the picture size is known: the sheet and the video at `videoFps`.
    void open(int width, int height, double videoFps);

    // Reads the finished frame from the framebuffer and hands it to every
    // output; `frame` names its PNG file.
    void keep(long frame);
    // Writes `picture` (the loading screen) to the --loading-screen file.
    void writeLoadingScreen(const FrameImage& picture);
    // Appends a census row every ten seconds of demo time.
    void takeCensus(long frame, double fps);

    // Completes the video (with `musicFile` from `musicStart` seconds of
    // video time, or VideoEncoder::kNoMusic) and the sheet and names them on
    // the console. False when one of them could not be written; nothing is
    // completed after an earlier failure.
    bool finish(const std::string& musicFile, double musicStart);
    // After a signal or a failed write: removes the unfinished video.
    void abandon();

    bool failed() const { return failed_; }
    long keptFrames() const { return keptFrames_; }

private:
    void failWrite(const std::string& message);
    void closeCensus();

    const CaptureOptions& options_;
    FrameImage frameImage_;
    PngWriter pngWriter_;
    std::unique_ptr<ContactSheet> sheet_;
    std::unique_ptr<VideoEncoder> video_;
    std::FILE* census_ = nullptr;  // open while playing
    char framePath_[4096] = {};    // reused: keeping a frame allocates nothing
    long keptFrames_ = 0;
    bool failed_ = false;
};

// One line on standard error, the capture's name first.
void reportCaptureProblem(const std::string& message);

}  // namespace tolvane
