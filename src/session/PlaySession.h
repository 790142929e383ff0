#pragma once

#include "app/Frame.h"
#include "base/CpuProfiler.h"
#include "session/EglContext.h"
#include "session/FrameSchedule.h"
#include "session/ProgressBar.h"
#include "session/SessionOptions.h"

#include <chrono>
#include <memory>
#include <string>

namespace tolvane {

// The start-up's breakdown in milliseconds, as the demo's profiler saw it.
struct StartupTimes {
    double overlays = 0.0;
    double modelImport = 0.0;  // without the textures it loads
    double textures = 0.0;     // every texture decoded and uploaded
    double rest = 0.0;         // window, renderer, shaders, lights, paths, sound
    double total() const { return overlays + modelImport + textures + rest; }
};

// What a session knows once the demo has started.
struct SessionStart {
    std::string renderer;  // GL_RENDERER
    int width = 0;         // pixels
    int height = 0;
    double fps = 0.0;  // frames per demo second
    const FrameSchedule* schedule = nullptr;
    CpuProfiler* cpu = nullptr;  // the profiler the demo's sections report to
    StartupTimes startup;
};

// What a program makes of the frames a session plays: pictures, timings,
// counts. Every call comes on the GL thread with the context current.
class SessionListener {
public:
    virtual ~SessionListener() = default;

    // Before anything is played: false with `error` when something the
    // outputs need is missing.
    virtual bool prepare(std::string& error) = 0;
    // True when the listener wants loadingScreen() called while the demo's
    // loading screen is up.
    virtual bool watchesLoading() const { return false; }
    virtual void loadingScreen() {}
    virtual void started(const SessionStart& start) = 0;
    // Around each frame of the range that is drawn: its start, the end of its
    // update, its end (`black` when drawn under a fade of 0).
    virtual void beginFrame() {}
    virtual void frameUpdated() {}
    virtual void endFrame(bool /*black*/) {}
    // A frame the schedule keeps is in the framebuffer.
    virtual void keep(long /*frame*/) {}
    // After every frame played.
    virtual void played(long /*frame*/, bool /*drawn*/) {}
    // True once a write has failed: nothing more is played.
    virtual bool failed() const { return false; }
    // The film was played to the end of the range (the schedule knows where
    // it ended and when the music started). False when a result could not be
    // written.
    virtual bool finish() = 0;
    // After a signal or a failure: nothing is completed. Returns what the
    // stop message adds ("; the 40 frames in out are complete").
    virtual std::string abandon() = 0;
};

// One run of the demo off-screen: its own start-up, scene build, update and
// rendering, in a hidden window or through EGL without any window system,
// driven by a FixedStepClock. The FrameSchedule says which frames are
// played, drawn and kept; the listener keeps or times them. The session
// only plays: what the timeline did it learns through the timeline's own
// questions. Runs from the demo's run directory, like the demo.
class PlaySession : private FrameObserver {
public:
    PlaySession(SessionOptions options, SessionListener& listener);
    ~PlaySession() override;

    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;

    // Plays and hands everything to the listener; returns the process exit
    // code: 0, 1 when an output could not be written whole, 2 when no
    // context can be made, a tool is missing or the driver cannot complete a
    // render target, 128 + the signal when SIGINT or SIGTERM stopped it.
    int run();

private:
    using Clock = std::chrono::steady_clock;

    bool openContext();
    void startDemo();
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

    SessionOptions options_;
    SessionListener& listener_;
    std::unique_ptr<EglContext> eglContext_;   // null when a GLFW window draws
    std::unique_ptr<FrameSchedule> schedule_;  // once the frame rate is known
    CpuProfiler cpuProfiler_;
    ProgressBar progress_;
    double musicSeconds_ = -1.0;  // length of the music file; negative when unknown
    long playing_ = 0;            // the frame runFrame is playing
    long playedFrames_ = 0;
    bool timed_ = false;  // the frame being played is in the range and drawn
};

// The name problems are reported under: the program's.
extern const char* programName;

// One line on standard error, the program's name first.
void reportProblem(const std::string& message);

}  // namespace tolvane
