#include "capture/CaptureSession.h"

#include "app/Application.h"
#include "app/Overlays.h"
#include "app/SoundEngine.h"
#include "app/StopSignals.h"
#include "app/Timeline.h"
#include "base/Clock.h"
#include "base/ContentLayout.h"
#include "base/GlObject.h"
#include "base/GpuProfiler.h"
#include "capture/BenchRecorder.h"
#include "capture/FixedStepClock.h"
#include "capture/FrameImage.h"
#include "render/ODShadowMap.h"
#include "render/Renderer.h"
#include "render/SceneContext.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"

#include <GL/glew.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace tolvane {

namespace {

double milliseconds(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

CaptureSession::CaptureSession(CaptureOptions options) :
    options_(std::move(options)),
    outputs_(options_),
    progress_(stderr)
{
}

CaptureSession::~CaptureSession()
{
    bench_.reset();
    CpuProfiler::active = nullptr;
}

int CaptureSession::run()
{
    std::string error;
    if (!outputs_.prepare(error)) {
        reportCaptureProblem(error);
        return 2;
    }
    if (!openContext())
        return 2;
    startDemo();
    const char* incomplete = incompleteTarget();
    if (incomplete != nullptr) {
        reportCaptureProblem(std::string("cannot draw the film here: ") + incomplete +
                             " is incomplete on this driver, every frame would be black");
        outputs_.abandon();
    } else {
        playFrames();
    }
    const bool written = incomplete == nullptr && finish();
    bench_.reset();
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
const char* CaptureSession::incompleteTarget() const
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
bool CaptureSession::openContext()
{
    if (!options_.drawsWithEgl(std::getenv("DISPLAY"))) {
        demo.windowRequest.visible = false;
        return true;
    }
    eglContext_ = std::make_unique<EglContext>();
    std::string error;
    if (!eglContext_->open(error)) {
        reportCaptureProblem(error);
        eglContext_.reset();
        return false;
    }
    demo.glContext = eglContext_.get();
    return true;
}

// The demo's start-up, timed piece by piece, with the clock standing still:
// loading takes no demo time, so the first frame sees a frameDelta of 0.
void CaptureSession::startDemo()
{
    // Sound is decoded and mixed as in the demo, but nothing is heard.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    demo.windowRequest.width = options_.width;
    demo.windowRequest.height = options_.height;
    // Loading takes no demo time: every reading is 0 until the first frame,
    // whatever the step, which is known only once the renderer is.
    FixedStepClock::configure(CaptureOptions::kDesktopFps);
    timeSource = &FixedStepClock::now;
    CpuProfiler::active = &cpuProfiler_;

    const Clock::time_point begin = Clock::now();
    if (options_.loadingFile.empty())
        startUp();
    else
        startUp([this] { captureLoadingScreen(); });
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    fps_ = options_.fpsOn(renderer);
    FixedStepClock::configure(fps_);
    std::cout << "Rendering with " << renderer << " by " << reinterpret_cast<const char*>(glGetString(GL_VENDOR))
              << " through " << activeGlContext().describe() << ", " << fps_ << " frames a second" << std::endl;
    demo.renderer->skipsBlackFrames = !options_.everyPass;
    musicSeconds_ = SoundEngine::lengthOf(content::kMusicFile);
    if (options_.fire)
        setFires(true);

    startupTimes_.overlays = cpuProfiler_.total(CpuSection::Overlays);
    startupTimes_.modelImport = cpuProfiler_.total(CpuSection::ModelImport);
    startupTimes_.textures = cpuProfiler_.total(CpuSection::Textures);
    startupTimes_.rest =
        milliseconds(begin, Clock::now()) - startupTimes_.overlays - startupTimes_.modelImport - startupTimes_.textures;
    cpuProfiler_.reset();

    schedule_ = std::make_unique<FrameSchedule>(options_, fps_);
    const int width = demo.settings.width;
    const int height = demo.settings.height;
    outputs_.open(width, height, fps_ / options_.every);
    if (options_.bench) {
        const long first = schedule_->firstFrame();
        const long end = schedule_->endFrame();
        BenchReport::Setting setting;
        setting.renderer = renderer;
        setting.width = width;
        setting.height = height;
        setting.fps = fps_;
        setting.from = options_.from;
        bench_ = std::make_unique<BenchRecorder>(options_, cpuProfiler_, startupTimes_, setting,
                                                 end > first ? end - first : 1000);
    }
}

// The loading screen is drawn by the demo's own code into a framebuffer of
// ours: its buffer swap then presents nothing that matters, and the picture
// can be read back afterwards.
void CaptureSession::captureLoadingScreen()
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
    outputs_.writeLoadingScreen(loading);
}

// Besides one step per event: the start, four path switches and the final step.
long CaptureSession::stepsOfTheFilm() const
{
    long events = 0;
    for (const CameraPath* path : demo.objects.cameraPaths)
        events += path != nullptr ? static_cast<long>(path->events.size()) : 0;
    return events + 6;
}

void CaptureSession::playFrames()
{
    const Clock::time_point start = Clock::now();
    progress_.setTotal(static_cast<int>(schedule_->estimatedEnd(stepsOfTheFilm(), musicSeconds_)));
    long frame = 0;
    // A signal clears `running`; after a failed write nothing more can be kept.
    for (; demo.running && !outputs_.failed() && schedule_->plays(frame); ++frame) {
        playFrame(frame);
        if (!options_.quiet)
            progress_.update(static_cast<int>(frame + 1), milliseconds(start, Clock::now()) / 1000.0);
    }
    if (schedule_->pastLongest(frame))
        reportCaptureProblem("the film did not end within an hour of demo time; stopping");
    if (!options_.quiet)
        progress_.finish(static_cast<int>(frame), milliseconds(start, Clock::now()) / 1000.0);
    playedFrames_ = frame;
}

void CaptureSession::playFrame(long frame)
{
    FixedStepClock::setFrame(frame);
    playing_ = frame;
    const bool drawn = schedule_->draws(frame);
    timed_ = drawn && bench_ != nullptr && frame >= schedule_->firstFrame();
    if (timed_)
        bench_->beginFrame();
    else
        cpuProfiler_.reset();
    runFrame(this);
    if (timed_) {
        bench_->endFrame(demo.renderer->fade == 0.0f);
        bench_->drawReferences(*demo.renderer, View{demo.scene, demo.camera});
    }
    watchTimeline(frame);
    if (drawn)
        outputs_.takeCensus(frame, schedule_->fps());
}

bool CaptureSession::drawsFrame()
{
    return schedule_->draws(playing_);
}

void CaptureSession::frameUpdated()
{
    if (timed_)
        bench_->frameUpdated();
}

void CaptureSession::frameDrawn()
{
    if (schedule_->keeps(playing_))
        outputs_.keep(playing_);
}

void CaptureSession::watchTimeline(long frame)
{
    if (timelineBegun())
        schedule_->musicStarted(frame);
    if (timelineFinished() && schedule_->endFrame() < 0) {
        schedule_->filmEnded(frame, musicSeconds_);
        progress_.setTotal(static_cast<int>(schedule_->endFrame()));
    }
}

// After a signal or a failed write the video and the contact sheet would
// show only part of the film under the name of the whole, so neither is
// made; frames already written are each complete.
bool CaptureSession::stopped()
{
    outputs_.abandon();
    const int signal = stopSignal();
    if (signal == 0)
        return false;
    std::string kept;
    if (!options_.outDirectory.empty())
        kept =
            "; the " + std::to_string(outputs_.keptFrames()) + " frames in " + options_.outDirectory + " are complete";
    reportCaptureProblem(std::string("stopped by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM") + " after " +
                         std::to_string(playedFrames_) + " frames" + kept +
                         "; no video, contact sheet or report was made");
    return false;
}

bool CaptureSession::finish()
{
    if (outputs_.failed() || stopSignal() != 0)
        return stopped();
    const double musicStart = schedule_->musicFrame() >= 0 ? schedule_->musicStartInVideo() : VideoEncoder::kNoMusic;
    bool ok = outputs_.finish(content::kMusicFile, musicStart);
    if (bench_ != nullptr)
        ok = bench_->finish(static_cast<double>(schedule_->endFrame()) / schedule_->fps()) && ok;
    return ok;
}

}  // namespace tolvane
