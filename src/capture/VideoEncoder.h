#pragma once

#include "session/ExternalProgram.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {

class FrameImage;
class FrameQueue;

// Turns captured frames into an H.264 video (yuv420p, playable everywhere)
// with the demo's music. Frames are piped raw into ffmpeg from a thread of
// their own while the next frame is drawn; ffmpeg writes a silent video
// beside the target, and close() then muxes the music in, shifted to the
// moment the timeline started it, which is only known once the capture has
// played that far. An MP4 gets its index in front, so that a player starts
// before the whole file has arrived.
//
// ffmpeg's output is kept in memory (a full disk could not hold it) and
// written to a log file beside the target only when something fails. Every
// error names the target and the cause: the system's or the one ffmpeg gave.
class VideoEncoder {
public:
    // No music start seen: the video stays silent.
    static constexpr double kNoMusic = -1.0e300;
    // Frames read back and waiting for ffmpeg, at most.
    static constexpr std::size_t kQueuedFrames = 3;

    VideoEncoder();
    ~VideoEncoder();

    // Checks that the target can be written (its folder exists, it is no
    // folder, the file system lets a file be made there) and starts ffmpeg
    // for frames of width x height pixels at `fps`. Returns false with
    // `error` set to one whole line, "cannot write TARGET: cause" or why
    // ffmpeg cannot be run.
    bool open(const std::string& path, int width, int height, double fps, std::string& error);

    // Queues one frame (rows flipped to top-down on the way). Returns false
    // when ffmpeg has stopped accepting frames; failure() then says why.
    bool addFrame(const FrameImage& frame);
    // Why addFrame() refused a frame, as "TARGET: cause, see LOG".
    const std::string& failure() const { return refusal; }

    // Ends the video. `musicStart` is the video time in seconds at which the
    // music starts (negative when it started before the first frame), or
    // kNoMusic. Returns false with `error` set, as "TARGET: cause", when
    // ffmpeg fails or leaves an incomplete file; the video and its temporary
    // file are then removed.
    bool close(const std::string& musicFile, double musicStart, std::string& error);

    // Gives up an unfinished video (an interrupted or failed capture): stops
    // ffmpeg and removes what it wrote, so no partial film is left behind
    // (ffmpeg's log stays when ffmpeg itself failed).
    void abandon();

    // The reason ffmpeg's output gives for failing to write `file` ("No
    // space left on device"), or "" when it gives none.
    static std::string causeInLog(const std::string& log, const std::string& file);

private:
    // The ffmpeg command lines. With kNoMusic the second pass only copies
    // the video into the target.
    static std::vector<std::string> encodeArguments(const std::string& silentFile, int width, int height, double fps);
    static std::vector<std::string> muxArguments(const std::string& silentFile, const std::string& musicFile,
                                                 double musicStart, const std::string& path);

    bool finishEncoding(std::string& error);
    void stopTakingFrames();
    std::string explain(const std::string& file, const std::string& fallback);
    std::string keepLog();
    void discard();

    ExternalProgram ffmpeg;
    std::unique_ptr<FrameQueue> queue;
    int encodeExit = -1;     // ffmpeg's exit code once it has finished
    std::string path;        // the video the caller asked for
    std::string silentFile;  // ffmpeg's first output, without sound
    std::string logFile;
    std::string log;  // what both ffmpeg runs printed
    std::string refusal;
};

}  // namespace tolvane
