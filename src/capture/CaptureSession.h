#pragma once

#include "app/Frame.h"
#include "base/CpuProfiler.h"
#include "capture/BenchReport.h"
#include "capture/CaptureOptions.h"
#include "capture/CaptureOutputs.h"
#include "capture/EglContext.h"
#include "capture/FrameSchedule.h"
#include "capture/ProgressBar.h"

#include <chrono>
#include <memory>

namespace tolvane {

class BenchRecorder;

// One run of tolvane-capture: the demo's own start-up, scene build, update
// and rendering, in a hidden window or through EGL without any window
// system, driven by a FixedStepClock. The FrameSchedule says which frames
// are played, drawn and kept; CaptureOutputs writes what is kept; a
// BenchRecorder times the frames under --bench. The session only plays:
// what the timeline did it learns through the timeline's own questions.
// Runs from the demo's run directory, like the demo.
class CaptureSession : private FrameObserver {
public:
    explicit CaptureSession(CaptureOptions options);
    ~CaptureSession() override;

    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // Plays and writes everything asked for; returns the process exit code:
    // 0, 1 when an output could not be written whole, 2 when no context can
    // be made, a tool is missing or the driver cannot complete a render
    // target, 128 + the signal when SIGINT or SIGTERM stopped it.
    int run();

private:
    using Clock = std::chrono::steady_clock;

    bool openContext();
    void startDemo();
    void captureLoadingScreen();
    void playFrames();
    void playFrame(long frame);
    bool drawsFrame() override;
    void frameUpdated() override;
    void frameDrawn() override;
    void watchTimeline(long frame);
    bool finish();
    bool stopped();
    long stepsOfTheFilm() const;
    const char* incompleteTarget() const;

    CaptureOptions options_;
    std::unique_ptr<EglContext> eglContext_;   // null when a GLFW window draws
    std::unique_ptr<FrameSchedule> schedule_;  // once the frame rate is known
    CaptureOutputs outputs_;
    std::unique_ptr<BenchRecorder> bench_;  // --bench only
    CpuProfiler cpuProfiler_;
    BenchReport::Startup startupTimes_;
    ProgressBar progress_;
    double fps_ = 0.0;            // frames per demo second, once the renderer is known
    double musicSeconds_ = -1.0;  // length of the music file; negative when unknown
    long playing_ = 0;            // the frame runFrame is playing
    long playedFrames_ = 0;
    bool timed_ = false;  // the frame being played is timed
};

}  // namespace tolvane
