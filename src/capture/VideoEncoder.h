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
// played that far, together with the title, the artist and a cover picture
// that players and file managers show. An MP4 gets its index in front, so
// that a player starts before the whole file has arrived.
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
    // The film's tags in the file.
    static constexpr const char* kTitle = "Tolvane";
    static constexpr const char* kArtist = "The Tolvane developers";

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
    // kNoMusic. `cover`, when given, becomes the file's cover picture (a
    // cover that cannot be written is left out: it is no reason to lose the
    // film). Returns false with `error` set, as "TARGET: cause", when ffmpeg
    // fails or leaves an incomplete file; the video and its temporary files
    // are then removed.
    bool close(const std::string& musicFile, double musicStart, const FrameImage* cover, std::string& error);

    // Gives up an unfinished video (an interrupted or failed capture): stops
    // ffmpeg and removes what it wrote, so no partial film is left behind
    // (ffmpeg's log stays when ffmpeg itself failed).
    void abandon();

    // The reason ffmpeg's output gives for failing to write `file` ("No
    // space left on device"), or "" when it gives none.
    static std::string causeInLog(const std::string& log, const std::string& file);

private:
    // The ffmpeg command lines. With kNoMusic the second pass adds no sound;
    // with an empty `coverFile`, no cover.
    static std::vector<std::string> encodeArguments(const std::string& silentFile, int width, int height, double fps);
    struct MuxInputs {
        std::string silentFile;
        std::string musicFile;
        double musicStart = kNoMusic;  // video seconds
        std::string coverFile;         // empty: no cover
        double seconds = 0.0;          // the video's length
    };
    static std::vector<std::string> muxArguments(const MuxInputs& inputs, const std::string& path);

    bool finishEncoding(std::string& error);
    void stopTakingFrames();
    std::string explain(const std::string& file, const std::string& fallback);
    std::string keepLog();
    void discard();

    ExternalProgram ffmpeg;
    std::unique_ptr<FrameQueue> queue;
    int encodeExit = -1;     // ffmpeg's exit code once it has finished
    double frameRate = 0.0;  // frames a second of the video
    long framesQueued = 0;
    std::string path;        // the video the caller asked for
    std::string silentFile;  // ffmpeg's first output, without sound
    std::string coverFile;   // the cover picture while the second pass reads it
    std::string logFile;
    std::string log;  // what both ffmpeg runs printed
    std::string refusal;
};

}  // namespace tolvane
