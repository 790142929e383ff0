#pragma once

#include "app/Frame.h"
#include "base/CpuProfiler.h"
#include "base/GpuProfiler.h"
#include "capture/BenchReport.h"
#include "capture/CaptureOptions.h"
#include "capture/ContactSheet.h"
#include "capture/EglContext.h"
#include "capture/FrameImage.h"
#include "capture/PngWriter.h"
#include "capture/ProgressBar.h"
#include "capture/ReferencePasses.h"
#include "capture/VideoEncoder.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {

// One run of tolvane-capture: the demo's own start-up, scene build, update
// and rendering, in a hidden window or through EGL without any window
// system, driven by a FixedStepClock; frame n is drawn at n / fps seconds
// of demo time (0 = loading finished). Every frame from 0 on is updated, so
// a stretch later in the film looks exactly as it does in a whole run; only
// the frames from `from` to `to` (or those --at names) are kept or timed,
// and frames well before them are not drawn.
// Runs from the demo's run directory, like the demo.
class CaptureSession : private FrameObserver {
public:
    explicit CaptureSession(const CaptureOptions& options);
    ~CaptureSession();

    // Plays and writes everything asked for; returns the process exit code:
    // 0, 1 when an output could not be written whole, 128 + the signal when
    // SIGINT or SIGTERM stopped it.
    int run();

    // Playing to the end of the film stops this long after the music has
    // ended (the credits stay up meanwhile), and never sooner than
    // kCreditsHold after the film's last step (without music, only that).
    static constexpr double kAfterMusic = 1.0;
    static constexpr double kCreditsHold = 4.0;
    // Frames drawn before a kept frame so that it starts from settled GL state.
    static constexpr long kWarmUpFrames = 2;

private:
    using Clock = std::chrono::steady_clock;

    bool keeps(long frame) const;
    bool draws(long frame) const;
    bool checkTools();
    bool openContext();
    void startDemo();
    void captureLoadingScreen();
    void prepareOutputs();
    void playFrames();
    void playFrame(long frame);
    bool drawsFrame() override;
    void frameUpdated() override;
    void frameDrawn() override;
    void keepFrame(long frame);
    void measureFrame(Clock::time_point frameStart, Clock::time_point updateEnd);
    void drawReferencePasses();
    void watchTimeline(long frame);
    void takeCensus(long frame);
    long estimateFilmFrames() const;
    long framesAfterMusicStart() const;
    bool finishOutputs();
    bool abandonOutputs();
    void failWrite(const std::string& message);
    static double milliseconds(Clock::time_point from, Clock::time_point to);

    CaptureOptions options;
    std::unique_ptr<EglContext> eglContext;  // null when a GLFW window draws
    std::vector<long> chosenFrames;          // --at, ascending; empty = a range
    long firstFrame = 0;
    long endFrame = -1;          // first frame not played; -1 until known
    long musicFrame = -1;        // frame whose update started the music
    double musicSeconds = -1.0;  // length of the music file; negative when unknown
    long keptFrames = 0;
    long playedFrames = 0;
    BenchReport::Startup startupTimes;
    bool writeFailed = false;

    FrameImage frameImage;
    PngWriter pngWriter;
    std::unique_ptr<ContactSheet> sheet;
    std::unique_ptr<VideoEncoder> video;
    std::unique_ptr<BenchReport> report;
    std::unique_ptr<GpuProfiler> gpuProfiler;
    std::unique_ptr<ReferencePasses> referencePasses;  // --reference only
    std::unique_ptr<GpuProfiler> referenceProfiler;    // times referencePasses
    CpuProfiler cpuProfiler;
    ProgressBar progress;
    Clock::time_point playStart;
    long playing = 0;              // the frame runFrame is playing
    Clock::time_point frameStart;  // when that frame began
    Clock::time_point updateEnd;   // when its update ended
    char framePath[4096] = {};
    FILE* census = nullptr;  // the --census table, open while playing
};

}  // namespace tolvane
