#pragma once

#include "base/PngFile.h"
#include "capture/ContactSheet.h"
#include "capture/FrameImage.h"
#include "capture/VideoEncoder.h"
#include "session/PlaySession.h"

#include <memory>
#include <string>

namespace tolvane {

struct CaptureOptions;

// Where a capture's pictures go: PNG frames, the video, the contact sheet
// and the loading screen. The first failure to write is reported in one
// line naming the file and its cause; after it nothing more is kept, and
// neither a video nor a sheet of part of the film is made under the name of
// the whole.
class CaptureOutputs : public SessionListener {
public:
    explicit CaptureOutputs(const CaptureOptions& options);

    // The tools the outputs need (ffmpeg for a video) and the frames' folder.
    bool prepare(std::string& error) override;
    bool watchesLoading() const override;
    // Draws the loading screen into a framebuffer of ours and writes it.
    void loadingScreen() override;
    // Opens the sheet and the video at the picture's size.
    void started(const SessionStart& start) override;
    // Reads the finished frame from the framebuffer and hands it to every
    // output; `frame` names its PNG file.
    void keep(long frame) override;
    bool failed() const override { return failed_; }
    // Completes the video (with the music from where it started) and the
    // sheet and names them on the console; nothing is completed after an
    // earlier failure.
    bool finish() override;
    // Removes the unfinished video.
    std::string abandon() override;

    long keptFrames() const { return keptFrames_; }

    // The video's cover: the first frame kept at or after this demo time,
    // the camp fire burning in the last flight; a shorter capture takes its
    // last frame.
    static constexpr double kCoverSeconds = 75.0;

private:
    void failWrite(const std::string& message);

    const CaptureOptions& options_;
    const FrameSchedule* schedule_ = nullptr;
    FrameImage frameImage_;
    FrameImage cover_;  // empty until the cover frame is kept
    double fps_ = 0.0;
    PngWriter pngWriter_;
    std::unique_ptr<ContactSheet> sheet_;
    std::unique_ptr<VideoEncoder> video_;
    char framePath_[4096] = {};  // reused: keeping a frame allocates nothing
    long keptFrames_ = 0;
    bool failed_ = false;
};

}  // namespace tolvane
