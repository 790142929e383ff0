#include "session/PlaySession.h"

#include "app/Application.h"
#include "app/SoundEngine.h"
#include "app/StopSignals.h"
#include "app/Timeline.h"
#include "base/Clock.h"
#include "base/ContentLayout.h"
#include "render/ODShadowMap.h"
#include "render/Renderer.h"
#include "render/SceneContext.h"
#include "scene/CameraPath.h"
#include "session/FixedStepClock.h"

#include <GL/glew.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace tolvane {

const char* programName = "tolvane";

void reportProblem(const std::string& message)
{
    std::cerr << programName << ": " << message << std::endl;
}

namespace {

double milliseconds(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

PlaySession::PlaySession(SessionOptions options, SessionListener& listener) :
    options_(std::move(options)),
    listener_(listener),
    progress_(stderr)
{
}

PlaySession::~PlaySession()
{
    CpuProfiler::active = nullptr;
}

int PlaySession::run()
{
    std::string error;
    if (!listener_.prepare(error)) {
        reportProblem(error);
        return 2;
    }
    if (!openContext())
        return 2;
    startDemo();
    const char* incomplete = incompleteTarget();
    if (incomplete != nullptr) {
        reportProblem(std::string("cannot draw the film here: ") + incomplete +
                      " is incomplete on this driver, every frame would be black");
        listener_.abandon();
    } else {
        playFrames();
    }
    const bool written = incomplete == nullptr && finish();
    CpuProfiler::active = nullptr;
    shutDown();
    demo.glContext = nullptr;
    eglContext_.reset();
    if (stopSignal() != 0)
        return 128 + stopSignal();
    if (incomplete != nullptr)
        return 2;
    return written ? 0 : 1;
}

// The renderer's targets and the shadow maps, as the driver judged them.
const char* PlaySession::incompleteTarget() const
{
    if (const char* target = demo.renderer->incompleteTarget())
        return target;
    const SceneContext* context = SceneContext::current();
    if (context == nullptr)
        return nullptr;
    for (const ODShadowMap* shadowMap : context->shadowMaps)
        if (!shadowMap->complete())
            return "a shadow map's framebuffer";
    return nullptr;
}

// Without a window system the film is drawn through EGL; otherwise the demo's
// start-up opens a hidden GLFW window.
bool PlaySession::openContext()
{
    if (!options_.drawsWithEgl(std::getenv("DISPLAY"))) {
        demo.windowRequest.visible = false;
        return true;
    }
    eglContext_ = std::make_unique<EglContext>();
    std::string error;
    if (!eglContext_->open(error)) {
        reportProblem(error);
        eglContext_.reset();
        return false;
    }
    demo.glContext = eglContext_.get();
    return true;
}

// The demo's start-up, timed piece by piece, with the clock standing still:
// loading takes no demo time, so the first frame sees a frameDelta of 0.
void PlaySession::startDemo()
{
    // Sound is decoded and mixed as in the demo, but nothing is heard.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    demo.windowRequest.width = options_.width;
    demo.windowRequest.height = options_.height;
    // Loading takes no demo time: every reading is 0 until the first frame,
    // whatever the step, which is known only once the renderer is.
    FixedStepClock::configure(SessionOptions::kDesktopFps);
    timeSource = &FixedStepClock::now;
    CpuProfiler::active = &cpuProfiler_;

    const Clock::time_point begin = Clock::now();
    if (listener_.watchesLoading())
        startUp([this] { listener_.loadingScreen(); });
    else
        startUp();
    SessionStart start;
    start.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    start.fps = options_.fpsOn(start.renderer);
    FixedStepClock::configure(start.fps);
    std::cout << "Rendering with " << start.renderer << " by " << reinterpret_cast<const char*>(glGetString(GL_VENDOR))
              << " through " << activeGlContext().describe() << ", " << start.fps << " frames a second" << std::endl;
    demo.renderer->skipsBlackFrames = !options_.everyPass;
    musicSeconds_ = SoundEngine::lengthOf(content::kMusicFile);
    if (options_.fire)
        setFires(true);

    StartupTimes& startup = start.startup;
    startup.overlays = cpuProfiler_.total(CpuSection::Overlays);
    startup.modelImport = cpuProfiler_.total(CpuSection::ModelImport);
    startup.textures = cpuProfiler_.total(CpuSection::Textures);
    startup.rest = milliseconds(begin, Clock::now()) - startup.overlays - startup.modelImport - startup.textures;
    cpuProfiler_.reset();

    schedule_ = std::make_unique<FrameSchedule>(options_, start.fps);
    start.width = demo.settings.width;
    start.height = demo.settings.height;
    start.schedule = schedule_.get();
    start.cpu = &cpuProfiler_;
    listener_.started(start);
}

// Besides one step per event: the start, four path switches and the final step.
long PlaySession::stepsOfTheFilm() const
{
    long events = 0;
    for (const CameraPath* path : demo.objects.cameraPaths)
        events += path != nullptr ? static_cast<long>(path->events.size()) : 0;
    return events + 6;
}

void PlaySession::playFrames()
{
    const Clock::time_point start = Clock::now();
    progress_.setTotal(static_cast<int>(schedule_->estimatedEnd(stepsOfTheFilm(), musicSeconds_)));
    long frame = 0;
    // A signal clears `running`; after a failed write nothing more can be kept.
    for (; demo.running && !listener_.failed() && schedule_->plays(frame); ++frame) {
        playFrame(frame);
        if (!options_.quiet)
            progress_.update(static_cast<int>(frame + 1), milliseconds(start, Clock::now()) / 1000.0);
    }
    if (schedule_->pastLongest(frame))
        reportProblem("the film did not end within an hour of demo time; stopping");
    if (!options_.quiet)
        progress_.finish(static_cast<int>(frame), milliseconds(start, Clock::now()) / 1000.0);
    playedFrames_ = frame;
}

void PlaySession::playFrame(long frame)
{
    FixedStepClock::setFrame(frame);
    playing_ = frame;
    const bool drawn = schedule_->draws(frame);
    timed_ = drawn && frame >= schedule_->firstFrame();
    cpuProfiler_.reset();
    if (timed_)
        listener_.beginFrame();
    runFrame(this);
    if (timed_)
        listener_.endFrame(demo.renderer->fade == 0.0f);
    watchTimeline(frame);
    listener_.played(frame, drawn);
}

bool PlaySession::drawsFrame()
{
    return schedule_->draws(playing_);
}

void PlaySession::frameUpdated()
{
    if (timed_)
        listener_.frameUpdated();
}

void PlaySession::frameDrawn()
{
    if (schedule_->keeps(playing_))
        listener_.keep(playing_);
}

void PlaySession::watchTimeline(long frame)
{
    if (timelineBegun())
        schedule_->musicStarted(frame);
    if (timelineFinished() && schedule_->endFrame() < 0) {
        schedule_->filmEnded(frame, musicSeconds_);
        progress_.setTotal(static_cast<int>(schedule_->endFrame()));
    }
}

// After a signal or a failed write the results would show only part of the
// film under the name of the whole, so none is made; what was written
// already is each complete.
bool PlaySession::stopped()
{
    const std::string kept = listener_.abandon();
    const int signal = stopSignal();
    if (signal == 0)
        return false;
    reportProblem(std::string("stopped by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM") + " after " +
                  std::to_string(playedFrames_) + " frames" + kept);
    return false;
}

bool PlaySession::finish()
{
    if (listener_.failed() || stopSignal() != 0)
        return stopped();
    return listener_.finish();
}

}  // namespace tolvane
